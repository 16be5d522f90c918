#pragma once
// How the dialogue text and listing write ids, message types and phrases.
#include <cstdint>
#include <map>
#include <string>

#include "dialogue/DialogueFormat.h"

class ScriptNames;

namespace dialogue_text {

// Words the language gives a meaning; names spelled like them are quoted.
bool IsKeyword(const std::string& word);

// An object id as the text writes it: the name the script gives it, when that name leads
// back to it, else the number. Names written are added to `used` (id -> spelling).
std::string IdText(const ScriptNames& names, int32_t id, std::map<int32_t, std::string>* used);

// A handler's message type: a type name, OBJECTUSE with its item or `any`, or a number.
std::string TypeText(const ScriptNames& names, int32_t type, std::map<int32_t, std::string>* used);

// A speech file name field: empty when there is none, a bare word or a quoted name.
std::string SpeechFileText(const DialoguePhrase& phrase);

// SPEAKER [FILE] "TEXT".
std::string PhraseText(const ScriptNames& names, const DialoguePhrase& phrase,
                       std::map<int32_t, std::string>* used);

// "0x%08X".
std::string HexWord(uint32_t value);

} // namespace dialogue_text
