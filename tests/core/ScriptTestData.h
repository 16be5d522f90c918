#pragma once
// Helpers shared by the script tests: a byte builder that writes "script.dat" fields on its
// own (not through WriteScript, so the two cannot share a mistake) and a generator of varied
// valid scripts.
#include "core/ScriptFormat.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace scripttest {

class Bytes {
public:
    Bytes& U8(uint8_t v) {
        data.push_back(v);
        return *this;
    }
    Bytes& U16(uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
    Bytes& I32(int32_t v) {
        const auto u = static_cast<uint32_t>(v);
        return U16(u & 0xFFFF).U16(u >> 16);
    }
    Bytes& Raw(const std::string& s) {
        data.insert(data.end(), s.begin(), s.end());
        return *this;
    }
    // An object record header: id, L, name (L = name size), K.
    Bytes& Object(uint16_t id, const std::string& name, int32_t reactions) {
        return U16(id).I32(static_cast<int32_t>(name.size())).Raw(name).I32(reactions);
    }
    Bytes& Reaction(uint16_t type, uint8_t status, uint16_t sender, int32_t messages) {
        return U16(type).U8(status).U16(sender).I32(messages);
    }
    Bytes& Message(uint16_t target, uint16_t type, uint16_t p1, uint16_t p2, uint16_t p3) {
        return U16(target).U16(type).U16(p1).U16(p2).U16(p3);
    }

    std::vector<uint8_t> data;
};

// The smallest file the engine accepts: N = 2, R = 0, two players without reactions.
inline std::vector<uint8_t> MinimalFile() {
    return Bytes().I32(2).I32(0).Object(0, "Tarvo", 0).Object(1, "Varnagel", 0).data;
}

// A deterministic stream of varied valid scripts: names of any bytes (Cyrillic, NUL,
// 0x98, quotes), every type number and then some, negative stored counts, any status.
class ScriptGenerator {
public:
    explicit ScriptGenerator(uint32_t seed) : random_(seed) {}

    ScriptData Next() {
        ScriptData script;
        script.roomCount = static_cast<int32_t>(Below(3));
        script.objectCount = static_cast<int32_t>(2 + Below(4));
        for (int32_t i = 0; i < script.objectCount + script.roomCount; ++i)
            script.objects.push_back(Object());
        if (Below(4) == 0)
            for (uint32_t i = Below(20); i > 0; --i)
                script.trailing.push_back(Byte());
        return script;
    }

private:
    uint32_t Below(uint32_t limit) { return random_() % limit; }
    uint8_t Byte() { return static_cast<uint8_t>(random_()); }
    uint16_t Word() {
        // Mostly small values (real ids and types), sometimes anything.
        return static_cast<uint16_t>(Below(3) == 0 ? random_() : Below(60));
    }
    int32_t NoneCount() { return Below(2) == 0 ? 0 : -static_cast<int32_t>(1 + Below(1000)); }

    std::string Name() {
        static const std::string kPieces[] = {"Door", "\xC4\xE2\xE5\xF0\xFC",
                                              " ",    "\"",
                                              "\\",   std::string(1, '\0'),
                                              "\x98", "#",
                                              "\xA0", "x"};
        std::string name;
        for (uint32_t i = Below(5); i > 0; --i)
            name += Below(3) == 0 ? std::string(1, static_cast<char>(Byte()))
                                  : kPieces[Below(std::size(kPieces))];
        return name;
    }

    ScriptObject Object() {
        ScriptObject object;
        object.id = Word();
        object.nameBytes = Name();
        const uint32_t reactions = Below(4);
        for (uint32_t i = 0; i < reactions; ++i)
            object.reactions.push_back(Reaction());
        object.reactionCount = reactions > 0 ? static_cast<int32_t>(reactions) : NoneCount();
        return object;
    }

    ScriptReaction Reaction() {
        ScriptReaction reaction;
        reaction.type = Word();
        reaction.status = static_cast<int8_t>(Below(2) == 0 ? -1 : static_cast<int8_t>(Byte()));
        reaction.sender = Below(2) == 0 ? kAnyObjectId : Word();
        const uint32_t messages = Below(4);
        for (uint32_t i = 0; i < messages; ++i)
            reaction.messages.push_back({Word(), Word(), static_cast<uint16_t>(random_()), Word(),
                                         static_cast<int16_t>(random_())});
        reaction.messageCount = messages > 0 ? static_cast<int32_t>(messages) : NoneCount();
        return reaction;
    }

    std::mt19937 random_;
};

} // namespace scripttest
