// Frame composition: scrolling towards the target, pause, the depth sort, the frame clock.
#include <gtest/gtest.h>

#include "interfaces/QInterfaceMain.h"
#include "platform/Clock.h"
#include "screens/QInterfaceMap.h"
#include "support/World.h"

using namespace testing_support;

namespace {

class Depth : public QVisibleObject {
public:
    Depth(int depth, std::vector<int>* log) : log_(log) { z = depth; }
    void Update(int ms) override { updates.push_back(ms); }
    void Draw(platform::Surface&) override { log_->push_back(z * 100 + tag); }
    std::vector<int> updates;
    int tag = 0;

private:
    std::vector<int>* log_;
};

class Video : public ::testing::Test {
protected:
    Video() : clock(20) {
        platform::SetClock(&clock);
        world.Load(ScriptBuilder());
        g_system->roomWidth = 1280;
        back = std::make_unique<platform::Surface>(640, 480);
    }
    ~Video() override { platform::SetClock(nullptr); }
    // One frame with a scroll offset and target.
    int Scroll(int offset, int target, int width = 1280) {
        world.video.RenderFrame(); // whatever was marked before is drawn
        g_system->scrollOffset = offset;
        g_system->scrollTarget = target;
        g_system->roomWidth = width;
        world.video.RenderFrame();
        return g_system->scrollOffset;
    }

    platform::VirtualClock clock;
    TestWorld world;
    std::unique_ptr<platform::Surface> back;
};

} // namespace

TEST_F(Video, ScrollsFourPixelsAFrameTowardsTheTarget) {
    EXPECT_EQ(Scroll(100, 200), 104);
    EXPECT_EQ(Scroll(100, 102), 102); // not past the target
    EXPECT_EQ(Scroll(100, 0), 96);
    EXPECT_EQ(Scroll(2, -50), 0);
    EXPECT_EQ(Scroll(0, -50), 0);      // at the left edge with the target beyond: nothing
    EXPECT_EQ(Scroll(640, 900), 640);  // at the right edge (1280 - 640): nothing
    EXPECT_EQ(Scroll(0, 300, 640), 0); // a room exactly as wide as the screen never scrolls
    EXPECT_EQ(Scroll(638, 700), 640);  // clamped to the room
}

TEST_F(Video, OnlyTheMainInterfaceScrolls) {
    g_system->currentInterface = g_system->mapInterface.get();
    EXPECT_EQ(Scroll(100, 200), 100);
    g_system->currentInterface = g_system->mainInterface.get();
}

TEST_F(Video, SortIsAStableSelectionOfTheFirstSmallest) {
    std::vector<int> drawn;
    QInterface& ui = *g_system->mainInterface;
    ui.objects.clear();
    Depth a(5, &drawn), b(3, &drawn), c(5, &drawn), d(1, &drawn);
    a.tag = 1, b.tag = 2, c.tag = 3, d.tag = 4;
    ui.objects = {&a, &b, &c, &d};
    world.video.RenderFrame();
    // i=0: d swaps with a -> d b c a; i=1: b stays; i=2: c (5) vs a (5): c stays first.
    EXPECT_EQ(drawn, (std::vector<int>{104, 302, 503, 501}));
    EXPECT_EQ(ui.objects, (std::vector<QVisibleObject*>{&d, &b, &c, &a}));
}

TEST_F(Video, PauseStopsUpdatesButNotDrawing) {
    std::vector<int> drawn;
    QInterface& ui = *g_system->mainInterface;
    Depth a(5, &drawn);
    ui.objects = {&a};
    g_system->paused = 1;
    g_system->scrollTarget = 300;
    clock.Advance();
    world.video.RenderFrame();
    EXPECT_TRUE(a.updates.empty());
    EXPECT_EQ(drawn.size(), 1u);
    EXPECT_EQ(g_system->scrollOffset, 0);
    g_system->paused = 0;
    clock.Advance();
    world.video.RenderFrame();
    EXPECT_EQ(a.updates.size(), 1u);
}

TEST_F(Video, ElapsedTimeComesFromTheFrameClock) {
    std::vector<int> drawn;
    QInterface& ui = *g_system->mainInterface;
    Depth a(5, &drawn), skipped(1, &drawn);
    ui.objects = {&skipped, &a};
    ui.firstAnimated = 1;
    world.video.lastFrameTime = platform::NowMs();
    clock.Advance();
    world.video.RenderFrame();
    clock.AdvanceBy(35);
    world.video.RenderFrame();
    EXPECT_EQ(a.updates, (std::vector<int>{20, 35}));
    EXPECT_TRUE(skipped.updates.empty()); // before the first animated index
    // A load during the frame resets the clock; the next frame counts from the load's end.
    world.video.lastFrameTime = platform::NowMs() + 100;
    clock.AdvanceBy(110);
    world.video.RenderFrame();
    EXPECT_EQ(a.updates.back(), 10);
    ui.firstAnimated = 0;
}
