// The inventory case: its pages, what it lays out and puts back, the strap, its buttons, and
// items going onto the cursor and back.
#include <gtest/gtest.h>

#include "graphics/QFlic.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QObjectCase.h"
#include "platform/Clock.h"
#include "resources/QManager.h"
#include "support/World.h"

using namespace testing_support;
using platform::Rect;

namespace {

constexpr uint16_t kFirstItem = 10, kItemCount = 12, kStrap = 40, kClock = 41;
constexpr platform::Pixel kKey = 0xF81F;

// An animation of w x h, opaque inside `opaque`, which is also its mask rectangle.
std::unique_ptr<QFlic> Picture(int w, int h, Rect opaque, int frames = 1) {
    std::vector<platform::Surface> list;
    std::vector<std::vector<Rect>> masks;
    for (int i = 0; i < frames; ++i) {
        platform::Surface s(w, h);
        s.Fill(kKey);
        s.Fill(opaque, static_cast<platform::Pixel>(0x0400 + i));
        list.push_back(std::move(s));
        masks.push_back({opaque});
    }
    return QFlic::FromFrames(std::move(list), 100, kKey, masks, masks);
}

// Button b's highlight, and so where it is found.
Rect ButtonRect(int b) {
    return Rect{500, 60 + 60 * b, 580, 100 + 60 * b};
}

class Case : public ::testing::Test {
protected:
    Case() {
        ScriptBuilder s;
        for (uint16_t i = 0; i < kItemCount; ++i)
            s.Object(static_cast<uint16_t>(kFirstItem + i), "Item" + std::to_string(i));
        s.Object(kStrap, CaseStrapName());
        s.Object(kClock, "Clock");
        world.Load(s);
        g_manager->Adopt(kCasePicture, Picture(640, 480, {20, 20, 620, 460}));
        g_manager->Adopt(kCaseCloseArea, Picture(640, 480, {0, 0, 10, 480}));
        for (int b = 0; b < kCaseButtons; ++b)
            g_manager->Adopt(kCaseFirstHighlight + b, Picture(640, 480, ButtonRect(b), 2));
        for (uint16_t i = 0; i < kItemCount; ++i) {
            g_manager->Adopt(800 + i, Picture(20, 20, {0, 0, 20, 20}));
            Item(i).resourceId = 800 + i;
        }
        g_manager->Adopt(900, Picture(640, 480, {0, 170, 640, 180}));
        world.Obj(kStrap).resourceId = 900;
        g_manager->Adopt(901, Picture(30, 30, {0, 0, 30, 30}, 2));
        world.Obj(kClock).resourceId = 901;
        world.Obj(kClock).x = 50;
        for (int32_t cursor : {470, 471})
            g_manager->Adopt(cursor, Picture(16, 16, {0, 0, 16, 16}));
        ui().objects.push_back(&world.Obj(kClock));
    }
    QInterfaceMain& ui() { return *g_system->mainInterface; }
    QObjectCase& box() { return *g_system->inventoryCase; }
    QMessageObject& Item(int i) { return world.Obj(static_cast<uint16_t>(kFirstItem + i)); }
    void Send(QMessageObject& to, uint16_t type, uint16_t p1 = 0) {
        g_system->Post(to.id, type, p1, 0, 0, 0, &to);
        g_system->DispatchQueue();
    }
    void Press(int button) {
        const Rect r = ButtonRect(button);
        box().OnClick(box().x + r.left + 1, r.top + 1);
    }
    int Listed(const QMessageObject& o) const {
        return static_cast<int>(std::count(g_system->mainInterface->objects.begin(),
                                           g_system->mainInterface->objects.end(), &o));
    }
    // The items laid out, by place: their numbers, or -1 for an empty place.
    std::vector<int> Page() {
        std::vector<int> page(kCaseItemsPerPage, -1);
        for (int i = 0; i < kItemCount; ++i)
            for (int k = 0; k < kCaseItemsPerPage; ++k)
                if (box().IsLaidOut(Item(i)) && Item(i).x == kCasePlaces[k].x + box().x &&
                    Item(i).y == kCasePlaces[k].y && Listed(Item(i)) == 1)
                    page[static_cast<size_t>(k)] = i;
        return page;
    }

    TestWorld world;
};

} // namespace

