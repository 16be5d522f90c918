// The block structures of the conversation bytecode: menus of choices, cycles, switching
// choices off and on, and pruning menus whose branches lead nowhere.
#include "dialogue/DialogueMachine.h"

#include <cstdio>

namespace {

// Deeper chains of menus than this are left alone by Prune (treated as alive).
constexpr int kMaxPruneDepth = 256;

std::string Position(const char* format, unsigned a, unsigned b, unsigned c) {
    char line[100];
    std::snprintf(line, sizeof line, format, a, b, c);
    return line;
}

} // namespace

bool DialogueMachine::BlockEnd() {
    // Backwards from the endblock itself to the menu or cycle that owns the block; never
    // before word 0, where a stray endblock would otherwise lead.
    for (int p = *ip_; p >= 0; --p) {
        if (!Spend()) return false;
        const uint8_t op = DialogueOpcode(Word(p));
        if (op == dialogue_op::kMenu || op == dialogue_op::kCycle) {
            ip_ = p;
            return true;
        }
    }
    Fail("Error: ip moves outside code seg\n",
         Position("ip=%04xh ip+off=%04xh codesize=%04xh\n", static_cast<unsigned>(*ip_),
                  static_cast<unsigned>(-1), static_cast<unsigned>(Size())));
    return false;
}

bool DialogueMachine::PassBlocks(int count) {
    // From the menu or cycle word to the first word after `count` of its blocks.
    if (!Advance(1)) return false;
    for (int i = 0; i < count; ++i) {
        while (DialogueOpcode(Word(*ip_)) != dialogue_op::kEndBlock)
            if (!Spend() || !Advance(1)) return false;
        if (!Advance(1)) return false;
    }
    return true;
}

bool DialogueMachine::TakeChoice(int choice) {
    const uint32_t menu = Word(*ip_);
    const int n = static_cast<int>(menu & 0xFF);
    if (choice < 0) choice = 0;
    if (choice >= n) choice = n - 1;
    // A menu without choices goes on behind itself rather than one word before it.
    if (choice < 0) choice = 0;
    if (!Advance(1)) return false;
    for (int j = 0; j < n; ++j) {
        while (DialogueOpcode(Word(*ip_)) != dialogue_op::kEndBlock)
            if (!Spend() || !Advance(1)) return false;
        if (!Advance(1)) return false;
        // Visible numbers count enabled choices only: each disabled one up to the choice
        // moves it one further.
        if (!MenuChoiceEnabled(menu, j) && j <= choice) ++choice;
    }
    // The pointer is on the first word of the table behind the blocks.
    return Advance(choice);
}

bool DialogueMachine::LeaveCycle() {
    const uint32_t word = Word(*ip_);
    const uint32_t modulus = word & 0xFFFF;
    const uint32_t current = (word >> 16) & 0xFF;
    const uint32_t next = modulus == 0 ? 0 : (current + 1) % modulus;
    tables_.code[static_cast<size_t>(*ip_)] = (word & 0xFF00FFFF) | ((next & 0xFF) << 16);
    // With no blocks the pointer stays on the cycle, which stops the run.
    const int blocks = static_cast<int>(word & 0xFF);
    return blocks == 0 || PassBlocks(blocks);
}

bool DialogueMachine::SwitchChoice(bool enable) {
    const uint32_t word = Word(*ip_);
    const int menu = static_cast<int>(word & 0xFFFF);
    const int k = static_cast<int>((word >> 16) & 0xFF);
    if (menu >= Size() || DialogueOpcode(Word(menu)) != dialogue_op::kMenu) {
        Fail("Error: choice switch names no menu\n",
             Position("ip=%04xh menu=%04xh codesize=%04xh\n", static_cast<unsigned>(*ip_),
                      static_cast<unsigned>(menu), static_cast<unsigned>(Size())));
        return false;
    }
    if (k < kMenuMaskBits) {
        const uint32_t bit = 1u << (8 + k);
        uint32_t& target = tables_.code[static_cast<size_t>(menu)];
        target = enable ? target | bit : target & ~bit;
    }
    if (!enable) Prune(entry_);
    return Advance(1);
}

