#include "dialogue/DialogueTextForms.h"

#include "core/MessageTypes.h"
#include "core/ScriptNames.h"
#include "core/TextTokens.h"
#include "dialogue/DialogueMachine.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace dialogue_text {

namespace {

// A name or file spelled bare must not read as a keyword, a label, an address or a flag.
std::string Spelled(const std::string& bytes) {
    const bool bare =
        IsBareWord(bytes) && !IsKeyword(bytes) && bytes.back() != ':' && bytes.front() != '@';
    return bare ? platform::Cp1251ToUtf8(bytes) : QuoteFileBytes(bytes);
}

} // namespace

bool IsKeyword(const std::string& word) {
    static const std::set<std::string> keywords = {
        "name",      "object", "on",       "entry", "phrase", "trailing", "menu",   "choice",
        "otherwise", "cycle",  "goto",     "end",   "notify", "disable",  "enable", "say",
        "word",      "nop",    "endblock", "any",   "off",    "quiet",    "at",     "default",
        "ignored",   "list",   "->",       "=",     "fix",    "lod"};
    return keywords.count(word) != 0;
}

std::string IdText(const ScriptNames& names, int32_t id, std::map<int32_t, std::string>* used) {
    if (id >= 0 && id <= 0xFFFF) {
        if (const std::optional<std::string> name = names.NameOf(static_cast<uint16_t>(id))) {
            std::string spelled = Spelled(*name);
            if (used != nullptr) (*used)[id] = spelled;
            return spelled;
        }
    }
    return std::to_string(id);
}

std::string TypeText(const ScriptNames& names, int32_t type, std::map<int32_t, std::string>* used) {
    if (type == kDialogueAnyObjectUse) return "OBJECTUSE any";
    const auto key = static_cast<uint32_t>(type);
    if ((key & 0xFFFF) == OBJECTUSE) {
        const auto item = static_cast<int32_t>(key >> 16);
        return item == 0 ? "OBJECTUSE" : "OBJECTUSE " + IdText(names, item, used);
    }
    if (const char* identifier = MessageTypeIdentifier(type)) return identifier;
    return std::to_string(type);
}

std::string SpeechFileText(const DialoguePhrase& phrase) {
    // The field without its NUL padding; bytes after an inner NUL are kept as escapes.
    const auto last = std::find_if(phrase.nameField.rbegin(), phrase.nameField.rend(),
                                   [](char c) { return c != '\0'; });
    const std::string field(phrase.nameField.begin(), last.base());
    if (field.empty()) return {};
    return Spelled(field);
}

std::string PhraseText(const ScriptNames& names, const DialoguePhrase& phrase,
                       std::map<int32_t, std::string>* used) {
    std::string text = IdText(names, phrase.speakerId, used);
    const std::string file = SpeechFileText(phrase);
    if (!file.empty()) text += " " + file;
    return text + " " + QuoteFileBytes(phrase.text);
}

std::string HexWord(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

} // namespace dialogue_text
