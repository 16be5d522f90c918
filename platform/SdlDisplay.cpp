// The windowed display: an SDL window whose renderer letterboxes the 640×480 front surface
// into any window size, and the window's events turned into the game's window messages.
#include <SDL.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <string_view>

#include "platform/DisplayInternal.h"
#include "platform/Png.h"
#include "platform/Profile.h"
#include "platform/Trace.h"
#include "platform/VirtualKeys.h"

namespace platform {

namespace {

constexpr const char* kWindowSection = "Window";
constexpr int kMinWindowWidth = kScreenWidth / 2;
constexpr int kMinWindowHeight = kScreenHeight / 2;
// Remembered sizes beyond this are taken as damage to the profile, not as a wish.
constexpr int kMaxWindowSide = 16384;

struct WindowDeleter {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};
struct RendererDeleter {
    void operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
};
struct TextureDeleter {
    void operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
};
using WindowPtr = std::unique_ptr<SDL_Window, WindowDeleter>;
using RendererPtr = std::unique_ptr<SDL_Renderer, RendererDeleter>;
using TexturePtr = std::unique_ptr<SDL_Texture, TextureDeleter>;

// Holds the SDL video subsystem for as long as the display exists. SDL counts the starts,
// so audio or fonts starting their own subsystems are not disturbed.
class SdlVideo {
public:
    SdlVideo() = default;
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;
    ~SdlVideo() {
        if (started_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    bool Start(std::string& error) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            error = std::string("cannot start SDL video: ") + SDL_GetError();
            return false;
        }
        started_ = true;
        if (const char* driver = WindowlessDriverNotAskedFor()) {
            error = std::string("cannot start SDL video: no display answered, only SDL's ") +
                    driver + " driver, which shows nothing (--headless plays without a display)";
            return false;
        }
        return true;
    }

private:
    // SDL falls back by itself to drivers that open no window when no display server
    // answers (an X server that is not there, or is resetting as its last client left). A
    // game played there would be invisible, so only a player who names such a driver in
    // SDL_VIDEODRIVER gets it.
    static const char* WindowlessDriverNotAskedFor() {
        const char* driver = SDL_GetCurrentVideoDriver();
        if (driver == nullptr) return nullptr;
        const std::string_view name(driver);
        if (name != "offscreen" && name != "dummy") return nullptr;
        const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
        if (asked != nullptr && std::string_view(asked).find(name) != std::string_view::npos)
            return nullptr;
        return driver;
    }

    bool started_ = false;
};

// Letters and digits come from the key's character when it has a Latin one (so AZERTY's A
// is A), and otherwise from its position (so a Cyrillic layout still gives the Latin codes,
// as Windows does).
int LetterOrDigitKey(const SDL_Keysym& keysym) {
    const SDL_Keycode sym = keysym.sym;
    if (sym >= SDLK_a && sym <= SDLK_z) return vk::LetterA + (sym - SDLK_a);
    if (sym >= SDLK_0 && sym <= SDLK_9) return vk::Digit0 + (sym - SDLK_0);
    const SDL_Scancode code = keysym.scancode;
    if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z)
        return vk::LetterA + (code - SDL_SCANCODE_A);
    if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9)
        return vk::Digit0 + 1 + (code - SDL_SCANCODE_1);
    if (code == SDL_SCANCODE_0) return vk::Digit0;
    return -1;
}

// The virtual-key code of a key, or -1 for keys the game has no use for.
int VirtualKeyFromSdl(const SDL_Keysym& keysym) {
    const int letterOrDigit = LetterOrDigitKey(keysym);
    if (letterOrDigit >= 0) return letterOrDigit;
    const SDL_Keycode sym = keysym.sym;
    if (sym >= SDLK_F1 && sym <= SDLK_F12) return vk::F1 + (sym - SDLK_F1);
    switch (sym) {
    case SDLK_LEFT:
        return vk::Left;
    case SDLK_RIGHT:
        return vk::Right;
    case SDLK_UP:
        return vk::Up;
    case SDLK_DOWN:
        return vk::Down;
    case SDLK_ESCAPE:
        return vk::Escape;
    case SDLK_TAB:
        return vk::Tab;
    case SDLK_BACKSPACE:
        return vk::Backspace;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return vk::Return;
    case SDLK_SPACE:
        return vk::Space;
    case SDLK_PAUSE:
        return vk::Pause;
    case SDLK_BACKQUOTE:
        return vk::Backquote;
    default:
        return -1;
    }
}

bool IsFullscreenToggle(const SDL_Keysym& keysym) {
    if (keysym.sym == SDLK_F11) return true;
    const bool enter = keysym.sym == SDLK_RETURN || keysym.sym == SDLK_KP_ENTER;
    return enter && (keysym.mod & KMOD_ALT) != 0;
}

