#include "app/Options.h"

#include <charconv>
#include <filesystem>
#include <string_view>

namespace {

template <typename T> bool ParseNumber(std::string_view text, T& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

} // namespace

const char* UsageText() {
    return "usage: tarvo [GAME_DIR] [options]\n"
           "Plays the game whose data lies in GAME_DIR (default: the current directory).\n"
           "\n"
           "  --windowed           play in a window (the default)\n"
           "  --fullscreen         play on the whole desktop (Alt+Enter or F11 toggles)\n"
           "  --integer-scale      scale the 640x480 picture by whole multiples only\n"
           "  --no-vsync           do not wait for the display's refresh\n"
           "  --headless           no window and no audio device; time is virtual\n"
           "  --frames N           quit after N rendered frames\n"
           "  --frame-ms M         milliseconds per main-loop pass in headless runs (20)\n"
           "  --replay FILE        take input from a replay file\n"
           "  --record FILE        record the input of this session into FILE\n"
           "  --screenshot-dir DIR where the replay's 'shot' lines write their pictures\n"
           "                       (created if missing; default: the current folder)\n"
           "  --save-dir DIR       where saved games are written and read (default: the\n"
           "                       game folder when writable, else\n"
           "                       $XDG_DATA_HOME/tarvo/GAME)\n"
           "  --audio-out FILE     write the mixed sound to a WAV file instead of playing it\n"
           "  --trace[=FILE]       write the debug trace to FILE ('-' or none: stderr)\n"
           "  --help               this text\n"
           "  --version            the engine's version\n";
}

bool ParseOptions(int argc, const char* const* argv, Options& out, std::string& error) {
    bool haveDir = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&](std::string_view name) -> const char* {
            if (i + 1 >= argc) {
                error = std::string(name) + " needs a value";
                return nullptr;
            }
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h")
            out.help = true;
        else if (arg == "--version")
            out.version = true;
        else if (arg == "--headless")
            out.headless = true;
        else if (arg == "--windowed")
            out.windowed = true, out.fullscreen = false;
        else if (arg == "--fullscreen")
            out.fullscreen = true, out.windowed = false;
        else if (arg == "--integer-scale")
            out.integerScaling = true;
        else if (arg == "--no-vsync")
            out.vsync = false;
        else if (arg == "--trace")
            out.trace = true;
        else if (arg.starts_with("--trace=")) {
            out.trace = true;
            out.traceFile = std::string(arg.substr(8));
        } else if (arg == "--frames" || arg == "--frame-ms") {
            const char* v = value(arg);
            if (v == nullptr) return false;
            const bool ok = arg == "--frames" ? ParseNumber(v, out.frames) && out.frames >= 0
                                              : ParseNumber(v, out.frameMs) && out.frameMs > 0;
            if (!ok) {
                error = std::string(arg) + ": not a valid number: " + v;
                return false;
            }
        } else if (arg == "--replay" || arg == "--record" || arg == "--screenshot-dir" ||
                   arg == "--save-dir" || arg == "--audio-out") {
            const char* v = value(arg);
            if (v == nullptr) return false;
            (arg == "--replay"           ? out.replayFile
             : arg == "--record"         ? out.recordFile
             : arg == "--screenshot-dir" ? out.screenshotDir
             : arg == "--save-dir"       ? out.saveDir
                                         : out.audioOutFile) = v;
        } else if (arg.starts_with("-")) {
            error = "unknown option " + std::string(arg) + " (see --help)";
            return false;
        } else if (!haveDir) {
            out.gameDir = std::string(arg);
            haveDir = true;
        } else {
            error = "more than one game folder given: " + std::string(arg);
            return false;
        }
    }
    return true;
}

bool PreparePaths(Options& o, const std::string& base, std::string& error) {
    namespace fs = std::filesystem;
    for (std::string* path :
         {&o.replayFile, &o.recordFile, &o.screenshotDir, &o.saveDir, &o.audioOutFile})
        if (!path->empty()) *path = (fs::path(base) / *path).lexically_normal().string();
    std::error_code ec;
    fs::create_directories(o.screenshotDir, ec);
    if (!fs::is_directory(o.screenshotDir)) {
        error = "cannot make the screenshot folder " + o.screenshotDir +
                (ec ? ": " + ec.message() : ": a file of that name is in the way");
        return false;
    }
    return true;
}
