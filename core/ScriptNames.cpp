#include "core/ScriptNames.h"

ScriptNames::ScriptNames(const ScriptData* script) : hasScript_(script != nullptr) {
    if (script == nullptr) return;
    for (const ScriptObject& object : script->objects) {
        byName_.emplace(object.Name(), object.id);
        byId_.emplace(object.id, object.Name());
    }
}

ScriptNames::Lookup ScriptNames::IdOf(const std::string& nameBytes, uint16_t& id) const {
    const size_t count = byName_.count(nameBytes);
    if (count == 0) return Lookup::Unknown;
    if (count > 1) return Lookup::Ambiguous;
    id = byName_.find(nameBytes)->second;
    return Lookup::Found;
}

std::optional<std::string> ScriptNames::NameOf(uint16_t id) const {
    if (byId_.count(id) != 1) return std::nullopt;
    const std::string& name = byId_.find(id)->second;
    if (name.empty() || byName_.count(name) != 1) return std::nullopt;
    return name;
}