WindowMessage SimpleMessage(WindowMessageType type) {
    WindowMessage message;
    message.type = type;
    return message;
}

WindowMessage MouseMessage(WindowMessageType type, int x, int y) {
    WindowMessage message;
    message.type = type;
    // Outside the letterboxed picture the logical coordinates run past the screen.
    message.x = std::clamp(x, 0, kScreenWidth - 1);
    message.y = std::clamp(y, 0, kScreenHeight - 1);
    return message;
}

class SdlDisplay;

// The window's own events, turned into messages and queued in arrival order. It refers to
// its display (for the fullscreen keys), so it must not outlive it.
class SdlEventSource final : public MessageSource {
public:
    explicit SdlEventSource(SdlDisplay& display) : display_(display) {}

    bool PeekMessage(WindowMessage& out) override {
        PumpEvents();
        if (pending_.empty()) return false;
        out = std::move(pending_.front());
        pending_.pop_front();
        return true;
    }

    // A negative time-out waits for as long as it takes.
    bool WaitMessage(int timeoutMs) override;

private:
    void PumpEvents() {
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0)
            Translate(event);
    }
    void Translate(const SDL_Event& event);
    void TranslateKey(const SDL_KeyboardEvent& key);
    void TranslateWindowEvent(const SDL_WindowEvent& window);

    SdlDisplay& display_;
    std::deque<WindowMessage> pending_;
    // The application starts in the foreground; only changes are reported.
    int active_ = 1;
};

class SdlDisplay final : public Display {
public:
    explicit SdlDisplay(const DisplayOptions& options) : options_(options) {}
    ~SdlDisplay() override {
        CaptureWindowedSize();
        WriteWindowState();
    }

    bool Open(std::string& error);

    bool IsHeadless() const override { return false; }
    Uint32 WindowId() const { return SDL_GetWindowID(window_.get()); }
    Surface& Front() override { return front_; }
    void Present() override;
    bool SaveScreenshot(const std::string& path) const override {
        return WritePng(path, presented_ ? *presented_ : front_);
    }

    MessageSource& Messages() override { return queue_; }
    void SetInput(std::unique_ptr<MessageSource> input) override {
        queue_.SetInput(std::move(input));
    }
    std::unique_ptr<MessageSource> TakeInput() override { return queue_.TakeInput(); }

    void ShowPointer(bool show) override { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }
    Point PointerPosition() const override { return queue_.Pointer(); }
    void SetPointerPosition(Point position) override;
    void PostPointerMove() override { queue_.PostPointerMove(); }

    void ToggleFullscreen() override;
    bool IsFullscreen() const override { return fullscreen_; }

private:
    bool CreateWindow(std::string& error);
    bool CreateRenderer(std::string& error);
    void ReadWindowState();
    void CaptureWindowedSize();
    void WriteWindowState();
    bool SetFullscreen(bool on);
    bool CoverDesktop(bool cover);

    DisplayOptions options_;
    // Declared before the window so that SDL video stops only after it and the renderer
    // are gone.
    SdlVideo video_;
    WindowPtr window_;
    RendererPtr renderer_;
    TexturePtr texture_;
    Surface front_{kScreenWidth, kScreenHeight};
    std::optional<Surface> presented_;
    internal::DisplayQueue queue_;
    bool fullscreen_ = false;
    // What the profile keeps: the player's own choice, not a one-off command-line option.
    bool rememberedFullscreen_ = false;
    // Without a window manager, fullscreen is a borderless window the size of the desktop.
    bool coverByHand_ = false;
    int windowedWidth_ = kScreenWidth;
    int windowedHeight_ = kScreenHeight;
};

bool SdlEventSource::WaitMessage(int timeoutMs) {
    PumpEvents();
    if (!pending_.empty()) return true;
    const bool forever = timeoutMs < 0;
    const Uint64 deadline = SDL_GetTicks64() + static_cast<Uint64>(std::max(timeoutMs, 0));
    for (;;) {
        const Uint64 now = SDL_GetTicks64();
        if (!forever && now >= deadline) return false;
        const int wait = forever ? -1 : static_cast<int>(deadline - now);
        SDL_Event event;
        // Events the game ignores (a key it has no use for) do not end the wait.
        if (SDL_WaitEventTimeout(&event, wait) != 0) Translate(event);
        if (!pending_.empty()) return true;
    }
}