const DialoguePhrase* DialogueMachine::MenuChoicePhrase(int index) {
    const int menuAt = *ip_;
    const uint32_t menu = Word(menuAt);
    const int n = static_cast<int>(menu & 0xFF);
    if (index < 0 || index >= n) return nullptr;
    // Walk to the first word of the index-th enabled block.
    int block = 0;
    int remaining = index;
    int p = menuAt;
    while (true) {
        if (++p >= Size() || block >= n) return nullptr;
        if (remaining == 0 && MenuChoiceEnabled(menu, block)) break;
        if (DialogueOpcode(Word(p)) == dialogue_op::kEndBlock) {
            if (MenuChoiceEnabled(menu, block)) --remaining;
            ++block;
        }
    }
    if (DialogueOpcode(Word(p)) == dialogue_op::kPhrase) return PhraseAt(Word(p));
    // The block's leading words run (a goto may lead to the phrase); the pointer then goes
    // back to the menu unless the run ended the conversation.
    const uint32_t failuresBefore = failures_;
    ip_ = p;
    RunFromHere(-1);
    if (failures_ != failuresBefore) return nullptr;
    const uint32_t reached = Word(*ip_);
    ip_ = menuAt;
    return DialogueOpcode(reached) == dialogue_op::kPhrase ? PhraseAt(reached) : nullptr;
}

std::optional<int> DialogueMachine::ScanFor(int index, uint8_t opcode) const {
    // Every step moves forward, so the search ends.
    int p = index;
    while (p >= 0 && p < Size()) {
        const uint32_t word = Word(p);
        const uint8_t op = DialogueOpcode(word);
        if (op == opcode) return p;
        if (op == dialogue_op::kEnd) return std::nullopt;
        if (op == dialogue_op::kGoto) {
            const int target = static_cast<int>(word & 0xFFFF);
            if (target <= p) return std::nullopt;
            p = target;
            continue;
        }
        ++p;
    }
    return std::nullopt;
}

bool DialogueMachine::Prune(int index) {
    std::vector<bool> visited(tables_.code.size(), false);
    return PruneMenu(index, visited, 0);
}

bool DialogueMachine::PruneMenu(int index, std::vector<bool>& visited, int depth) {
    if (index < 0 || index >= Size()) return true;
    if (DialogueOpcode(Word(index)) != dialogue_op::kMenu) {
        const std::optional<int> menu = ScanFor(index, dialogue_op::kMenu);
        if (!menu) return true;
        index = *menu;
    }
    // A menu met again (branches leading back to it) is judged as it stands now: each menu
    // is pruned once, so menus that lead to each other cannot recurse without end.
    if (visited[static_cast<size_t>(index)] || depth > kMaxPruneDepth)
        return MenuEnabledCount(Word(index)) > 0;
    visited[static_cast<size_t>(index)] = true;
    const int n = static_cast<int>(Word(index) & 0xFF);
    int table = index + 1;
    for (int b = 0; b < n; ++b) {
        const std::optional<int> end = ScanFor(table, dialogue_op::kEndBlock);
        if (!end) return true;
        table = *end + 1;
    }
    if (MenuEnabledCount(Word(index)) == 0) return false;
    for (int k = 0; k < n; ++k) {
        if (!MenuChoiceEnabled(Word(index), k) || table + k >= Size()) continue;
        const int target = static_cast<int>(Word(table + k) & 0xFFFF);
        const std::optional<int> next = ScanFor(target, dialogue_op::kMenu);
        if (!next || PruneMenu(*next, visited, depth + 1)) continue;
        tables_.code[static_cast<size_t>(index)] &= ~(1u << (8 + k));
        if (MenuEnabledCount(Word(index)) == 0) return false;
    }
    return true;
}
