#pragma once
// Window messages as the game handles them, and the sources that produce them: the live
// window, a replay file for headless runs, and a recorder that writes the replay format.
//
// Replay format, one event per line, FRAME being the main-loop pass that delivers it:
//   FRAME move X Y | FRAME ldown X Y | FRAME rdown X Y | FRAME key NAME
//   FRAME activate 0|1 | FRAME close | FRAME shot FILE.png
// '#' starts a comment; blank lines are ignored.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

enum class WindowMessageType {
    MouseMove,
    LeftButtonDown,
    RightButtonDown,
    KeyDown,    // key = virtual-key code (VirtualKeys.h)
    Activate,   // active = 0 or 1
    Close,      // the window's close command
    Screenshot, // replay only: text = file name
};

struct WindowMessage {
    WindowMessageType type = WindowMessageType::MouseMove;
    int x = 0; // 640×480 window coordinates for mouse messages
    int y = 0;
    int key = 0;
    int active = 0;
    std::string text;
    friend bool operator==(const WindowMessage&, const WindowMessage&) = default;
};

// A PeekMessage-style queue: the main loop takes at most one message per pass.
class MessageSource {
public:
    virtual ~MessageSource() = default;
    // Tells the source which main-loop pass is running (replays deliver by pass number).
    virtual void BeginPass(uint64_t pass) { (void)pass; }
    // Removes and returns the next message, or false when none is waiting.
    virtual bool PeekMessage(WindowMessage& out) = 0;
    // Blocks up to timeoutMs for a message to arrive (without removing it); false on time-out.
    virtual bool WaitMessage(int timeoutMs) = 0;
    // True once a replay has delivered its last event; live sources never finish.
    virtual bool Finished() const { return false; }
};

// One replay line parsed; false with `error` set for a malformed line.
bool ParseReplayLine(const std::string& line, uint64_t& pass, WindowMessage& message,
                     std::string& error);
// The replay line for a message (without the line end).
std::string FormatReplayLine(uint64_t pass, const WindowMessage& message);

// Reads a whole replay file. Messages are delivered in file order, each not before its pass,
// and at most one per pass. Returns null with `error` ("FILE:LINE: reason") on failure.
std::unique_ptr<MessageSource> LoadReplay(const std::string& path, std::string& error);
std::unique_ptr<MessageSource> ReplayFromText(const std::string& text, std::string& error);

// Passes messages through from `inner` and appends each to the file at `path`.
std::unique_ptr<MessageSource> RecordTo(std::unique_ptr<MessageSource> inner,
                                        const std::string& path, std::string& error);

} // namespace platform
