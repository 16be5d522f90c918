#pragma once
// The conversation bytecode interpreter, as a pure machine: it holds the parsed tables and
// phrases it is given, runs from its instruction pointer to the next thing the player must
// see (a phrase, a menu of choices, the end, a notification for the script) and stays there.
// It touches no file and no global: the notification and the error log leave through the
// hooks, and its state is saved into and read from byte streams.
//
// A code word: the opcode in bits 24-31, operands below; addresses are 16-bit word indices.
//   nop 00, endblock 01, menu 02 (n in bits 0-7, enabled mask in 8-23), goto 03 (target),
//   disable 04 / enable 05 (menu address in 0-15, choice in 16-23), end 06, phrase 07
//   (phrase index), cycle 08 (modulus in 0-15, current block in 16-23, block count in 0-7),
//   notify 09 (argument); other opcodes are skipped like nop.
// A menu: the menu word, n choice blocks (each up to its endblock; the block leads to the
// phrase that is the choice's text), then n words, one per choice, where a choice goes on
// (normally a goto). A cycle: the cycle word and its blocks, each starting with a phrase.
//
// Malformed code never reads or writes outside the code and never runs forever: a step
// outside the code, a block end with no menu or cycle before it, or a run that passes far
// more words than the code has ends the conversation through the error log, after which
// word 0 holds `end` and the pointer stands on it.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "dialogue/DialogueFormat.h"

namespace platform {
class ByteReader;
class ByteWriter;
} // namespace platform

namespace dialogue_op {
inline constexpr uint8_t kNop = 0x00;
inline constexpr uint8_t kEndBlock = 0x01;
inline constexpr uint8_t kMenu = 0x02;
inline constexpr uint8_t kGoto = 0x03;
inline constexpr uint8_t kDisable = 0x04;
inline constexpr uint8_t kEnable = 0x05;
inline constexpr uint8_t kEnd = 0x06;
inline constexpr uint8_t kPhrase = 0x07;
inline constexpr uint8_t kCycle = 0x08;
inline constexpr uint8_t kNotify = 0x09;
} // namespace dialogue_op

inline constexpr uint32_t kDialogueEndWord = 0x06000000;
inline constexpr int kMenuMaskBits = 16; // choices 16 and above can never be enabled

inline uint8_t DialogueOpcode(uint32_t word) {
    return static_cast<uint8_t>(word >> 24);
}
// Whether choice k of a menu word is enabled (k below both n and 16, and its bit set).
bool MenuChoiceEnabled(uint32_t menuWord, int k);
// The number of enabled choices of a menu word.
int MenuEnabledCount(uint32_t menuWord);

// What the machine stopped at, as the dialogue interface asks (`Classify`).
enum class DialogueStop { Phrase = 1, Menu = 2, End = 3, Notification = 4 };

// How a saved code block was taken.
enum class DialogueStateLoad {
    Loaded,       // the words replaced the code
    SizeMismatch, // another code size: refused, the code kept, the block skipped
    Truncated,    // the stream ended inside the block: the code kept, the stream failed
    NoStream,
};

struct DialogueHooks {
    // A `notify` was reached; the argument is its operand.
    std::function<void(uint16_t argument)> notify;
    // The whole text of the error log of a broken conversation.
    std::function<void(const std::string& text)> errorLog;
};

class DialogueMachine {
public:
    DialogueMachine() = default;
    explicit DialogueMachine(DialogueTables tables)
        : tables_(std::move(tables)), loadedCode_(tables_.code) {}

    void SetHooks(DialogueHooks hooks) { hooks_ = std::move(hooks); }
    void SetPhrases(std::vector<DialoguePhrase> phrases) { phrases_ = std::move(phrases); }
    size_t PhraseCount() const { return phrases_.size(); }

    // The handler for an object and a message (its reaction key). END and HALF never have
    // one; an object's own handler comes first, then (for OBJECTUSE) its any-item handler,
    // then the any-object records. `wildcard` tells whether the match was not exact.
    const DialogueHandler* FindDialogue(uint16_t objectId, uint32_t key, bool& wildcard) const;
    // Positions the pointer at the handler's entry (the default one when entryIndex is out
    // of range). False, with nothing changed, when there is no handler; a handler whose
    // entry is missing or lies outside the code ends with the error log.
    bool Start(uint16_t objectId, uint32_t key, int entryIndex);

    DialogueStop Classify();
    // Leaves the current stop and runs to the next; `choice` is the visible number of the
    // menu choice taken, or -1.
    void Run(int choice);
    // The phrase at the stop: a menu's visible choice `index`, the phrase itself, or the
    // current block of a cycle (which moves the pointer into that block). Null when none.
    const DialoguePhrase* GetPhrase(int index);
    int CountChoices() const;

    // From `index` on, the first word with `opcode`, following forward gotos; a backward
    // goto or an end stops the search.
    std::optional<int> ScanFor(int index, uint8_t opcode) const;
    // Disables the choices of the menu at (or after) `index` whose branches can only reach
    // menus with no choice left. False when the menu itself has none left.
    bool Prune(int index);
    std::string DescribeWord(uint32_t word) const;

    void SaveState(platform::ByteWriter* out) const;
    DialogueStateLoad LoadState(platform::ByteReader* in);
    // The code as it was given, with every choice switched off since switched on again and
    // the cycles at their first blocks; the conversation under way, if any, is forgotten.
    void ResetCode();

    // Ends the conversation with the error log: `opening` and `position` are its first two
    // lines. For checks made outside the machine (a speaker that names no object).
    void Fail(const std::string& opening, const std::string& position);

    std::optional<int> InstructionPointer() const { return ip_; }
    int Entry() const { return entry_; }
    std::span<const uint32_t> Code() const { return tables_.code; }
    const DialogueTables& Tables() const { return tables_; }
    std::span<const DialoguePhrase> Phrases() const { return phrases_; }

private:
    int Size() const { return static_cast<int>(tables_.code.size()); }
    uint32_t Word(int index) const { return tables_.code[static_cast<size_t>(index)]; }
    const DialoguePhrase* PhraseAt(uint32_t word) const;

    // Each public entry point gets a budget of steps; spending past it is a runaway run.
    void ResetBudget();
    bool Spend();
    bool Advance(int n);
    bool Jump(int target);
    bool BlockEnd();
    bool PassBlocks(int count);
    bool TakeChoice(int choice);
    bool LeaveCycle();
    bool SwitchChoice(bool enable);
    void RunFromHere(int choice);
    const DialoguePhrase* MenuChoicePhrase(int index);
    bool PruneMenu(int index, std::vector<bool>& visited, int depth);

    DialogueTables tables_;
    std::vector<uint32_t> loadedCode_; // the code as given, for ResetCode
    std::vector<DialoguePhrase> phrases_;
    DialogueHooks hooks_;
    std::optional<int> ip_;
    int entry_ = 0;
    int64_t budget_ = 0;
    uint32_t failures_ = 0; // counts error logs, so a query can tell that one happened
    // Start put the pointer on a notify, which no run has reached: Classify announces it.
    bool entryNotifyPending_ = false;
};
