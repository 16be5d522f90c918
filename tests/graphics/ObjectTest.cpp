// A plain object with its animation: frame timing, END and HALF, visibility on screen, hit
// tests, drawing inside dirty rectangles, depth, clicks by cursor mode.
#include <gtest/gtest.h>

#include "graphics/QFlic.h"
#include "interfaces/QInterfaceMain.h"
#include "resources/QManager.h"
#include "support/World.h"

using namespace testing_support;
using platform::Rect;
using platform::Surface;

namespace {

constexpr uint16_t kLamp = 10;
constexpr int32_t kLampAnim = 700;
constexpr platform::Pixel kKey = 0xF81F;
constexpr platform::Pixel kInk = 0x07E0;

// An animation of `count` 8x8 frames, each a 4x4 ink block at (2, 2) on transparent.
std::unique_ptr<QFlic> Blocks(int count, int frameTime = 100) {
    std::vector<Surface> frames;
    std::vector<std::vector<Rect>> masks, changes;
    for (int k = 0; k < count; ++k) {
        Surface s(8, 8);
        s.Fill(kKey);
        s.Fill(Rect{2, 2, 6, 6}, static_cast<platform::Pixel>(kInk + k));
        frames.push_back(std::move(s));
        masks.push_back({Rect{2, 2, 6, 6}});
        changes.push_back({Rect{2, 2, 6, 6}});
    }
    return QFlic::FromFrames(std::move(frames), frameTime, kKey, masks, changes);
}

class Object : public ::testing::Test {
protected:
    Object() {
        ScriptBuilder s;
        s.Object(kLamp, "Lamp");
        world.Load(s);
        lamp().resourceId = kLampAnim;
        lamp().x = 100;
        lamp().y = 50;
    }
    QObject& lamp() { return static_cast<QObject&>(world.Obj(kLamp)); }
    QFlic& Use(std::unique_ptr<QFlic> flic) {
        QFlic* f = flic.get();
        g_manager->Adopt(kLampAnim, std::move(flic));
        return *f;
    }
    std::vector<uint16_t> Posted(uint16_t type) {
        std::vector<uint16_t> params;
        for (const QMessage& m : g_system->queue)
            if (m.target == kLamp && m.type == type) params.push_back(m.param1);
        return params;
    }

    TestWorld world;
};

} // namespace

TEST_F(Object, PostsEndAndHalfEveryCycle) {
    QFlic& f = Use(Blocks(10));
    int ends = 0, halves = 0;
    for (int step = 0; step < 20; ++step) {
        lamp().Update(100);
        ends += static_cast<int>(Posted(END).size());
        halves += static_cast<int>(Posted(HALF).size());
        if (f.CurrentFrame() == 10) {
            EXPECT_EQ(Posted(END), std::vector<uint16_t>{kLampAnim});
        }
        if (f.CurrentFrame() == 5) {
            EXPECT_EQ(Posted(HALF), std::vector<uint16_t>{kLampAnim});
        }
        g_system->queue.clear();
    }
    EXPECT_EQ(ends, 2);
    EXPECT_EQ(halves, 2);
}

TEST_F(Object, ALongPauseAdvancesOneFrameAndDropsTheLag) {
    QFlic& f = Use(Blocks(10));
    lamp().Update(5000);
    EXPECT_EQ(f.CurrentFrame(), 2);
    EXPECT_EQ(lamp().frameClock, 99);
    lamp().Update(1);
    EXPECT_EQ(f.CurrentFrame(), 3);
}

TEST_F(Object, StillPicturesAndObjectsOffScreenDoNotAdvance) {
    QFlic& still = Use(Blocks(1));
    lamp().Update(1000);
    EXPECT_EQ(still.CurrentFrame(), 1);
    EXPECT_TRUE(g_system->queue.empty());

    QFlic& f = Use(Blocks(4));
    g_system->scrollOffset = 200; // the lamp at x 100..108 is left of the screen
    lamp().Update(100);
    EXPECT_EQ(f.CurrentFrame(), 1);
    g_system->scrollOffset = 100;
    lamp().Update(0); // the gathered time is kept for when it is seen again
    EXPECT_EQ(f.CurrentFrame(), 2);
    lamp().animate = 0;
    lamp().Update(1000);
    EXPECT_EQ(f.CurrentFrame(), 2);
}

TEST_F(Object, HitTestLooksAtTheNinePixelsAroundThePoint) {
    Use(Blocks(2));
    EXPECT_EQ(lamp().HitTest(103, 53), 1); // on the block
    EXPECT_EQ(lamp().HitTest(101, 51), 1); // next to it: a neighbour is ink
    EXPECT_EQ(lamp().HitTest(100, 50), 0); // two pixels away: all transparent
    EXPECT_EQ(lamp().HitTest(99, 53), 0);  // outside the bounding rectangle
    lamp().active = 0;
    EXPECT_EQ(lamp().HitTest(103, 53), 0);
}

TEST_F(Object, SetPosMarksOldAndNewAreasAndNeedsAnAnimation) {
    lamp().SetPos(300, 300);
    EXPECT_EQ(lamp().x, 100); // nothing to show: nothing moves
    Use(Blocks(2));
    world.video.InvalidateAll();
    lamp().SetPos(300, 200);
    EXPECT_EQ(lamp().x, 300);
    const auto& dirty = world.video.DirtyRects();
    ASSERT_EQ(dirty.size(), 3u);
    EXPECT_EQ(dirty[1], (Rect{102, 52, 106, 56}));
    EXPECT_EQ(dirty[2], (Rect{302, 202, 306, 206}));
}

