// The debug overlay's status line.
#include <gtest/gtest.h>

#include "graphics/Fonts.h"
#include "platform/Clock.h"
#include "platform/Text.h"
#include "support/World.h"

using namespace testing_support;

namespace {

class Overlay : public ::testing::Test {
protected:
    Overlay() : clock(20, 5000) {
        platform::SetClock(&clock);
        world.Load(ScriptBuilder());
        std::string error;
        font = platform::Font::Create("Arial", 20, platform::kFwBold, error);
        g_fontLarge = font.get();
    }
    ~Overlay() override {
        g_fontLarge = nullptr;
        platform::SetClock(nullptr);
    }

    platform::VirtualClock clock;
    TestWorld world;
    std::unique_ptr<platform::Font> font;
};

} // namespace

TEST_F(Overlay, MarksTheStripEveryFrameButDrawsOnlyWhenOn) {
    platform::Surface back(640, 480);
    back.Fill(0x0841);
    world.video.InvalidateAll();
    g_debug->Update(20);
    EXPECT_EQ(world.video.DirtyRects().back(), (platform::Rect{0, 0, 640, 20}));
    g_debug->Draw(back);
    for (int x = 0; x < 640; ++x)
        ASSERT_EQ(back.At(x, 5), 0x0841);
    if (!font) GTEST_SKIP() << "no font to draw the status line with";
    g_debug->enabled = 1;
    g_debug->Draw(back);
    const platform::Pixel ink = g_pixelShifts.FromColorRef(0x00FFFFBE);
    int inked = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 640; ++x) {
            const platform::Pixel p = back.At(x, y);
            ASSERT_TRUE(p == ink || p == 0x0841) << x << "," << y; // letters over the scene
            inked += p == ink;
        }
    EXPECT_GT(inked, 100);
    EXPECT_EQ(back.At(3, 20), 0x0841);
}

TEST_F(Overlay, StatusLineShowsRateLoadAndFootPoint) {
    g_clockMark = platform::NowMs();
    g_debug->frameMark = g_frameCount = 0;
    g_debug->measureTime = 0;
    g_system->countedLoadTime = 2345;
    g_system->tarvo.footX = 512;
    g_system->tarvo.footY = 400;
    clock.AdvanceBy(2000);
    g_frameCount = 100; // 100 frames in two seconds since construction
    EXPECT_EQ(g_debug->StatusLine(), "FPS is  50, Load: 23, X:  512, Y: 400");
    clock.AdvanceBy(500); // measured at most once a second
    g_frameCount = 200;
    EXPECT_EQ(g_debug->StatusLine(), "FPS is  50, Load: 23, X:  512, Y: 400");
    clock.AdvanceBy(500);
    EXPECT_EQ(g_debug->StatusLine(), "FPS is 100, Load: 23, X:  512, Y: 400");
    g_frameCount = 0;
}
