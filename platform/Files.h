#pragma once
// Loose data files as the game names them: found without regard to case, with "\" in a name
// separating folders ("SPEECH\X.WAV" finds speech/x.wav).
#include <string>
#include <string_view>

namespace platform {

// The path of an existing file or folder matching `name` relative to the working directory
// (or absolute), each component matched exactly first and then without regard to case.
// When nothing matches, the name with "\" turned into "/" is returned unchanged otherwise.
std::string ResolveDataPath(std::string_view name);

} // namespace platform
