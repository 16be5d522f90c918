#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/Display.h"
#include "platform/PixelFormat.h"
#include "platform/Png.h"

using namespace platform;

namespace {

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "tarvo_headless_" + std::to_string(getpid()) + "_" + name;
}

std::unique_ptr<Display> MakeHeadless(bool fullscreen = false) {
    DisplayOptions options;
    options.headless = true;
    options.fullscreen = fullscreen;
    std::string error;
    auto display = Display::Create(options, error);
    EXPECT_TRUE(display) << error;
    return display;
}

void PaintPattern(Surface& surface, Pixel seed) {
    for (int y = 0; y < surface.Height(); ++y) {
        for (int x = 0; x < surface.Width(); ++x) {
            surface.Set(x, y, static_cast<Pixel>(seed + x * 37 + y * 1031));
        }
    }
}

// The screenshot read back must be the surface widened channel by channel.
void ExpectScreenshotShows(const Display& display, const Surface& expected) {
    const std::string path = TempPath("shot.png");
    ASSERT_TRUE(display.SaveScreenshot(path));
    RgbImage image;
    ASSERT_TRUE(ReadPngRgb(path, image));
    std::remove(path.c_str());
    ASSERT_EQ(image.width, kScreenWidth);
    ASSERT_EQ(image.height, kScreenHeight);
    int mismatches = 0;
    for (int y = 0; y < kScreenHeight; ++y) {
        for (int x = 0; x < kScreenWidth; ++x) {
            uint8_t r, g, b;
            Rgb565ToRgb888(expected.At(x, y), r, g, b);
            const uint8_t* got = &image.rgb[(static_cast<size_t>(y) * kScreenWidth + x) * 3];
            if (got[0] != r || got[1] != g || got[2] != b) ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

WindowMessage Move(int x, int y) {
    WindowMessage m;
    m.type = WindowMessageType::MouseMove;
    m.x = x;
    m.y = y;
    return m;
}

} // namespace

TEST(HeadlessDisplay, HasAScreenSizedFrontAndNoInputOfItsOwn) {
    auto display = MakeHeadless();
    ASSERT_TRUE(display);
    EXPECT_TRUE(display->IsHeadless());
    EXPECT_EQ(display->Front().Width(), kScreenWidth);
    EXPECT_EQ(display->Front().Height(), kScreenHeight);
    WindowMessage m;
    EXPECT_FALSE(display->Messages().PeekMessage(m));
    EXPECT_FALSE(display->Messages().WaitMessage(60 * 60 * 1000)); // must not block
    EXPECT_FALSE(display->Messages().Finished());
    EXPECT_FALSE(display->TakeInput());
}

TEST(HeadlessDisplay, ScreenshotShowsTheFrontBeforeAnyPresentThenThePresentedFrame) {
    auto display = MakeHeadless();
    ASSERT_TRUE(display);
    PaintPattern(display->Front(), 1);
    ExpectScreenshotShows(*display, display->Front());

    PaintPattern(display->Front(), 500);
    display->Present();
    const Surface presented = display->Front();
    // Drawing after Present changes the next frame, not the one on screen.
    display->Front().Fill(0xFFFF);
    ExpectScreenshotShows(*display, presented);
}

TEST(HeadlessDisplay, PostedPointerMovesWaitForInputAndMerge) {
    auto display = MakeHeadless();
    ASSERT_TRUE(display);
    std::string error;
    auto replay = ReplayFromText("0 ldown 100 200\n1 key Escape\n", error);
    ASSERT_TRUE(replay) << error;
    display->SetInput(std::move(replay));
    display->SetPointerPosition(Point{30, 40});
    EXPECT_EQ(display->PointerPosition(), (Point{30, 40}));
    display->PostPointerMove();

    // Input due now comes first; its mouse message moves the pointer and stands for the
    // posted move, which is then not delivered.
    MessageSource& messages = display->Messages();
    messages.BeginPass(0);
    WindowMessage m;
    ASSERT_TRUE(messages.PeekMessage(m));
    EXPECT_EQ(m.type, WindowMessageType::LeftButtonDown);
    EXPECT_EQ(display->PointerPosition(), (Point{100, 200}));
    EXPECT_FALSE(messages.PeekMessage(m));

    // Moves posted while nothing else waits are merged into one, at the pointer.
    display->PostPointerMove();
    display->PostPointerMove();
    EXPECT_TRUE(messages.WaitMessage(0));
    ASSERT_TRUE(messages.PeekMessage(m));
    EXPECT_EQ(m, Move(100, 200));
    EXPECT_FALSE(messages.PeekMessage(m));

    // Posted every pass, they never hold up the key due at pass 1.
    display->PostPointerMove();
    messages.BeginPass(1);
    EXPECT_FALSE(messages.Finished());
    ASSERT_TRUE(messages.PeekMessage(m));
    EXPECT_EQ(m.type, WindowMessageType::KeyDown);
    EXPECT_EQ(display->PointerPosition(), (Point{100, 200})); // keys leave it alone
    EXPECT_TRUE(messages.Finished());
    ASSERT_TRUE(messages.PeekMessage(m));
    EXPECT_EQ(m, Move(100, 200));
}

TEST(HeadlessDisplay, TakeInputHandsTheSourceOutAndLeavesNone) {
    auto display = MakeHeadless();
    ASSERT_TRUE(display);
    std::string error;
    display->SetInput(ReplayFromText("0 close\n", error));
    std::unique_ptr<MessageSource> taken = display->TakeInput();
    ASSERT_TRUE(taken);
    WindowMessage m;
    display->Messages().BeginPass(0);
    EXPECT_FALSE(display->Messages().PeekMessage(m));

    display->SetInput(std::move(taken));
    ASSERT_TRUE(display->Messages().PeekMessage(m));
    EXPECT_EQ(m.type, WindowMessageType::Close);
}

TEST(HeadlessDisplay, FullscreenIsAFlagStartingFromTheOptions) {
    auto display = MakeHeadless(true);
    ASSERT_TRUE(display);
    EXPECT_TRUE(display->IsFullscreen());
    display->ToggleFullscreen();
    EXPECT_FALSE(display->IsFullscreen());
    display->ToggleFullscreen();
    EXPECT_TRUE(display->IsFullscreen());
}
