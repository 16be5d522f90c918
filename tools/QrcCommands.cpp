// tarvo-tool qrc list: "resource.qrc" as the resource manager reads it.
#include "tools/Command.h"

#include <algorithm>
#include <string>
#include <vector>

#include "resources/ResourceTable.h"

namespace tools {

namespace {

void List(const Invocation& in) {
    const std::vector<uint8_t> bytes = ReadFileBytes(in.args[0]);
    const ResourceTable table = ParseResourceTable(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    std::vector<int32_t> numbers;
    for (const auto& [number, entry] : table)
        numbers.push_back(number);
    std::sort(numbers.begin(), numbers.end());
    for (int32_t n : numbers) {
        const ResourceEntry& e = table.at(n);
        in.out << n << '\t' << e.fileName << (e.keep ? "\tpermanent" : "") << '\n';
    }
}

} // namespace

CommandGroup QrcCommands() {
    CommandGroup group{"qrc", "The resource table (resource.qrc): numbers to file names.", {}};
    group.commands.push_back(Command{
        "list",
        "FILE",
        "print the parsed table: number, file name, and 'permanent' for kept entries",
        "Lines are read the way the engine reads them: the digits before '=' or '==' are the "
        "number, the name runs to the first blank, and the last of two entries for a number "
        "wins.",
        {},
        1,
        1,
        List,
    });
    return group;
}

} // namespace tools