void SdlEventSource::Translate(const SDL_Event& event) {
    switch (event.type) {
    case SDL_MOUSEMOTION:
        pending_.push_back(
            MouseMessage(WindowMessageType::MouseMove, event.motion.x, event.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT) {
            pending_.push_back(
                MouseMessage(WindowMessageType::LeftButtonDown, event.button.x, event.button.y));
        } else if (event.button.button == SDL_BUTTON_RIGHT) {
            pending_.push_back(
                MouseMessage(WindowMessageType::RightButtonDown, event.button.x, event.button.y));
        }
        break;
    case SDL_KEYDOWN:
        TranslateKey(event.key);
        break;
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(event.window);
        break;
    case SDL_QUIT: // also sent when the window's close button closes the only window
        pending_.push_back(SimpleMessage(WindowMessageType::Close));
        break;
    default:
        break;
    }
}

void SdlEventSource::TranslateKey(const SDL_KeyboardEvent& key) {
    if (IsFullscreenToggle(key.keysym)) {
        // Held down, the toggle keys would flip the window back and forth.
        if (key.repeat == 0) display_.ToggleFullscreen();
        return;
    }
    const int code = VirtualKeyFromSdl(key.keysym);
    // Auto-repeated presses are delivered too, as the game has always received them.
    if (code < 0) return;
    WindowMessage message = SimpleMessage(WindowMessageType::KeyDown);
    message.key = code;
    pending_.push_back(message);
}

void SdlEventSource::TranslateWindowEvent(const SDL_WindowEvent& window) {
    int active = active_;
    if (window.event == SDL_WINDOWEVENT_FOCUS_GAINED) active = 1;
    if (window.event == SDL_WINDOWEVENT_FOCUS_LOST) active = 0;
    if (active == active_) return;
    active_ = active;
    WindowMessage message = SimpleMessage(WindowMessageType::Activate);
    message.active = active;
    pending_.push_back(message);
}

bool SdlDisplay::Open(std::string& error) {
    if (!video_.Start(error)) return false;
    ReadWindowState();
    const char* driver = SDL_GetCurrentVideoDriver();
    coverByHand_ =
        driver != nullptr && std::string_view(driver) == "x11" && !internal::X11HasWindowManager();
    if (coverByHand_)
        Trace("display: no window manager runs: fullscreen is a borderless window covering "
              "the desktop\n");
    if (!CreateWindow(error) || !CreateRenderer(error)) return false;
    queue_.SetInput(std::make_unique<SdlEventSource>(*this));
    return true;
}

void SdlDisplay::ReadWindowState() {
    fullscreen_ = options_.fullscreen.value_or(false);
    if (options_.profile == nullptr) return;
    const int width = options_.profile->GetInt(kWindowSection, "Width", kScreenWidth);
    const int height = options_.profile->GetInt(kWindowSection, "Height", kScreenHeight);
    if (width >= kMinWindowWidth && width <= kMaxWindowSide && height >= kMinWindowHeight &&
        height <= kMaxWindowSide) {
        windowedWidth_ = width;
        windowedHeight_ = height;
    }
    rememberedFullscreen_ = options_.profile->GetInt(kWindowSection, "Fullscreen", 0) != 0;
    fullscreen_ = options_.fullscreen.value_or(rememberedFullscreen_);
}

// Only a windowed window's size is its own; in fullscreen it is the desktop's.
void SdlDisplay::CaptureWindowedSize() {
    if (window_ && !fullscreen_)
        SDL_GetWindowSize(window_.get(), &windowedWidth_, &windowedHeight_);
}

void SdlDisplay::WriteWindowState() {
    if (options_.profile == nullptr || !window_) return;
    options_.profile->WriteInt(kWindowSection, "Width", windowedWidth_);
    options_.profile->WriteInt(kWindowSection, "Height", windowedHeight_);
    options_.profile->WriteInt(kWindowSection, "Fullscreen", rememberedFullscreen_ ? 1 : 0);
}

bool SdlDisplay::CreateWindow(std::string& error) {
    Uint32 flags = SDL_WINDOW_RESIZABLE;
    if (fullscreen_ && !coverByHand_) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window_.reset(SDL_CreateWindow(options_.title.c_str(), SDL_WINDOWPOS_CENTERED,
                                   SDL_WINDOWPOS_CENTERED, windowedWidth_, windowedHeight_, flags));
    if (!window_) {
        error = std::string("cannot create the window: ") + SDL_GetError();
        return false;
    }
    SDL_SetWindowMinimumSize(window_.get(), kMinWindowWidth, kMinWindowHeight);
    if (fullscreen_ && coverByHand_ && !CoverDesktop(true)) fullscreen_ = false;
    return true;
}

bool SdlDisplay::CreateRenderer(std::string& error) {
    // Read when the texture is created: sharp pixels unless smoothing was asked for.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, options_.linearFilter ? "1" : "0");
    const Uint32 flags = options_.vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
    renderer_.reset(SDL_CreateRenderer(window_.get(), -1, flags));
    if (!renderer_) {
        error = std::string("cannot create the renderer: ") + SDL_GetError();
        return false;
    }
    // The logical size letterboxes with the aspect kept and maps mouse events back to
    // 640×480 coordinates.
    if (SDL_RenderSetLogicalSize(renderer_.get(), kScreenWidth, kScreenHeight) != 0 ||
        SDL_RenderSetIntegerScale(renderer_.get(),
                                  options_.integerScaling ? SDL_TRUE : SDL_FALSE) != 0) {
        error = std::string("cannot set up scaling: ") + SDL_GetError();
        return false;
    }
    texture_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_RGB565,
                                     SDL_TEXTUREACCESS_STREAMING, kScreenWidth, kScreenHeight));
    if (!texture_) {
        error = std::string("cannot create the screen texture: ") + SDL_GetError();
        return false;
    }
    return true;
}

