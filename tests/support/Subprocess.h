#pragma once
// Runs a program of the build as a player or a script would, capturing what it prints.
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace testing_support {

struct ProgramRun {
    int status = -1;    // the exit status, or -1 when it did not exit normally
    std::string output; // stdout and stderr together
};

// Runs `program` (a path under the build folder, such as "app/tarvo") with `args`.
inline ProgramRun RunProgram(const std::string& program, const std::string& args) {
    const std::string command =
        std::string(TARVO_BINARY_DIR) + "/" + program + " " + args + " 2>&1";
    ProgramRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    const int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

} // namespace testing_support