TEST_F(Object, SwitchingTheAnimationMarksTheOldFrameWhereTheObjectStands) {
    Use(Blocks(2));
    g_manager->Adopt(kLampAnim + 1, Blocks(1));
    world.video.InvalidateAll();
    g_system->Post(kLamp, SET, kLampAnim + 1, 0, 0, 0, nullptr);
    g_system->DispatchQueue();
    ASSERT_EQ(lamp().resourceId, kLampAnim + 1);
    const auto& dirty = world.video.DirtyRects();
    EXPECT_NE(std::find(dirty.begin(), dirty.end(), Rect{100, 50, 108, 58}), dirty.end());
}

TEST_F(Object, AppearingVanishingOrMovingUnderTheStillPointerRefreshesTheHover) {
    Use(Blocks(1));
    g_system->mainInterface->objects.push_back(&lamp()); // standing in the room shown
    struct Case {
        const char* what;
        platform::Point pointer;
        void (*change)(QObject&);
        bool moves;
    };
    const Case cases[] = {
        {"hidden under the pointer", {103, 53}, [](QObject& o) { o.SetVisible(0); }, true},
        {"hidden elsewhere", {30, 55}, [](QObject& o) { o.SetVisible(0); }, false},
        {"shown again under the pointer",
         {103, 53},
         [](QObject& o) { o.SetVisible(0), o.SetVisible(1); },
         true},
        {"hidden while hidden",
         {103, 53},
         [](QObject& o) { o.visible = 0, o.SetVisible(0); },
         false},
        {"moved away from the pointer", {103, 53}, [](QObject& o) { o.SetPos(300, 300); }, true},
        {"moved under the pointer", {30, 55}, [](QObject& o) { o.SetPos(27, 52); }, true},
        {"moved elsewhere", {30, 55}, [](QObject& o) { o.SetPos(300, 300); }, false},
    };
    for (const Case& c : cases) {
        lamp().x = 100, lamp().y = 50, lamp().visible = 1;
        world.display->SetPointerPosition(c.pointer);
        c.change(lamp());
        platform::WindowMessage m;
        const bool moved = world.display->Messages().PeekMessage(m);
        EXPECT_EQ(moved, c.moves) << c.what;
        if (moved) {
            EXPECT_EQ((platform::Point{m.x, m.y}), c.pointer) << c.what;
        }
        while (world.display->Messages().PeekMessage(m)) {
        }
    }
}

TEST_F(Object, DrawsOnlyInsideDirtyRectanglesWithTheColourKey) {
    Use(Blocks(1));
    Surface back(640, 480);
    back.Fill(0x1111);
    world.video.InvalidateAll();
    world.video.AddDirtyRect(Rect{0, 0, 0, 0});
    // Only the left half of the block is dirty.
    while (!world.video.DirtyRects().empty())
        world.video.RenderFrame(); // empties the list
    world.video.AddDirtyRect(Rect{0, 0, 104, 480});
    lamp().Draw(back);
    EXPECT_EQ(back.At(102, 52), kInk);
    EXPECT_EQ(back.At(103, 55), kInk);
    EXPECT_EQ(back.At(104, 52), 0x1111); // outside the dirty rectangle
    EXPECT_EQ(back.At(101, 52), 0x1111); // transparent pixel of the frame
    lamp().visible = 0;
    back.Fill(0x1111);
    lamp().Draw(back);
    EXPECT_EQ(back.At(102, 52), 0x1111);
}

TEST_F(Object, DepthFollowsTheFrameBottom) {
    Use(Blocks(1));
    lamp().UpdateDepth();
    EXPECT_EQ(lamp().z, 56);
    lamp().depthFromFrame = 0;
    lamp().z = 5;
    lamp().UpdateDepth();
    EXPECT_EQ(lamp().z, 5);
}

TEST_F(Object, ClicksPostTheMessageOfTheCursorMode) {
    struct Case {
        int mode;
        uint16_t type;
    };
    QObjectCursor& cursor = *g_system->cursor;
    for (const Case c : {Case{kCursorLook, LOOK}, Case{kCursorWalk, WALK}, Case{kCursorUse, USE},
                         Case{kCursorTake, TAKE}, Case{kCursorTalk, TALK}}) {
        cursor.mode = c.mode;
        lamp().OnClick(0, 0);
        ASSERT_EQ(g_system->queue.size(), 1u);
        EXPECT_EQ(g_system->queue.back().type, c.type);
        EXPECT_EQ(g_system->queue.back().sender, &lamp());
        g_system->queue.clear();
    }
    cursor.mode = kCursorSecond;
    lamp().OnClick(0, 0);
    EXPECT_EQ(g_system->queue.back().sender, &g_system->varnagel);
    QMessageObject& held = g_system->tarvo;
    cursor.Take(&held, 5100);
    lamp().OnClick(0, 0);
    EXPECT_EQ(g_system->queue.back().type, OBJECTUSE);
    EXPECT_EQ(g_system->queue.back().sender, &held);
}
