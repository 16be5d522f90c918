// Running the conversation bytecode: lookup, start, the run loop and its stops. Menus and
// cycles are in DialogueBlocks.cpp; the machine is described in DialogueMachine.h.
#include "dialogue/DialogueMachine.h"

#include "core/MessageTypes.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

#include <cstdarg>
#include <cstdio>

namespace {

// Room for one line of the error log, as the log has always been written.
constexpr size_t kDescribeBuffer = 500;

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...) {
    char line[kDescribeBuffer];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    return line;
}

unsigned Hex(int64_t value) {
    return static_cast<unsigned>(value);
}

} // namespace

bool MenuChoiceEnabled(uint32_t menuWord, int k) {
    const int n = static_cast<int>(menuWord & 0xFF);
    return k >= 0 && k < n && k < kMenuMaskBits && ((menuWord >> (8 + k)) & 1) != 0;
}

int MenuEnabledCount(uint32_t menuWord) {
    int count = 0;
    for (int k = 0; k < kMenuMaskBits; ++k)
        count += MenuChoiceEnabled(menuWord, k) ? 1 : 0;
    return count;
}

const DialogueHandler* DialogueMachine::FindDialogue(uint16_t objectId, uint32_t key,
                                                     bool& wildcard) const {
    wildcard = false;
    if (key == END || key == HALF) return nullptr;
    // The reaction key of an OBJECTUSE carries the sender's id in its high half.
    const bool objectUse = (key & 0xFFFF) == OBJECTUSE;
    for (const DialogueObject& object : tables_.objects) {
        if (object.id != objectId) continue;
        for (const DialogueHandler& handler : object.handlers)
            if (static_cast<uint32_t>(handler.type) == key) return &handler;
        if (!objectUse) continue;
        for (const DialogueHandler& handler : object.handlers)
            if (handler.type == kDialogueAnyObjectUse) {
                wildcard = true;
                return &handler;
            }
    }
    for (const DialogueObject& object : tables_.objects) {
        if (object.id != kDialogueAnyObject) continue;
        for (const DialogueHandler& handler : object.handlers)
            if (static_cast<uint32_t>(handler.type) == key) {
                wildcard = true;
                return &handler;
            }
    }
    return nullptr;
}

bool DialogueMachine::Start(uint16_t objectId, uint32_t key, int entryIndex) {
    bool wildcard = false;
    const DialogueHandler* handler = FindDialogue(objectId, key, wildcard);
    if (handler == nullptr) return false;
    const int count = static_cast<int>(handler->entries.size());
    const int chosen = entryIndex >= 0 && entryIndex < count ? entryIndex : handler->defaultEntry;
    if (chosen < 0 || chosen >= count) {
        Fail(Format("Error: the dialogue has no entry %d\n", chosen),
             Format("entries=%d codesize=%04xh\n", count, Hex(Size())));
        return true;
    }
    const int32_t start = handler->entries[static_cast<size_t>(chosen)].start;
    if (start < 0 || start >= Size()) {
        Fail("Error: ip is set outside code seg\n",
             Format("ip=%04xh newip=%04xh codesize=%04xh\n", Hex(ip_.value_or(0)), Hex(start),
                    Hex(Size())));
        return true;
    }
    ip_ = start;
    entry_ = start;
    entryNotifyPending_ = DialogueOpcode(Word(start)) == dialogue_op::kNotify;
    return true;
}

DialogueStop DialogueMachine::Classify() {
    ResetBudget();
    while (ip_ && Spend()) {
        const uint32_t word = Word(*ip_);
        switch (DialogueOpcode(word)) {
        case dialogue_op::kEnd:
            return DialogueStop::End;
        case dialogue_op::kMenu:
            // A single choice, or none, is taken without asking.
            if (MenuEnabledCount(word) > 1) return DialogueStop::Menu;
            RunFromHere(0);
            break;
        case dialogue_op::kPhrase:
        case dialogue_op::kCycle:
            return DialogueStop::Phrase;
        case dialogue_op::kNotify:
            if (entryNotifyPending_) {
                entryNotifyPending_ = false;
                if (hooks_.notify) hooks_.notify(static_cast<uint16_t>(word & 0xFFFF));
            }
            return DialogueStop::Notification;
        default:
            RunFromHere(-1);
            break;
        }
    }
    return DialogueStop::End;
}

void DialogueMachine::Run(int choice) {
    ResetBudget();
    RunFromHere(choice);
}

void DialogueMachine::RunFromHere(int choice) {
    entryNotifyPending_ = false;
    if (!ip_) return;
    const int given = choice;
    bool first = true; // the word under the pointer is the stop being left
    if (choice != -1 && DialogueOpcode(Word(*ip_)) != dialogue_op::kMenu) choice = -1;
    while (Spend()) {
        const uint32_t word = Word(*ip_);
        bool ok = true;
        switch (DialogueOpcode(word)) {
        case dialogue_op::kEndBlock:
            // Back to the menu or cycle the block belongs to, which is then left again.
            if (!BlockEnd()) return;
            first = true;
            choice = given;
            if (choice != -1 && DialogueOpcode(Word(*ip_)) != dialogue_op::kMenu) choice = -1;
            continue;
        case dialogue_op::kMenu:
            if (!first) return;
            ok = TakeChoice(choice);
            break;
        case dialogue_op::kGoto:
            ok = Jump(static_cast<int>(word & 0xFFFF));
            break;
        case dialogue_op::kDisable:
        case dialogue_op::kEnable:
            ok = SwitchChoice(DialogueOpcode(word) == dialogue_op::kEnable);
            break;
        case dialogue_op::kEnd:
            return;
        case dialogue_op::kPhrase:
            if (!first) return;
            ok = Advance(1);
            break;
        case dialogue_op::kCycle:
            if (!first) return;
            ok = LeaveCycle();
            break;
        case dialogue_op::kNotify:
            if (first) {
                Advance(1);
            } else if (hooks_.notify) {
                hooks_.notify(static_cast<uint16_t>(word & 0xFFFF));
            }
            return;
        default:
            ok = Advance(1);
            break;
        }
        if (!ok) return;
        first = false;
    }
}

