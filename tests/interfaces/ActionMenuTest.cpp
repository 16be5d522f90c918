// The action menu: which sector a point picks, the frame that lights it, and what a click on
// each sector does.
#include <gtest/gtest.h>

#include "graphics/QFlic.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QObjectCase.h"
#include "interfaces/QObjectStar.h"
#include "resources/QManager.h"
#include "support/World.h"

using namespace testing_support;
using platform::Rect;

namespace {

constexpr uint16_t kCup = 10;

// The menu's seven frames (190 x 180), each a different colour.
std::unique_ptr<QFlic> MenuPicture() {
    std::vector<platform::Surface> frames;
    std::vector<std::vector<Rect>> masks;
    for (int i = 0; i < 7; ++i) {
        frames.emplace_back(190, 180);
        frames.back().Fill(static_cast<platform::Pixel>(0x1000 + i));
        masks.push_back({Rect{0, 0, 190, 180}});
    }
    return QFlic::FromFrames(std::move(frames), 100, 0xF81F, masks, masks);
}

class ActionMenu : public ::testing::Test {
protected:
    ActionMenu() {
        ScriptBuilder s;
        s.Object(kCup, "Cup");
        world.Load(s);
        g_manager->Adopt(5000, MenuPicture());
        menu().x = 300 + 40; // in a room scrolled by 300
        menu().y = 60;
        g_system->roomWidth = 1280;
        g_system->scrollOffset = g_system->scrollTarget = 300;
        menu().SetVisible(1);
    }
    QObjectStar& menu() { return *g_system->actionMenu; }
    int Frame() { return g_manager->GetFlic(5000)->CurrentFrame(); }
    // Hovers or clicks the point (x, y) of the star.
    void Hover(int x, int y) { menu().OnMouseOver(menu().x + x, menu().y + y); }
    void Click(int x, int y) { menu().OnClick(menu().x + x, menu().y + y); }

    TestWorld world;
};

} // namespace

TEST(ActionMenuSectors, EdgesOfEachRectangleAndTheFrameThatLightsIt) {
    const struct {
        int x, y, sector, frame;
    } points[] = {
        {70, 74, 0, 2},   {111, 111, 0, 2},        {112, 112, kNoSector, 1}, {68, 0, 1, 3},
        {113, 40, 1, 3},  {114, 40, kNoSector, 1}, {151, 51, 2, 4},          {179, 96, 2, 4},
        {138, 125, 3, 5}, {178, 165, 3, 5},        {55, 145, 4, 6},          {95, 174, 4, 6},
        {11, 79, 5, 7},   {39, 117, 5, 7},         {10, 79, kNoSector, 1},   {95, 90, 0, 2},
    };
    for (const auto& p : points) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        EXPECT_EQ(StarSectorAt(p.x, p.y), p.sector);
        EXPECT_EQ(StarFrameOf(StarSectorAt(p.x, p.y)), p.frame);
    }
}

TEST_F(ActionMenu, HoverStepsForwardToTheLitSectorAndMarksTheStarOnce) {
    Hover(160, 70); // sector 2
    EXPECT_EQ(Frame(), 4);
    world.video.InvalidateAll();
    world.video.RenderFrame();
    Hover(20, 100); // sector 5: frames 5 and 6 go by on the way to 7
    EXPECT_EQ(Frame(), 7);
    EXPECT_EQ(world.video.DirtyRects(), (std::vector<Rect>{{40, 60, 230, 240}}));
    Hover(25, 100); // the same sector: nothing to redraw
    EXPECT_EQ(world.video.DirtyRects().size(), 1u);
    Hover(150, 10); // no sector: round from the last frame to the first
    EXPECT_EQ(Frame(), 1);
}

TEST_F(ActionMenu, EachSectorPicksItsModeOrTheCaseAndEveryClickCloses) {
    const struct {
        int x, y, mode;
        int32_t picture;
    } picks[] = {
        {90, 20, kCursorLook, 5002},  {165, 70, kCursorWalk, 5003}, {150, 140, kCursorUse, 5004},
        {70, 160, kCursorTake, 5005}, {20, 100, kCursorTalk, 5006},
    };
    QObjectCursor& cursor = *g_system->cursor;
    QMessageObject& cup = world.Obj(kCup);
    for (const auto& p : picks) {
        SCOPED_TRACE(p.mode);
        cursor.Take(&cup, 5100); // something held is given back
        menu().SetVisible(1);
        Click(p.x, p.y);
        EXPECT_EQ(cursor.mode, p.mode);
        EXPECT_EQ(cursor.resourceId, p.picture);
        EXPECT_EQ(cursor.heldObject, nullptr);
        EXPECT_EQ(cup.visible + cup.active, 2);
        EXPECT_EQ(menu().visible, 0);
    }
    menu().SetVisible(1);
    Click(150, 10); // outside every sector: only closes
    EXPECT_EQ(menu().visible, 0);
    EXPECT_EQ(cursor.mode, kCursorTalk);
    EXPECT_EQ(g_system->inventoryCase->visible, 0);
    menu().SetVisible(1);
    Click(90, 90); // the centre opens the case
    EXPECT_EQ(g_system->inventoryCase->visible, 1);
    EXPECT_EQ(menu().visible, 0);
}
