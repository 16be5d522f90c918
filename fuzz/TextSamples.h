#pragma once
// What the text-form fuzz targets share: the input as text, and the demo's script, whose
// names the room layouts and the conversations refer to.
#include "core/ScriptFormat.h"
#include "core/ScriptText.h"
#include "fuzz/FuzzTarget.h"

#include <fstream>
#include <iterator>
#include <string_view>

namespace fuzz {

inline std::string_view Text(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

inline std::vector<uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

#ifdef TARVO_FUZZ_SCRIPT_TEXT
// The demo's script, read once; a script that cannot be read is a broken build.
inline const ScriptData& DemoScript() {
    static const ScriptData script = [] {
        std::ifstream in(TARVO_FUZZ_SCRIPT_TEXT, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        ScriptData s;
        std::string error;
        Require(ScriptFromText(text, s, error), "the demo's script compiles");
        return s;
    }();
    return script;
}
#endif

} // namespace fuzz
