#pragma once
// The debug trace channel: formatted lines of at most 512 characters, off by default,
// switched on to stderr, a file, or a capture function (tests).
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

void TraceToStderr();
// False when the file cannot be opened (tracing stays as it was).
bool TraceToFile(const std::string& path);
void TraceToFunction(std::function<void(std::string_view)> sink);
void TraceOff();
bool TraceEnabled();

// printf-style; the text is cut at 512 characters. Lines carry their own "\n".
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace platform
