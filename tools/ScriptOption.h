#pragma once
// The --script option of the commands whose formats refer to script objects by id: the
// game's script as a script file or as its text form, for the names of those objects.
#include <optional>

#include "core/ScriptFormat.h"
#include "tools/Command.h"

namespace tools {

extern const Option kScriptOption;

// The script named by --script, or nothing without the option; a file that is neither form
// fails the command with the reason for the kind its name suggests.
std::optional<ScriptData> LoadScriptOption(const Invocation& in);

const ScriptData* ScriptPointer(const std::optional<ScriptData>& script);

} // namespace tools
