// tarvo-tool bg dump|build: "backgrnd.bg" (which objects stand in which room) and its readable
// text form (core/BgText.h).
#include "tools/Command.h"
#include "tools/ScriptOption.h"

#include "core/BgFormat.h"
#include "core/BgText.h"

#include <string>
#include <vector>

namespace tools {

namespace {

void Dump(const Invocation& in) {
    const std::optional<ScriptData> script = LoadScriptOption(in);
    const std::string& file = in.args[0];
    BgData data;
    std::string error;
    if (!ParseBackgrounds(ReadFileBytes(file), data, error))
        throw Failure(file + ": not a valid room file: " + error);
    in.out << BackgroundsToText(data, ScriptPointer(script));
}

void Build(const Invocation& in) {
    const std::optional<ScriptData> script = LoadScriptOption(in);
    const std::string& textFile = in.args[0];
    const std::vector<uint8_t> bytes = ReadFileBytes(textFile);
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    BgData data;
    std::string error;
    // error is "LINE: reason"; with the file name in front editors can jump to the line.
    if (!BackgroundsFromText(text, ScriptPointer(script), data, error))
        throw Failure(textFile + ":" + error);
    WriteFileBytes(in.args[1], WriteBackgrounds(data));
}

} // namespace

CommandGroup BgCommands() {
    CommandGroup group{"bg", "Room populations (backgrnd.bg) and their text form.", {}};
    group.commands.push_back(Command{
        "dump",
        "FILE [--script FILE]",
        "print a room file as text",
        "Each room record becomes a line 'room ROOM', followed by one line per object placed\n"
        "in it: 'place OBJECT x X y Y depth D walk WX WY'. With --script, rooms and objects\n"
        "are written by script name where the name leads back to the same id, with the id\n"
        "as a comment. 'bg build' turns the text back into the same bytes.",
        {kScriptOption},
        1,
        1,
        &Dump});
    group.commands.push_back(Command{
        "build",
        "TEXT OUT [--script FILE]",
        "write the room file OUT from its text form",
        "TEXT may be a dump or written by hand; rooms and objects are ids, or script names\n"
        "when --script is given. The format is described at the top of core/BgText.h.\n"
        "Errors name the line: TEXT:LINE: reason.",
        {kScriptOption},
        2,
        2,
        &Build});
    return group;
}

} // namespace tools
