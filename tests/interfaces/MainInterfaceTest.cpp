// The main interface: hover captions, hit order, clicks, the action menu, the cursor.
#include <gtest/gtest.h>

#include "graphics/QFlic.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QObjectCase.h"
#include "interfaces/QObjectStar.h"
#include "resources/QManager.h"
#include "support/World.h"
#include "text/QText.h"

using namespace testing_support;
using platform::Rect;
using platform::Surface;

namespace {

constexpr uint16_t kCup = 10, kPot = 11;
constexpr platform::Pixel kKey = 0xF81F;

// A still of w x h, opaque everywhere.
std::unique_ptr<QFlic> Solid(int w, int h, int frames = 1) {
    std::vector<Surface> list;
    std::vector<std::vector<Rect>> masks;
    for (int i = 0; i < frames; ++i) {
        Surface s(w, h);
        s.Fill(static_cast<platform::Pixel>(0x1000 + i));
        list.push_back(std::move(s));
        masks.push_back({Rect{0, 0, w, h}});
    }
    return QFlic::FromFrames(std::move(list), 50, kKey, masks, masks);
}

class MainUi : public ::testing::Test {
protected:
    MainUi() {
        ScriptBuilder s;
        s.Object(kCup, "Cup");
        s.Object(kPot, "Pot");
        world.Load(s);
        g_manager->Adopt(801, Solid(20, 20));
        g_manager->Adopt(802, Solid(20, 20));
        g_manager->Adopt(5000, Solid(190, 180, 7));
        for (int m = 0; m < 6; ++m)
            g_manager->Adopt(5002 + m, Solid(10, 10, 3));
        Place(kCup, 801, 100, 100, 300);
        Place(kPot, 802, 110, 100, 300);
        ui().objects.push_back(&world.Obj(kCup));
        ui().objects.push_back(&world.Obj(kPot));
        cup().displayName = "Blue cup";
    }
    void Place(uint16_t id, int32_t anim, int x, int y, int z) {
        QMessageObject& o = world.Obj(id);
        o.resourceId = anim;
        o.x = x;
        o.y = y;
        o.z = z;
    }
    QInterfaceMain& ui() { return *g_system->mainInterface; }
    QMessageObject& cup() { return world.Obj(kCup); }
    std::string Caption() {
        return ui().ShownText() != nullptr ? ui().ShownText()->Text() : "(none)";
    }

    TestWorld world;
};

} // namespace

TEST_F(MainUi, HoverShowsNamesAndTheLaterOfEqualDepthsWins) {
    ui().OnMouseMove(115, 105); // both cover it; the pot comes later in the list
    EXPECT_EQ(ui().hoveredObject, &world.Obj(kPot));
    EXPECT_EQ(Caption(), "Pot"); // no display name: the script name
    EXPECT_EQ(g_system->cursor->animate, 1);
    ui().OnMouseMove(102, 105); // straight onto the cup: its name at once
    EXPECT_EQ(Caption(), "Blue cup");
    ui().OnMouseMove(400, 400); // onto empty floor: the name goes
    EXPECT_EQ(Caption(), "(none)");
    EXPECT_EQ(g_system->cursor->animate, 0);
    ui().ShowText("A note", kCaptionColor, kOutlineColor);
    ui().OnMouseMove(410, 400); // floor to floor: other texts stay
    EXPECT_EQ(Caption(), "A note");
}

TEST_F(MainUi, TheCursorFollowsThePointerInScreenCoordinates) {
    g_system->scrollOffset = 200;
    ui().OnMouseMove(500, 300); // room x 500 is screen x 300
    EXPECT_EQ(g_system->cursor->x, 300 - 5);
    EXPECT_EQ(g_system->cursor->y, 300 - 5);
}

TEST_F(MainUi, CaptionsWaitWhileADialogueRuns) {
    UseOneLineDialogue(kCup, TALK);
    g_system->Post(kCup, TALK, 0, 0, 0, 0, nullptr);
    g_system->DispatchQueue();
    ASSERT_EQ(Caption(), "A word.");
    ui().OnMouseMove(102, 105);
    EXPECT_EQ(Caption(), "A word."); // the line stays, no name over it
    ui().dialogue.StepDialogue(-1);
    ui().OnMouseMove(400, 400);
    ui().OnMouseMove(102, 105);
    EXPECT_EQ(Caption(), "Blue cup");
}

