#pragma once
// Runs tarvo-tool in the test's process and keeps what it printed.
#include <sstream>
#include <string>
#include <vector>

#include "tools/Command.h"

namespace testsupport {

struct ToolResult {
    int code = 0;
    std::string out;
    std::string err;
};

inline ToolResult RunToolCapturing(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = tools::RunTool(args, out, err);
    return {code, out.str(), err.str()};
}

} // namespace testsupport