TEST_F(Case, PagesShowSixItemsAndTurnOnlyWhileThereAreMore) {
    const std::vector<int> none(6, -1), first{0, 1, 2, 3, 4, 5};
    const struct {
        int carried;
        std::vector<int> firstPage, secondPage;
    } cases[] = {
        {0, none, none},
        {6, first, first},
        {7, first, {6, -1, -1, -1, -1, -1}},
        {12, first, {6, 7, 8, 9, 10, 11}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.carried);
        for (int i = 0; i < c.carried; ++i)
            Send(Item(i), ADDINV);
        box().SetVisible(1);
        EXPECT_EQ(Page(), c.firstPage);
        Press(kCaseNextPage);
        EXPECT_EQ(Page(), c.secondPage);
        Press(kCaseNextPage); // no further
        EXPECT_EQ(Page(), c.secondPage);
        Press(kCasePreviousPage);
        EXPECT_EQ(Page(), c.firstPage);
        Press(kCasePreviousPage); // nothing before the first page
        EXPECT_EQ(Page(), c.firstPage);
        Press(kCaseClose);
        EXPECT_EQ(box().visible, 0);
        EXPECT_EQ(Page(), none);
        for (int i = 0; i < c.carried; ++i)
            Send(Item(i), DELINV);
    }
}

// An item standing in the room, with a depth that follows its frame, hidden and passive
// since it was taken: shown in the case above it, back as it was when the case closes.
TEST_F(Case, LaidOutItemsStayAboveTheCaseAndLeaveWithIt) {
    platform::VirtualClock clock(0, 1000);
    platform::SetClock(&clock);
    QMessageObject& kept = Item(0);
    kept.x = 300;
    kept.y = 200;
    kept.z = 240;
    kept.walkX = 310;
    ui().objects.push_back(&kept);
    Send(kept, QM_DISABLE);
    Send(kept, ADDINV);
    Send(Item(1), ADDINV);
    g_system->roomWidth = 1280;
    g_system->scrollOffset = g_system->scrollTarget = 100;
    world.video.RenderFrame();    // the list in depth order, as the case finds it
    g_system->scrollTarget = 300; // the view was on its way somewhere: it waits
    box().SetVisible(1);
    const int clockFrame = g_manager->GetFlic(901)->CurrentFrame();
    for (int frame = 0; frame < 3; ++frame) {
        clock.AdvanceBy(150);
        world.video.RenderFrame();
    }
    EXPECT_EQ(kept.z, 981);
    EXPECT_EQ(world.Obj(kStrap).z, 982);
    EXPECT_EQ(Page(), (std::vector<int>{0, 1, -1, -1, -1, -1}));
    EXPECT_EQ(kept.HitTest(kCasePlaces[0].x + 105, kCasePlaces[0].y + 5), 1);
    EXPECT_EQ(kept.walkX, -1); // no walking to a thing in the pocket
    EXPECT_EQ(g_manager->GetFlic(901)->CurrentFrame(), clockFrame); // the room is frozen
    EXPECT_GT(ui().firstAnimated, 0);
    EXPECT_EQ(g_system->scrollOffset, 100);

    box().SetVisible(0);
    EXPECT_EQ(kept.x, 300);
    EXPECT_EQ(kept.y, 200);
    EXPECT_EQ(kept.z, 240);
    EXPECT_EQ(kept.depthFromFrame, 1);
    EXPECT_EQ(kept.walkX, 310);
    EXPECT_EQ(kept.visible + kept.active, 0);
    EXPECT_EQ(Listed(kept), 1); // still in its room
    EXPECT_EQ(Listed(Item(1)), 0);
    EXPECT_EQ(Listed(world.Obj(kStrap)), 0);
    EXPECT_EQ(ui().firstAnimated, 0);
    EXPECT_EQ(g_system->scrollTarget, 300);
    platform::SetClock(nullptr);
}