void SdlDisplay::Present() {
    SDL_UpdateTexture(texture_.get(), nullptr, front_.Row(0), front_.Pitch());
    SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, SDL_ALPHA_OPAQUE);
    SDL_RenderClear(renderer_.get());
    SDL_RenderCopy(renderer_.get(), texture_.get(), nullptr, nullptr);
    SDL_RenderPresent(renderer_.get());
    presented_ = front_;
}

void SdlDisplay::SetPointerPosition(Point position) {
    queue_.SetPointer(position);
    // Only a window in the foreground takes the pointer; the desktop's belongs to the user.
    if ((SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_INPUT_FOCUS) == 0) return;
    int windowX = 0;
    int windowY = 0;
    SDL_RenderLogicalToWindow(renderer_.get(), static_cast<float>(position.x),
                              static_cast<float>(position.y), &windowX, &windowY);
    SDL_WarpMouseInWindow(window_.get(), windowX, windowY);
}

void SdlDisplay::ToggleFullscreen() {
    if (!SetFullscreen(!fullscreen_)) return;
    rememberedFullscreen_ = fullscreen_;
    WriteWindowState();
}

bool SdlDisplay::SetFullscreen(bool on) {
    CaptureWindowedSize();
    if (coverByHand_) {
        if (!CoverDesktop(on)) return false;
    } else {
        if (SDL_SetWindowFullscreen(window_.get(), on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
            return false;
        // Not every window manager gives the window its old size back, so the size it had
        // before fullscreen is set again.
        if (!on) SDL_SetWindowSize(window_.get(), windowedWidth_, windowedHeight_);
    }
    fullscreen_ = on;
    return true;
}

bool SdlDisplay::CoverDesktop(bool cover) {
    SDL_Window* window = window_.get();
    if (!cover) {
        SDL_SetWindowBordered(window, SDL_TRUE);
        SDL_SetWindowSize(window, windowedWidth_, windowedHeight_);
        SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        return true;
    }
    SDL_Rect desktop;
    if (SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(window), 0), &desktop) != 0)
        return false;
    SDL_SetWindowBordered(window, SDL_FALSE);
    SDL_SetWindowPosition(window, desktop.x, desktop.y);
    SDL_SetWindowSize(window, desktop.w, desktop.h);
    return true;
}

} // namespace

namespace internal {

std::unique_ptr<Display> CreateSdlDisplay(const DisplayOptions& options, std::string& error) {
    auto display = std::make_unique<SdlDisplay>(options);
    if (!display->Open(error)) return nullptr;
    return display;
}

uint32_t SdlWindowId(Display& display) {
    auto* sdlDisplay = dynamic_cast<SdlDisplay*>(&display);
    return sdlDisplay != nullptr ? sdlDisplay->WindowId() : 0;
}

bool PushSdlQuitEvent() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
    SDL_Event event{};
    event.type = SDL_QUIT;
    return SDL_PushEvent(&event) == 1;
}

bool PushSdlMouseMotion(Display& display, int windowX, int windowY) {
    auto* sdlDisplay = dynamic_cast<SdlDisplay*>(&display);
    if (sdlDisplay == nullptr) return false;
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = sdlDisplay->WindowId();
    event.motion.x = windowX;
    event.motion.y = windowY;
    return SDL_PushEvent(&event) == 1;
}

bool PushSdlKeyDown(const std::string& sdlKeyName, bool alt) {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
    const SDL_Keycode key = SDL_GetKeyFromName(sdlKeyName.c_str());
    if (key == SDLK_UNKNOWN) return false;
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    event.key.keysym.mod = alt ? KMOD_LALT : KMOD_NONE;
    return SDL_PushEvent(&event) == 1;
}

} // namespace internal

} // namespace platform
