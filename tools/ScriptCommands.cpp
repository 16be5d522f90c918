// tarvo-tool script dump|build: "script.dat" and its readable text form (core/ScriptText.h).
#include "tools/Command.h"

#include "core/ScriptFormat.h"
#include "core/ScriptText.h"

#include <string>
#include <vector>

namespace tools {

namespace {

void Dump(const Invocation& in) {
    const std::string& file = in.args[0];
    const std::vector<uint8_t> bytes = ReadFileBytes(file);
    ScriptData script;
    std::string error;
    if (!ParseScript(bytes, script, error)) throw Failure(file + ": not a valid script: " + error);
    in.out << ScriptToText(script);
}

void Build(const Invocation& in) {
    const std::string& textFile = in.args[0];
    const std::vector<uint8_t> bytes = ReadFileBytes(textFile);
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    ScriptData script;
    std::string error;
    // error is "LINE: reason"; with the file name in front editors can jump to the line.
    if (!ScriptFromText(text, script, error)) throw Failure(textFile + ":" + error);
    WriteFileBytes(in.args[1], WriteScript(script));
}

} // namespace

CommandGroup ScriptCommands() {
    CommandGroup group{"script", "The object scripts (script.dat) and their text form.", {}};
    group.commands.push_back(Command{
        "dump",
        "FILE",
        "print a script file as text",
        "The text lists every record (player, object, room) with its reactions ('on TYPE')\n"
        "and their messages (TYPE TARGET P1 P2 P3), ids as numbers with the names they\n"
        "refer to as comments. 'script build' turns it back into the same bytes.",
        {},
        1,
        1,
        &Dump});
    group.commands.push_back(
        Command{"build",
                "TEXT OUT",
                "write the script file OUT from its text form",
                "TEXT may be a dump or written by hand: ids may be left out (counted on from the\n"
                "previous record), targets and senders may be given by name, status and sender\n"
                "default to 'any', missing message parameters to 0. The format is described at\n"
                "the top of core/ScriptText.h. Errors name the line: TEXT:LINE: reason.",
                {},
                2,
                2,
                &Build});
    return group;
}

} // namespace tools
