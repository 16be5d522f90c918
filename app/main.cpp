// tarvo: plays the game whose data lies in the given folder.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/Game.h"
#include "app/Options.h"
#include "platform/Trace.h"

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "tarvo: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(UsageText(), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("tarvo " TARVO_VERSION);
        return 0;
    }
    if (options.trace) {
        if (options.traceFile == "-")
            platform::TraceToStderr();
        else if (!platform::TraceToFile(options.traceFile)) {
            std::fprintf(stderr, "tarvo: cannot write the trace to %s\n",
                         options.traceFile.c_str());
            return 2;
        }
    }
    std::error_code ec;
    if (!PreparePaths(options, std::filesystem::current_path(ec).string(), error)) {
        std::fprintf(stderr, "tarvo: %s\n", error.c_str());
        return 2;
    }
    // The game expects its data in the working directory.
    if (::chdir(options.gameDir.c_str()) != 0) {
        error = "cannot enter the game folder " + options.gameDir + ": " + std::strerror(errno);
        std::fprintf(stderr, "tarvo: %s\n", error.c_str());
        ShowStartFailure(options, error);
        return 1;
    }
    const int status = RunGame(options, error);
    if (status != 0) std::fprintf(stderr, "tarvo: %s\n", error.c_str());
    return status;
}