TEST_F(MainUi, LeftClicksGoToTheTopObjectOrBecomeWalks) {
    g_system->cursor->SelectMode(kCursorUse);
    ui().OnLeftClick(102, 105);
    ASSERT_EQ(g_system->queue.size(), 1u);
    EXPECT_EQ(g_system->queue.back().type, USE);
    EXPECT_EQ(g_system->queue.back().target, kCup);
    g_system->queue.clear();
    auto feet = [](const QObjectTarvo& c) { return platform::Point{c.footX, c.footY}; };
    const platform::Point before = feet(g_system->tarvo);
    ui().OnLeftClick(400, 400); // floor in use mode: nothing
    EXPECT_TRUE(g_system->queue.empty());
    EXPECT_EQ(feet(g_system->tarvo), before);
    // Without walk cycles the characters are put where the click sends them.
    g_system->cursor->SelectMode(kCursorWalk);
    ui().OnLeftClick(400, 410);
    EXPECT_EQ(feet(g_system->tarvo), (platform::Point{400, 410}));
    g_system->cursor->SelectMode(kCursorSecond);
    ui().OnLeftClick(300, 310);
    EXPECT_EQ(feet(g_system->varnagel), (platform::Point{300, 310}));
    g_system->cursor->visible = 0;
    ui().OnLeftClick(102, 105); // an invisible cursor clicks nothing
    EXPECT_TRUE(g_system->queue.empty());
}

TEST_F(MainUi, AFloorClickDropsTheWaitingContinuation) {
    QReaction rest;
    rest.messages = {QMessage(0, SAY, 0, 0, 0), QMessage(0, STATUS, 3, 0, 0)};
    g_system->tarvo.SetAfterWalk(0, rest, &cup());
    g_system->cursor->SelectMode(kCursorWalk);
    ui().OnLeftClick(400, 400);
    EXPECT_EQ(g_system->tarvo.AfterWalk(), nullptr);
}

TEST_F(MainUi, RightClickPlacesTheMenuCentredAndInsideTheScreen) {
    QObjectStar& menu = *g_system->actionMenu;
    g_system->roomWidth = 1280;
    const struct {
        int scroll, x, y; // the click, in room coordinates
        int left, top;    // where the 190 x 180 menu goes, in room coordinates
    } clicks[] = {
        {0, 320, 240, 225, 150},             // centred on the pointer
        {0, 630, 470, 639 - 190, 479 - 180}, // flush with the right and bottom edges
        {0, 10, 10, 0, 0},                   // and with the left and top ones
        {300, 300 + 630, 470, 300 + 639 - 190, 479 - 180},
        {300, 300 + 10, 240, 300, 150},
        {300, 300 + 320, 5, 300 + 225, 0},
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(std::to_string(c.scroll) + ": " + std::to_string(c.x));
        g_system->scrollOffset = g_system->scrollTarget = c.scroll;
        ui().OnRightClick(c.x, c.y);
        EXPECT_EQ(menu.visible, 1);
        EXPECT_EQ(menu.x, c.left);
        EXPECT_EQ(menu.y, c.top);
        ui().OnRightClick(c.x + 100, c.y); // a second click closes it where it is
        EXPECT_EQ(menu.visible, 0);
        EXPECT_EQ(menu.x, c.left);
    }
    menu.active = 0;
    ui().OnRightClick(300, 300);
    EXPECT_EQ(menu.visible, 0);
}

TEST_F(MainUi, RightClickWithTheCaseOpenPutsTheHeldItemBack) {
    QObjectCursor& cursor = *g_system->cursor;
    cursor.Take(&cup(), 5100);
    g_system->inventoryCase->visible = 1;
    ui().OnRightClick(200, 200);
    EXPECT_EQ(cursor.mode, kCursorTake);
    EXPECT_EQ(cursor.resourceId, 5005);
    EXPECT_EQ(cursor.heldObject, nullptr);
    EXPECT_EQ(cup().visible + cup().active, 2);
    EXPECT_EQ(g_system->actionMenu->visible, 0); // the menu is not touched
    // With the case closed the same click opens the menu and the item stays held.
    cursor.Take(&cup(), 5100);
    g_system->inventoryCase->visible = 0;
    ui().OnRightClick(200, 200);
    EXPECT_EQ(cursor.heldObject, &cup());
    EXPECT_EQ(g_system->actionMenu->visible, 1);
}

TEST_F(MainUi, CursorCatchesUpEveryDueFrameAndSelectingAModeGivesBack) {
    QObjectCursor& cursor = *g_system->cursor;
    cursor.animate = 1;
    QFlic* flic = g_manager->GetFlic(5002);
    const int before = flic->CurrentFrame();
    cursor.Update(150); // three frame times of 50
    EXPECT_EQ(flic->CurrentFrame(), (before + 3 - 1) % 3 + 1);
    cursor.Take(&cup(), 5100);
    cursor.SelectMode(kCursorUse);
    EXPECT_EQ(cursor.resourceId, 5004);
    EXPECT_EQ(cursor.heldObject, nullptr);
    EXPECT_EQ(cup().visible, 1);
}