TEST_F(Case, HeldItemsLeaveTheirPlaceAndComeBackToTheCaseNotToTheRoom) {
    QObjectCursor& cursor = *g_system->cursor;
    Send(Item(0), QM_DISABLE);
    Send(Item(0), ADDINV);
    box().SetVisible(1);
    Send(Item(0), CURSOR, 470);
    EXPECT_EQ(Item(0).visible, 0); // in the hand, not in its place
    ui().OnRightClick(320, 240);   // back into the case
    EXPECT_EQ(cursor.mode, kCursorTake);
    EXPECT_EQ(Item(0).visible + Item(0).active, 2);
    // Taken out and carried off: the case closes, and choosing a mode gives the item back,
    // to the case, so it stays hidden in its room.
    Send(Item(0), CURSOR, 470);
    box().SetVisible(0);
    cursor.SelectMode(kCursorUse);
    EXPECT_EQ(Item(0).visible + Item(0).active, 0);
    // A thing taken straight from the room goes back into the room.
    Send(Item(1), CURSOR, 471);
    cursor.SelectMode(kCursorLook);
    EXPECT_EQ(Item(1).visible + Item(1).active, 2);
}

TEST_F(Case, RemovingTheHeldItemDropsItAndTheLastPageStepsBack) {
    QObjectCursor& cursor = *g_system->cursor;
    for (int i = 0; i < 7; ++i)
        Send(Item(i), ADDINV);
    box().SetVisible(1);
    Press(kCaseNextPage);
    Send(Item(6), CURSOR, 470);
    Send(Item(6), DELINV);
    EXPECT_EQ(cursor.mode, kCursorLook);
    EXPECT_EQ(cursor.heldObject, nullptr);
    EXPECT_EQ(cursor.resourceId, kCursorFirstPicture);
    EXPECT_EQ(box().firstShown, 0);
    EXPECT_EQ(Page(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_FALSE(box().IsLaidOut(Item(6)));
    // An id listed several times goes at once, and shows in one place only.
    for (int copy = 0; copy < 8; ++copy)
        Send(Item(1), ADDINV);
    Press(kCaseNextPage);
    Press(kCaseNextPage);
    EXPECT_EQ(box().firstShown, 12);
    Send(Item(1), DELINV);
    EXPECT_EQ(box().firstShown, 0);
    EXPECT_EQ(Page(), (std::vector<int>{0, 2, 3, 4, 5, -1}));
}

TEST_F(Case, ButtonsAreFoundByTheirHighlightsAndTheCloseArea) {
    box().SetVisible(1);
    box().OnMouseOver(540, ButtonRect(4).top + 5);
    EXPECT_EQ(box().hotButton, 4);
    world.video.InvalidateAll(); // forget the marks so far
    world.video.RenderFrame();
    box().OnMouseOver(5, 200); // the close area: the old highlight goes, none is marked for 3
    EXPECT_EQ(box().hotButton, kCaseClose);
    EXPECT_EQ(world.video.DirtyRects(), (std::vector<Rect>{ButtonRect(4)}));
    box().OnMouseOver(320, 240);
    EXPECT_EQ(box().hotButton, -1);
    // From a button straight onto a thing laid out on the case: the button goes out.
    Send(Item(0), ADDINV);
    box().OnMouseOver(540, ButtonRect(4).top + 5);
    ui().OnMouseMove(kCasePlaces[0].x + 5, kCasePlaces[0].y + 5);
    EXPECT_EQ(ui().hoveredObject, &Item(0));
    EXPECT_EQ(box().hotButton, -1);
    Press(kCaseVarnagel); // Varnagel on the cursor; the case stays open
    EXPECT_EQ(g_system->cursor->mode, kCursorSecond);
    EXPECT_EQ(g_system->cursor->resourceId, 5007);
    EXPECT_EQ(box().visible, 1);
    box().OnClick(320, 240); // no button there: nothing
    EXPECT_EQ(box().visible, 1);
    box().OnClick(5, 200);
    EXPECT_EQ(box().visible, 0);
}

TEST_F(Case, WithoutAStrapObjectTheCaseOpensAndSaysSoOnce) {
    world.Obj(kStrap).name = "Somebody else";
    Send(Item(0), ADDINV);
    world.trace.clear();
    box().SetVisible(1);
    box().SetVisible(0);
    box().SetVisible(1);
    EXPECT_EQ(Page(), (std::vector<int>{0, -1, -1, -1, -1, -1}));
    EXPECT_EQ(std::count_if(world.trace.begin(), world.trace.end(),
                            [](const std::string& t) { return t.find("strap") != t.npos; }),
              1);
}
