#include "platform/Trace.h"

#include <algorithm>
#include <cstdarg>
#include <mutex>

namespace platform {

namespace {

constexpr size_t kMaxTraceLine = 512;

struct TraceState {
    std::mutex lock;
    FILE* file = nullptr;
    bool ownsFile = false;
    std::function<void(std::string_view)> sink;

    void CloseFile() {
        if (ownsFile && file != nullptr) std::fclose(file);
        file = nullptr;
        ownsFile = false;
    }
};

TraceState& State() {
    static TraceState state;
    return state;
}

} // namespace

void TraceToStderr() {
    auto& s = State();
    std::lock_guard guard(s.lock);
    s.CloseFile();
    s.sink = nullptr;
    s.file = stderr;
}

bool TraceToFile(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "w");
    if (f == nullptr) return false;
    auto& s = State();
    std::lock_guard guard(s.lock);
    s.CloseFile();
    s.sink = nullptr;
    s.file = f;
    s.ownsFile = true;
    return true;
}

void TraceToFunction(std::function<void(std::string_view)> sink) {
    auto& s = State();
    std::lock_guard guard(s.lock);
    s.CloseFile();
    s.sink = std::move(sink);
}

void TraceOff() {
    auto& s = State();
    std::lock_guard guard(s.lock);
    s.CloseFile();
    s.sink = nullptr;
}

bool TraceEnabled() {
    auto& s = State();
    std::lock_guard guard(s.lock);
    return s.file != nullptr || s.sink != nullptr;
}

void Trace(const char* format, ...) {
    auto& s = State();
    std::lock_guard guard(s.lock);
    if (s.file == nullptr && !s.sink) return;
    char line[kMaxTraceLine + 1];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (n < 0) return;
    const size_t length = std::min(static_cast<size_t>(n), kMaxTraceLine);
    if (s.sink) {
        s.sink(std::string_view(line, length));
    } else {
        std::fwrite(line, 1, length, s.file);
        std::fflush(s.file);
    }
}

} // namespace platform
