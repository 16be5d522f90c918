// tarvo-tool dialogue dump|build|lines: "dialogue.fix" with "dialogue.lod", the conversation
// language they are written in (dialogue/DialogueText.h), and the lines to be recorded.
#include "tools/Command.h"
#include "tools/ScriptOption.h"

#include "core/ScriptNames.h"
#include "dialogue/DialogueText.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tools {

namespace {

std::string_view AsText(const std::vector<uint8_t>& bytes) {
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void Dump(const Invocation& in) {
    DialogueFiles files;
    std::string error;
    if (!ParseDialogueTables(ReadFileBytes(in.args[0]), files.tables, error))
        throw Failure(in.args[0] + ": not a dialogue table file: " + error);
    if (!ParseDialoguePhrases(ReadFileBytes(in.args[1]), files.phrases, error))
        throw Failure(in.args[1] + ": not a dialogue phrase file: " + error);
    const std::optional<ScriptData> script = LoadScriptOption(in);
    const ScriptNames names(ScriptPointer(script));
    in.out << (in.Has("--source") ? DialogueToText(files, names) : DialogueListing(files, names));
}

void Build(const Invocation& in) {
    const std::string& textFile = in.args[0];
    const std::optional<ScriptData> script = LoadScriptOption(in);
    const ScriptNames names(ScriptPointer(script));
    DialogueFiles files;
    std::string error;
    // error is "LINE: reason"; with the file name in front editors can jump to the line.
    if (!DialogueFromText(AsText(ReadFileBytes(textFile)), names, files, error))
        throw Failure(textFile + ":" + error);
    WriteFileBytes(in.args[1], WriteDialogueTables(files.tables));
    WriteFileBytes(in.args[2], WriteDialoguePhrases(files.phrases));
}

// One line of the recording script: "FILE<TAB>SPEAKER<TAB>TEXT", in UTF-8.
std::string SpokenLine(const DialoguePhrase& p, const ScriptNames& names) {
    const std::optional<std::string> name = p.speakerId >= 0 && p.speakerId <= 0xFFFF
                                                ? names.NameOf(static_cast<uint16_t>(p.speakerId))
                                                : std::nullopt;
    std::string text = platform::Cp1251ToUtf8(p.text);
    std::replace(text.begin(), text.end(), '\t', ' ');
    return p.SoundName() + "\t" +
           (name ? platform::Cp1251ToUtf8(*name) : std::to_string(p.speakerId)) + "\t" + text;
}

void Lines(const Invocation& in) {
    DialoguePhrases phrases;
    std::string error;
    if (!ParseDialoguePhrases(ReadFileBytes(in.args[0]), phrases, error))
        throw Failure(in.args[0] + ": not a dialogue phrase file: " + error);
    const std::optional<ScriptData> script = LoadScriptOption(in);
    const ScriptNames names(ScriptPointer(script));
    // Each recording once; one file given to two different lines could only be wrong.
    std::map<std::string, std::string> byFile;
    for (const DialoguePhrase& p : phrases.phrases) {
        if (p.SoundName().empty()) continue;
        const std::string line = SpokenLine(p, names);
        const auto [known, added] = byFile.emplace(p.SoundName(), line);
        if (added)
            in.out << line << "\n";
        else if (known->second != line)
            throw Failure(in.args[0] + ": the speech file " + p.SoundName() +
                          " is given to two different lines");
    }
}

} // namespace

CommandGroup DialogueCommands() {
    CommandGroup group{
        "dialogue", "Conversations (dialogue.fix, dialogue.lod) and their text.", {}};
    group.commands.push_back(Command{
        "dump",
        "FIX LOD",
        "list the conversation tables, code and phrases",
        "Prints the handlers (which object and message start which entry), the code with\n"
        "addresses and disassembly, and the phrases. With --source it prints the\n"
        "conversation text instead, which 'dialogue build' turns back into the same two\n"
        "files byte for byte.",
        {{"--source", "", "print the conversation text instead of the listing"}, kScriptOption},
        2,
        2,
        &Dump});
    group.commands.push_back(Command{
        "build",
        "TEXT OUT.fix OUT.lod",
        "write dialogue.fix and dialogue.lod from conversation text",
        "The language, in short (the whole of it is described in dialogue/DialogueText.h):\n"
        "\n"
        "  object Clockmaker                   # whose conversations follow\n"
        "    on TALK                           # for which message\n"
        "      entry hello                     # where it begins (the first is the default)\n"
        "  hello:\n"
        "    Clockmaker cm01.wav \"Good day.\"   # SPEAKER [SPEECH FILE] \"TEXT\"\n"
        "  ask:\n"
        "    menu\n"
        "      choice Tarvo t01.wav \"Why are the clocks stopped?\"\n"
        "        Clockmaker cm02.wav \"The tower clock is broken.\"\n"
        "        goto ask                      # a picked choice is said, then its lines run\n"
        "      choice key: Tarvo t02.wav \"Could we mend it?\"\n"
        "        notify 12                     # USERMSG 12 to the script\n"
        "        disable                       # this choice is gone from now on\n"
        "        goto ask\n"
        "      choice off Tarvo t03.wav \"Is the tower open?\" -> tower   # hidden at first\n"
        "      choice quiet Tarvo \"(Leave.)\"   # not said aloud; goes on after the menu\n"
        "    end\n"
        "\n"
        "Also: cycle (phrases said in turn, one per visit), enable/disable CHOICE or MENU\n"
        "CHOICE, otherwise (when no choice is left), goto, end, and 'name NAME = ID' for\n"
        "names the script (--script) does not give. Errors name the line: TEXT:LINE: reason.",
        {kScriptOption},
        3,
        3,
        &Build});
    group.commands.push_back(
        Command{"lines",
                "LOD",
                "list the lines to record, one per speech file",
                "Prints FILE, SPEAKER and TEXT separated by tabs, in UTF-8, once for each speech\n"
                "file the phrases name, in phrase order: the script for whoever records them\n"
                "(the demo's build feeds it to a speech synthesizer). Lines without speech are\n"
                "left out; a speech file given to two different lines is an error.",
                {kScriptOption},
                1,
                1,
                &Lines});
    return group;
}

} // namespace tools
