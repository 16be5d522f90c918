// The readable listing of both dialogue files: what `tarvo-tool dialogue dump` prints.
#include "dialogue/DialogueMachine.h"
#include "dialogue/DialogueText.h"
#include "dialogue/DialogueTextForms.h"

#include "core/ScriptNames.h"
#include "core/TextTokens.h"
#include "platform/Cp1251.h"

#include <cstdio>

namespace {

using dialogue_text::IdText;

std::string Hex4(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

std::string Counted(size_t count, const char* thing) {
    return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

// An id with its name, for reading: "7 Clockmaker".
std::string Who(const ScriptNames& names, int32_t id) {
    const std::string text = IdText(names, id, nullptr);
    return text == std::to_string(id) ? text : std::to_string(id) + " " + text;
}

std::string Said(const ScriptNames& names, const std::vector<DialoguePhrase>& phrases,
                 uint32_t index) {
    if (index >= phrases.size()) return "(not in dialogue.lod)";
    const DialoguePhrase& p = phrases[index];
    return IdText(names, p.speakerId, nullptr) + ": " + QuoteFileBytes(p.text);
}

std::string MenuText(uint32_t word) {
    std::string text = "menu, " + Counted(word & 0xFF, "choice") + ", on:";
    bool any = false;
    for (int k = 0; k < kMenuMaskBits; ++k)
        if (MenuChoiceEnabled(word, k)) {
            text.append(" ").append(std::to_string(k));
            any = true;
        }
    return any ? text : text + " none";
}

std::string CycleText(uint32_t word) {
    const uint32_t modulus = word & 0xFFFF;
    std::string text = "cycle, " + Counted(word & 0xFF, "block");
    if (modulus != (word & 0xFF)) text += ", modulus " + std::to_string(modulus);
    return text + ", next block " + std::to_string((word >> 16) & 0xFF);
}

std::string Disassembly(const ScriptNames& names, const std::vector<DialoguePhrase>& phrases,
                        uint32_t word) {
    const uint32_t low = word & 0xFFFF;
    const uint32_t k = (word >> 16) & 0xFF;
    switch (DialogueOpcode(word)) {
    case dialogue_op::kNop:
        return "nop";
    case dialogue_op::kEndBlock:
        return "endblock";
    case dialogue_op::kMenu:
        return MenuText(word);
    case dialogue_op::kGoto:
        return "goto " + Hex4(low);
    case dialogue_op::kDisable:
        return "disable choice " + std::to_string(k) + " of the menu at " + Hex4(low);
    case dialogue_op::kEnable:
        return "enable choice " + std::to_string(k) + " of the menu at " + Hex4(low);
    case dialogue_op::kEnd:
        return "end";
    case dialogue_op::kPhrase:
        return "phrase " + std::to_string(low) + "  " + Said(names, phrases, low);
    case dialogue_op::kCycle:
        return CycleText(word);
    case dialogue_op::kNotify:
        return "notify " + std::to_string(low) + " (USERMSG to the script)";
    default:
        return "opcode " + HexByte(DialogueOpcode(word)) + ", passed over";
    }
}

void Tables(std::string& out, const DialogueTables& tables, const ScriptNames& names) {
    size_t handlers = 0;
    for (const DialogueObject& object : tables.objects)
        handlers += object.handlers.size();
    out += "dialogue.fix: " + Counted(tables.objects.size(), "object") + ", " +
           Counted(handlers, "handler") + ", " + Counted(tables.code.size(), "code word");
    if (!tables.trailing.empty()) out += ", " + Counted(tables.trailing.size(), "trailing byte");
    out += "\n";
    for (size_t i = 0; i < tables.objects.size(); ++i) {
        const DialogueObject& object = tables.objects[i];
        out += "object " + std::to_string(i) + ": " +
               (object.id == kDialogueAnyObject ? "any object" : "id " + Who(names, object.id)) +
               "\n";
        for (const DialogueHandler& handler : object.handlers) {
            out += "  on " + dialogue_text::TypeText(names, handler.type, nullptr) + " (" +
                   std::to_string(handler.type) + "): " + Counted(handler.entries.size(), "entry") +
                   ", default " + std::to_string(handler.defaultEntry) + "\n";
            for (size_t e = 0; e < handler.entries.size(); ++e) {
                out += "    entry " + std::to_string(e) + ": starts at " +
                       Hex4(static_cast<uint32_t>(handler.entries[e].start));
                if (!handler.entries[e].list.empty()) out += ", list";
                for (int32_t value : handler.entries[e].list)
                    out.append(" ").append(std::to_string(value));
                out += "\n";
            }
        }
    }
}

void Code(std::string& out, const DialogueFiles& files, const ScriptNames& names) {
    out += "code:\n";
    const std::vector<uint32_t>& code = files.tables.code;
    for (size_t at = 0; at < code.size(); ++at) {
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "  %04X  %08X  ", static_cast<unsigned>(at), code[at]);
        out += prefix + Disassembly(names, files.phrases.phrases, code[at]) + "\n";
    }
}

void Phrases(std::string& out, const DialoguePhrases& phrases, const ScriptNames& names) {
    out += "dialogue.lod: " + Counted(phrases.phrases.size(), "phrase");
    if (!phrases.trailing.empty()) out += ", " + Counted(phrases.trailing.size(), "trailing byte");
    out += "\n";
    for (size_t i = 0; i < phrases.phrases.size(); ++i) {
        const DialoguePhrase& p = phrases.phrases[i];
        const std::string file = dialogue_text::SpeechFileText(p);
        out += "  " + std::to_string(i) + "  speaker " + Who(names, p.speakerId) + "  " +
               (file.empty() ? "(no speech)" : file) + "  " + QuoteFileBytes(p.text) + "\n";
    }
}

} // namespace

std::string DialogueListing(const DialogueFiles& files, const ScriptNames& names) {
    std::string out;
    Tables(out, files.tables, names);
    Code(out, files, names);
    Phrases(out, files.phrases, names);
    return out;
}
