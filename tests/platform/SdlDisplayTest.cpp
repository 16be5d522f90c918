// The windowed display needs an X server; tests/xvfb_window_test.sh runs these under Xvfb.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <unistd.h>

#include "platform/Display.h"
#include "platform/DisplayInternal.h"
#include "platform/PixelFormat.h"
#include "platform/Png.h"
#include "platform/Profile.h"

using namespace platform;

namespace {

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "tarvo_sdl_" + std::to_string(getpid()) + "_" + name;
}

bool HasDisplayServer() {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && display[0] != '\0';
}

// Takes messages until one of `type` arrives; the server adds its own (focus, pointer).
bool WaitFor(Display& display, WindowMessageType type, std::vector<WindowMessage>& seen) {
    for (int tries = 0; tries < 200; ++tries) {
        WindowMessage m;
        if (!display.Messages().WaitMessage(50)) continue;
        while (display.Messages().PeekMessage(m)) {
            seen.push_back(m);
            if (m.type == type) return true;
        }
    }
    return false;
}

bool Contains(const std::vector<WindowMessage>& seen, int x, int y) {
    for (const WindowMessage& m : seen) {
        if (m.type == WindowMessageType::MouseMove && m.x == x && m.y == y) return true;
    }
    return false;
}

std::vector<int> KeysIn(const std::vector<WindowMessage>& seen) {
    std::vector<int> keys;
    for (const WindowMessage& m : seen) {
        if (m.type == WindowMessageType::KeyDown) keys.push_back(m.key);
    }
    return keys;
}

} // namespace

// Sets an environment variable (or unsets it, for nullptr) for the scope, then restores it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value != nullptr)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// No window, no game: a display that cannot be opened is an error, never an invisible game
// on SDL's offscreen driver (which SDL picks by itself when no X server answers).
TEST(SdlDisplay, FailsWithAnErrorInsteadOfFallingBackToHeadless) {
    const struct {
        const char* driver;
        const char* x11Display;
    } cases[] = {
        {"no-such-video-driver", std::getenv("DISPLAY")}, {nullptr, ":9999"}, // no X server there
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.driver != nullptr ? c.driver : "no driver asked for");
        const ScopedEnv driver("SDL_VIDEODRIVER", c.driver), x11("DISPLAY", c.x11Display),
            wayland("WAYLAND_DISPLAY", nullptr);
        DisplayOptions options;
        std::string error;
        auto display = Display::Create(options, error);
        EXPECT_FALSE(display);
        EXPECT_NE(error.find("SDL video"), std::string::npos) << error;
    }
}

TEST(SdlDisplay, OpensAWindowAndTranslatesItsEvents) {
    if (!HasDisplayServer()) GTEST_SKIP() << "no X server (DISPLAY is not set)";
    const std::string profilePath = TempPath("profile.ini");
    Profile profile(profilePath);
    // Twice the screen size: window pixels map to logical ones by halving.
    ASSERT_TRUE(profile.WriteInt("Window", "Width", 1280));
    ASSERT_TRUE(profile.WriteInt("Window", "Height", 960));

    DisplayOptions options;
    options.vsync = false;
    options.profile = &profile;
    std::string error;
    auto display = Display::Create(options, error);
    ASSERT_TRUE(display) << error;
    EXPECT_FALSE(display->IsHeadless());
    EXPECT_FALSE(display->IsFullscreen());
    ASSERT_EQ(display->Front().Width(), kScreenWidth);

    display->Front().Fill(0x07E0);
    display->Present();
    const std::string shot = TempPath("shot.png");
    ASSERT_TRUE(display->SaveScreenshot(shot));
    RgbImage image;
    ASSERT_TRUE(ReadPngRgb(shot, image));
    std::remove(shot.c_str());
    EXPECT_EQ(image.rgb[0], 0);
    EXPECT_EQ(image.rgb[1], 255);

    ASSERT_TRUE(internal::PushSdlMouseMotion(*display, 200, 100));
    ASSERT_TRUE(internal::PushSdlMouseMotion(*display, 5000, -40)); // beyond the window
    ASSERT_TRUE(internal::PushSdlQuitEvent());
    std::vector<WindowMessage> seen;
    EXPECT_TRUE(WaitFor(*display, WindowMessageType::Close, seen));
    EXPECT_TRUE(Contains(seen, 100, 50));
    EXPECT_TRUE(Contains(seen, kScreenWidth - 1, 0));

    // Alt+Enter and F11 switch fullscreen and are not passed on; other keys arrive as
    // virtual-key codes.
    for (const char* key : {"A", "F2", "`", "Left"})
        ASSERT_TRUE(internal::PushSdlKeyDown(key, false));
    ASSERT_TRUE(internal::PushSdlKeyDown("Return", true));
    ASSERT_TRUE(internal::PushSdlQuitEvent());
    seen.clear();
    ASSERT_TRUE(WaitFor(*display, WindowMessageType::Close, seen));
    EXPECT_EQ(KeysIn(seen), (std::vector<int>{'A', 0x71, 0xC0, 0x25}));
    EXPECT_TRUE(display->IsFullscreen());
    ASSERT_TRUE(internal::PushSdlKeyDown("F11", false));
    ASSERT_TRUE(internal::PushSdlQuitEvent());
    seen.clear();
    ASSERT_TRUE(WaitFor(*display, WindowMessageType::Close, seen));
    EXPECT_TRUE(KeysIn(seen).empty());
    EXPECT_FALSE(display->IsFullscreen());

    display->SetPointerPosition(Point{320, 240});
    EXPECT_EQ(display->PointerPosition(), (Point{320, 240}));
    display.reset();

    // The window's size and state are remembered for the next start.
    EXPECT_EQ(profile.GetInt("Window", "Width", 0), 1280);
    EXPECT_EQ(profile.GetInt("Window", "Height", 0), 960);
    EXPECT_EQ(profile.GetInt("Window", "Fullscreen", -1), 0);
    std::remove(profilePath.c_str());
}