const DialoguePhrase* DialogueMachine::GetPhrase(int index) {
    if (!ip_) return nullptr;
    ResetBudget();
    const uint32_t word = Word(*ip_);
    switch (DialogueOpcode(word)) {
    case dialogue_op::kMenu:
        return MenuChoicePhrase(index);
    case dialogue_op::kPhrase:
        return PhraseAt(word);
    case dialogue_op::kCycle:
        // The pointer moves into the current block and stays there: the next Run leaves
        // that phrase, and the block's end brings it back to the cycle.
        if (!PassBlocks(static_cast<int>((word >> 16) & 0xFF))) return nullptr;
        return PhraseAt(Word(*ip_));
    default:
        return nullptr;
    }
}

int DialogueMachine::CountChoices() const {
    if (!ip_ || DialogueOpcode(Word(*ip_)) != dialogue_op::kMenu) return 0;
    return MenuEnabledCount(Word(*ip_));
}

const DialoguePhrase* DialogueMachine::PhraseAt(uint32_t word) const {
    const size_t index = word & 0xFFFF;
    return index < phrases_.size() ? &phrases_[index] : nullptr;
}

std::string DialogueMachine::DescribeWord(uint32_t word) const {
    if (DialogueOpcode(word) == dialogue_op::kGoto)
        return Format("goto %04xh\n", Hex(word & 0xFFFF));
    if (DialogueOpcode(word) == dialogue_op::kPhrase)
        if (const DialoguePhrase* phrase = PhraseAt(word)) {
            std::string line = Format("%d: ", phrase->speakerId) + phrase->text;
            if (line.size() >= kDescribeBuffer) line.resize(kDescribeBuffer - 1);
            return line;
        }
    return Format("code %02xh is not disassembled yet\n", Hex(word));
}

void DialogueMachine::SaveState(platform::ByteWriter* out) const {
    if (out == nullptr) return;
    out->I32(Size());
    for (uint32_t word : tables_.code)
        out->U32(word);
}

DialogueStateLoad DialogueMachine::LoadState(platform::ByteReader* in) {
    if (in == nullptr) return DialogueStateLoad::NoStream;
    const int32_t size = in->I32();
    if (in->Failed()) return DialogueStateLoad::Truncated;
    if (size != Size()) {
        // The block belongs to another "dialogue.fix": skip it whole, so that what follows
        // it in the stream still reads right.
        const bool skipped = size >= 0 && in->Skip(static_cast<size_t>(size) * 4);
        if (!skipped) in->Skip(in->Remaining() + 1);
        return skipped ? DialogueStateLoad::SizeMismatch : DialogueStateLoad::Truncated;
    }
    std::vector<uint32_t> words(static_cast<size_t>(size));
    for (uint32_t& word : words)
        word = in->U32();
    if (in->Failed()) return DialogueStateLoad::Truncated;
    tables_.code = std::move(words);
    return DialogueStateLoad::Loaded;
}

void DialogueMachine::ResetCode() {
    tables_.code = loadedCode_;
    ip_.reset();
    entry_ = 0;
    entryNotifyPending_ = false;
}

void DialogueMachine::Fail(const std::string& opening, const std::string& position) {
    const uint32_t word = ip_ ? Word(*ip_) : 0;
    const std::string text = opening + position + Format("*ip=%08xh\n", Hex(word)) +
                             "DisAssembled *ip:\n" + DescribeWord(word) + "\n" +
                             "Terminating dialogue.";
    if (hooks_.errorLog) hooks_.errorLog(text);
    ++failures_;
    entryNotifyPending_ = false;
    if (tables_.code.empty()) {
        ip_.reset();
        return;
    }
    tables_.code[0] = kDialogueEndWord;
    ip_ = 0;
}

void DialogueMachine::ResetBudget() {
    // Far more steps than any run between two stops takes: every word a few times over.
    budget_ = 8 * static_cast<int64_t>(Size()) + 64;
}

bool DialogueMachine::Spend() {
    if (budget_ > 0) {
        --budget_;
        return true;
    }
    if (budget_ == 0) {
        budget_ = -1;
        Fail("Error: dialogue runs without reaching a stop\n",
             Format("ip=%04xh codesize=%04xh\n", Hex(ip_.value_or(0)), Hex(Size())));
    }
    return false;
}

bool DialogueMachine::Advance(int n) {
    const int64_t target = int64_t{*ip_} + n;
    if (target >= 0 && target < Size()) {
        ip_ = static_cast<int>(target);
        return true;
    }
    Fail("Error: ip moves outside code seg\n",
         Format("ip=%04xh ip+off=%04xh codesize=%04xh\n", Hex(*ip_), Hex(target), Hex(Size())));
    return false;
}

bool DialogueMachine::Jump(int target) {
    if (target >= 0 && target < Size()) {
        ip_ = target;
        return true;
    }
    Fail("Error: ip is set outside code seg\n",
         Format("ip=%04xh newip=%04xh codesize=%04xh\n", Hex(*ip_), Hex(target), Hex(Size())));
    return false;
}
