#pragma once
// Modal message boxes with an OK button. In a window they block until dismissed; headless,
// the text goes to stderr and the trace and never blocks. Texts from game data are
// Windows-1251 and are converted for display.
#include <functional>
#include <string>

namespace platform {

enum class MessageBoxMode { Window, Headless };

void SetMessageBoxMode(MessageBoxMode mode);
// Every box shown is also handed to this function (tests capture texts); null to stop.
void SetMessageBoxCapture(std::function<void(const std::string& text, const std::string& caption)>);

void ShowMessageBox(const std::string& text, const std::string& caption = "Tarvo & VARN");
// A box in a window whatever the mode, for the engine's own texts (UTF-8, not converted):
// false when no window system can show one, and then nothing is written anywhere.
bool ShowMessageBoxInWindow(const std::string& text, const std::string& caption = "Tarvo & VARN");

} // namespace platform