namespace {

// The window's size on the screen once the X server has caught up (up to five seconds: a
// loaded machine can be slow to apply a resize).
std::pair<int, int> SizeOnScreen(Display& display, std::pair<int, int> expected) {
    std::pair<int, int> size{-1, -1};
    for (int tries = 0; tries < 250; ++tries) {
        display.Messages().WaitMessage(20);
        WindowMessage m;
        while (display.Messages().PeekMessage(m)) {
        }
        if (!internal::WindowSizeOnScreen(display, size.first, size.second)) return {-1, -1};
        if (size == expected) break;
    }
    return size;
}

std::unique_ptr<Display> OpenWithProfile(Profile& profile, std::optional<bool> commandLine) {
    DisplayOptions options;
    options.vsync = false;
    options.profile = &profile;
    options.fullscreen = commandLine;
    std::string error;
    auto display = Display::Create(options, error);
    EXPECT_TRUE(display) << error;
    return display;
}

} // namespace

// Under tests/xvfb_window_test.sh, whose 1280x1024 server runs no window manager: fullscreen
// must still cover the desktop.
TEST(SdlDisplay, CommandLineFullscreenWinsOverTheProfileAndCoversTheDesktop) {
    const char* screen = std::getenv("TARVO_XVFB_SCREEN");
    if (!HasDisplayServer() || screen == nullptr || std::string(screen) != "1280x1024")
        GTEST_SKIP() << "needs the 1280x1024 Xvfb of tests/xvfb_window_test.sh";
    const std::string profilePath = TempPath("fullscreen.ini");
    struct Case {
        std::optional<bool> commandLine;
        int remembered;
        bool fullscreen;
    };
    for (const Case c : {Case{true, 0, true}, Case{false, 1, false}, Case{std::nullopt, 1, true},
                         Case{std::nullopt, 0, false}}) {
        const char* option = !c.commandLine   ? "no option"
                             : *c.commandLine ? "--fullscreen"
                                              : "--windowed";
        SCOPED_TRACE(testing::Message() << option << ", profile Fullscreen=" << c.remembered);
        Profile profile(profilePath);
        ASSERT_TRUE(profile.WriteInt("Window", "Fullscreen", c.remembered));
        auto display = OpenWithProfile(profile, c.commandLine);
        ASSERT_TRUE(display);
        EXPECT_EQ(display->IsFullscreen(), c.fullscreen);
        const std::pair<int, int> desktop{1280, 1024}, window{kScreenWidth, kScreenHeight};
        EXPECT_EQ(SizeOnScreen(*display, c.fullscreen ? desktop : window),
                  c.fullscreen ? desktop : window);
        display.reset();
        // A one-off command-line choice does not replace the player's remembered one.
        EXPECT_EQ(profile.GetInt("Window", "Fullscreen", -1), c.remembered);
    }

    // Switching back and forth by hand gives the window its size back, and is remembered.
    Profile profile(profilePath);
    auto display = OpenWithProfile(profile, std::nullopt);
    ASSERT_TRUE(display);
    display->ToggleFullscreen();
    EXPECT_EQ(SizeOnScreen(*display, {1280, 1024}), std::make_pair(1280, 1024));
    display->ToggleFullscreen();
    EXPECT_EQ(SizeOnScreen(*display, {kScreenWidth, kScreenHeight}),
              std::make_pair(kScreenWidth, kScreenHeight));
    display->ToggleFullscreen();
    display.reset();
    EXPECT_EQ(profile.GetInt("Window", "Fullscreen", -1), 1);
    std::remove(profilePath.c_str());
}
