#pragma once
// Pieces shared by the windowed and the headless display: their constructors, and the
// message queue that puts posted pointer moves ahead of the input source.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Types.h"

namespace platform::internal {

// Null with `error` set when SDL cannot open a window; there is no fallback to headless.
std::unique_ptr<Display> CreateSdlDisplay(const DisplayOptions& options, std::string& error);
std::unique_ptr<Display> CreateHeadlessDisplay(const DisplayOptions& options);

// Posts an SDL quit event, as the window manager's close button would; false when SDL video
// is not running. Lets tests drive the real event path.
bool PushSdlQuitEvent();
// Posts a mouse move at window pixel coordinates (before the letterbox mapping) to the
// window of `display`; false for a display without a window.
bool PushSdlMouseMotion(Display& display, int windowX, int windowY);
// The SDL id of the window of `display`; 0 for a display without a window.
uint32_t SdlWindowId(Display& display);
// The size the window really has on the screen, as the X server tells it (SDL's own idea can
// differ, see X11HasWindowManager); false for a display without a window.
bool WindowSizeOnScreen(Display& display, int& width, int& height);
// Whether a window manager runs on the X server named by DISPLAY (true when none can be
// reached, so that SDL's own fullscreen is used).
bool X11HasWindowManager();
// Posts a key press by its SDL key name ("A", "F11", "Return", "`"), with Alt held if asked;
// false for an unknown name or when SDL video is not running.
bool PushSdlKeyDown(const std::string& sdlKeyName, bool alt);

// The display's message queue: the input source's messages, and a posted pointer move. Like
// the system's own mouse moves, posted moves are merged into one pending move at the current
// pointer position and come only when no input is waiting, so that an animation under a
// still pointer, which posts one every frame, never holds up clicks and keys. Every mouse
// message handed out moves the tracked pointer position.
class DisplayQueue final : public MessageSource {
public:
    void SetInput(std::unique_ptr<MessageSource> input) { input_ = std::move(input); }
    std::unique_ptr<MessageSource> TakeInput() { return std::move(input_); }

    Point Pointer() const { return pointer_; }
    void SetPointer(Point position) { pointer_ = position; }
    void PostPointerMove();

    void BeginPass(uint64_t pass) override;
    bool PeekMessage(WindowMessage& out) override;
    bool WaitMessage(int timeoutMs) override;
    bool Finished() const override;

private:
    bool movePending_ = false;
    std::unique_ptr<MessageSource> input_;
    Point pointer_{};
};

} // namespace platform::internal
