#pragma once
// Script names and ids of a script, for the text forms of files that refer to script objects
// (backgrnd.bg). Names are Windows-1251 bytes as the game compares them: a record's stored
// name up to its first NUL.
#include "core/ScriptFormat.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

class ScriptNames {
public:
    enum class Lookup { Found, Unknown, Ambiguous };

    // `script` may be null: no names are known.
    explicit ScriptNames(const ScriptData* script);

    bool HasScript() const { return hasScript_; }

    // The id of the one record with this name.
    Lookup IdOf(const std::string& nameBytes, uint16_t& id) const;

    // A name that leads back to `id`: there is one record with that id and its name is not
    // shared. Nothing otherwise.
    std::optional<std::string> NameOf(uint16_t id) const;

private:
    bool hasScript_ = false;
    std::multimap<std::string, uint16_t> byName_;
    std::multimap<uint16_t, std::string> byId_;
};
