// tarvo-tool: inspects and writes the game's data formats. See tools/Command.h.
#include "tools/Command.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return tools::RunTool(args, std::cout, std::cerr);
}
