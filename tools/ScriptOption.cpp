#include "tools/ScriptOption.h"

#include "core/ScriptText.h"

#include <string>
#include <vector>

namespace tools {

const Option kScriptOption{"--script", "FILE",
                           "script.dat or its text form, to write and read names for ids"};

std::optional<ScriptData> LoadScriptOption(const Invocation& in) {
    if (!in.Has("--script")) return std::nullopt;
    const std::string file = in.Get("--script");
    const std::vector<uint8_t> bytes = ReadFileBytes(file);
    ScriptData script;
    std::string fileError;
    if (ParseScript(bytes, script, fileError)) return script;
    std::string textError;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (ScriptFromText(text, script, textError)) return script;
    // Report the reason for the kind the name suggests.
    const bool looksLikeText = file.size() > 4 && file.compare(file.size() - 4, 4, ".txt") == 0;
    if (looksLikeText) throw Failure(file + ":" + textError);
    throw Failure(file + ": not a valid script: " + fileError);
}

const ScriptData* ScriptPointer(const std::optional<ScriptData>& script) {
    return script ? &*script : nullptr;
}

} // namespace tools
