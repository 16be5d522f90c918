#pragma once
// The display: creates surfaces in the display format and shows the 640×480 front surface,
// in a window or headless (frames kept in memory). It also owns the live message source and
// the system pointer.
#include <memory>
#include <optional>
#include <string>

#include "platform/Input.h"
#include "platform/Surface.h"
#include "platform/Types.h"

namespace platform {

inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;

struct DisplayOptions {
    bool headless = false;
    // Desktop fullscreen or a window at start, when the command line asks; unset: as the
    // profile remembers it (a window by default). The command line's choice is not remembered.
    std::optional<bool> fullscreen;
    bool integerScaling = false; // scale by whole multiples only
    bool vsync = true;
    bool linearFilter = false; // nearest neighbour unless set
    std::string title = "Tarvo & VARN";
    // Where the window's size and fullscreen state are remembered (section "Window");
    // may be null. Not owned.
    class Profile* profile = nullptr;
};

class Display {
public:
    virtual ~Display() = default;

    // A windowed display over SDL, or a headless one; null with `error` set on failure.
    static std::unique_ptr<Display> Create(const DisplayOptions& options, std::string& error);

    virtual bool IsHeadless() const = 0;
    PixelFormat Format() const { return kFormat565; }
    // An off-screen surface in the display format.
    std::unique_ptr<Surface> CreateSurface(int width, int height) const {
        return std::make_unique<Surface>(width, height);
    }

    // The front surface (640×480); Present shows its content.
    virtual Surface& Front() = 0;
    virtual void Present() = 0;
    // Writes the last presented frame as a PNG file.
    virtual bool SaveScreenshot(const std::string& path) const = 0;

    // The message queue of the main loop: the input source's messages (the window's own
    // events; none in a headless display until a replay is attached), and when none waits,
    // the one move posted by PostPointerMove. Mouse messages also move the pointer position.
    virtual MessageSource& Messages() = 0;
    // Replaces the input source (a replay, or the live source wrapped by RecordTo); TakeInput
    // hands the current one out, leaving none.
    virtual void SetInput(std::unique_ptr<MessageSource> input) = 0;
    virtual std::unique_ptr<MessageSource> TakeInput() = 0;

    // The system pointer, in 640×480 window coordinates.
    virtual void ShowPointer(bool show) = 0;
    virtual Point PointerPosition() const = 0;
    virtual void SetPointerPosition(Point position) = 0;
    // Posts a mouse move at the pointer's current position.
    virtual void PostPointerMove() = 0;

    virtual void ToggleFullscreen() = 0;
    virtual bool IsFullscreen() const = 0;
};

} // namespace platform
