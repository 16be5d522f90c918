#include "platform/MessageBox.h"

#include <SDL.h>

#include <cstdio>
#include <mutex>
#include <utility>

#include "platform/Cp1251.h"
#include "platform/Trace.h"

namespace platform {

namespace {

using CaptureFunction = std::function<void(const std::string&, const std::string&)>;

// Boxes may be raised from worker threads (sound loading), so the settings are guarded.
struct MessageBoxSettings {
    std::mutex mutex;
    MessageBoxMode mode = MessageBoxMode::Headless;
    CaptureFunction capture;
};

MessageBoxSettings& Settings() {
    static MessageBoxSettings settings;
    return settings;
}

// Texts such as "Invalid Wave file: \"%s\"\n" end in a line break of their own.
std::string WithoutTrailingNewlines(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

void WriteHeadless(const std::string& text, const std::string& caption) {
    const std::string line = caption.empty() ? text : caption + ": " + text;
    std::fprintf(stderr, "%s\n", line.c_str());
    Trace("%s\n", line.c_str());
}

// The window that has the keyboard (or, failing that, the mouse) is the game's window when
// it is in the foreground; without one the box has no parent but is still modal.
bool ShowInWindow(const std::string& text, const std::string& caption) {
    SDL_Window* parent = SDL_GetKeyboardFocus();
    if (parent == nullptr) parent = SDL_GetMouseFocus();
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(),
                                    parent) == 0;
}

} // namespace

void SetMessageBoxMode(MessageBoxMode mode) {
    std::lock_guard lock(Settings().mutex);
    Settings().mode = mode;
}

void SetMessageBoxCapture(CaptureFunction capture) {
    std::lock_guard lock(Settings().mutex);
    Settings().capture = std::move(capture);
}

void ShowMessageBox(const std::string& text, const std::string& caption) {
    MessageBoxMode mode;
    CaptureFunction capture;
    {
        std::lock_guard lock(Settings().mutex);
        mode = Settings().mode;
        capture = Settings().capture;
    }
    // The capture sees the texts exactly as the caller passed them (Windows-1251).
    if (capture) capture(text, caption);
    const std::string utf8Text = WithoutTrailingNewlines(Cp1251ToUtf8(text));
    const std::string utf8Caption = Cp1251ToUtf8(caption);
    if (mode == MessageBoxMode::Window && ShowInWindow(utf8Text, utf8Caption)) return;
    // Headless, or no box could be shown (no display): the text must not be lost.
    WriteHeadless(utf8Text, utf8Caption);
}

bool ShowMessageBoxInWindow(const std::string& text, const std::string& caption) {
    CaptureFunction capture;
    {
        std::lock_guard lock(Settings().mutex);
        capture = Settings().capture;
    }
    if (capture) capture(text, caption);
    return ShowInWindow(WithoutTrailingNewlines(text), caption);
}

} // namespace platform
