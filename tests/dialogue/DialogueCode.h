#pragma once
// Conversation bytecode written word by word for tests, and a player that drives a machine
// the way the dialogue interface does, writing down what a player would see.
#include <cstdint>
#include <string>
#include <vector>

#include "dialogue/DialogueMachine.h"

namespace dialogue_test {

inline uint32_t Op(uint8_t op, uint32_t operand = 0) {
    return (uint32_t{op} << 24) | operand;
}
inline uint32_t Nop() {
    return Op(dialogue_op::kNop);
}
inline uint32_t EndBlock() {
    return Op(dialogue_op::kEndBlock);
}
inline uint32_t Menu(uint32_t n, uint32_t mask) {
    return Op(dialogue_op::kMenu, n | (mask << 8));
}
inline uint32_t Goto(uint32_t target) {
    return Op(dialogue_op::kGoto, target);
}
inline uint32_t Disable(uint32_t menu, uint32_t k) {
    return Op(dialogue_op::kDisable, menu | (k << 16));
}
inline uint32_t Enable(uint32_t menu, uint32_t k) {
    return Op(dialogue_op::kEnable, menu | (k << 16));
}
inline uint32_t End() {
    return Op(dialogue_op::kEnd);
}
inline uint32_t Phrase(uint32_t index) {
    return Op(dialogue_op::kPhrase, index);
}
inline uint32_t Cycle(uint32_t blocks, uint32_t current = 0) {
    return Op(dialogue_op::kCycle, blocks | (current << 16));
}
inline uint32_t Notify(uint32_t argument) {
    return Op(dialogue_op::kNotify, argument);
}

inline constexpr uint16_t kPartner = 7;
inline constexpr uint32_t kTalk = 10;

// Phrase i is said by speaker 100 + i with the text "p<i>" and the speech "s<i>.wav".
inline std::vector<DialoguePhrase> Phrases(int count) {
    std::vector<DialoguePhrase> phrases(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        DialoguePhrase& phrase = phrases[static_cast<size_t>(i)];
        const std::string number = std::to_string(i);
        phrase.speakerId = 100 + i;
        phrase.text.append("p").append(number);
        phrase.SetSoundName(std::string("s").append(number).append(".wav"));
    }
    return phrases;
}

// Tables with one dialogue: object 7 on TALK, entries starting at the given words.
inline DialogueTables OneDialogue(std::vector<uint32_t> code, std::vector<int32_t> entries = {0}) {
    DialogueHandler handler;
    handler.type = static_cast<int32_t>(kTalk);
    for (int32_t start : entries)
        handler.entries.push_back(DialogueEntry{start, {}, 0});
    DialogueTables tables;
    tables.objects.push_back(DialogueObject{kPartner, 0, {handler}});
    tables.code = std::move(code);
    return tables;
}

// A machine over one dialogue, with the notifications and error logs it raised.
struct Bench {
    explicit Bench(std::vector<uint32_t> code, int phrases = 12, std::vector<int32_t> entries = {0})
        : machine(OneDialogue(std::move(code), std::move(entries))) {
        machine.SetPhrases(Phrases(phrases));
        DialogueHooks hooks;
        hooks.notify = [this](uint16_t a) { notes.push_back(a); };
        hooks.errorLog = [this](const std::string& text) { logs.push_back(text); };
        machine.SetHooks(std::move(hooks));
    }
    bool Start(int entry = -1) { return machine.Start(kPartner, kTalk, entry); }

    // Plays from the current position as the interface would, picking `choices` in turn at
    // menus, until the end or `maxStops` stops: "p1" a phrase, "[p0|p2]" a menu,
    // "notify 12" a notification, "end".
    std::vector<std::string> Play(std::vector<int> choices = {}, int maxStops = 20) {
        std::vector<std::string> seen;
        size_t nextChoice = 0;
        for (int stop = 0; stop < maxStops; ++stop) {
            switch (machine.Classify()) {
            case DialogueStop::End:
                seen.push_back("end");
                return seen;
            case DialogueStop::Phrase: {
                const DialoguePhrase* p = machine.GetPhrase(-1);
                seen.push_back(p ? p->text : "(no phrase)");
                machine.Run(-1);
                break;
            }
            case DialogueStop::Menu: {
                std::string menu = "[";
                for (int i = 0; i < machine.CountChoices(); ++i) {
                    const DialoguePhrase* p = machine.GetPhrase(i);
                    menu += (i ? "|" : "") + (p ? p->text : std::string("?"));
                }
                seen.push_back(menu + "]");
                machine.Run(nextChoice < choices.size() ? choices[nextChoice++] : 0);
                break;
            }
            case DialogueStop::Notification:
                seen.push_back("notify " + std::to_string(notes.empty() ? -1 : notes.back()));
                machine.Run(-1);
                break;
            }
        }
        return seen;
    }

    DialogueMachine machine;
    std::vector<uint16_t> notes;
    std::vector<std::string> logs;
};

} // namespace dialogue_test
