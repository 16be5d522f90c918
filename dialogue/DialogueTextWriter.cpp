// Writing both dialogue files as conversation text (DialogueText.h). Menus and cycles are
// written as such where their words are laid out as the compiler lays them; everything
// else is written word by word with labels, so that building the text gives the files
// back. The result is checked by building it; should that ever differ, the text falls back
// to code words written raw.
#include "dialogue/DialogueMachine.h"
#include "dialogue/DialogueText.h"
#include "dialogue/DialogueTextForms.h"

#include "core/ScriptNames.h"
#include "core/TextTokens.h"

#include <cstdio>
#include <map>
#include <set>
#include <tuple>

namespace dialogue_text {

namespace {

constexpr size_t kTrailingBytesPerLine = 16;

bool HasHighOperand(uint32_t word) {
    return ((word >> 16) & 0xFF) != 0;
}

class Writer {
public:
    Writer(const DialogueFiles& files, const ScriptNames& names, bool structured)
        : files_(files), names_(names), code_(files.tables.code), phrases_(files.phrases.phrases),
          structured_(structured) {}

    std::string Run();

private:
    int Size() const { return static_cast<int>(code_.size()); }
    void FindPhraseForm();
    void FindLabels();
    void FindStructures();
    std::optional<int> MenuEnd(int at) const;
    std::optional<int> CycleEnd(int at) const;
    bool InlinePhrase(uint32_t word) const;
    bool CycleBodyWord(uint32_t word) const;
    std::string Address(int64_t address) const;
    std::string Statement(uint32_t word);
    std::string Phrase(size_t index) { return PhraseText(names_, phrases_[index], &used_); }
    void Objects(std::string& out);
    void PhraseTable(std::string& out);
    void Code(std::string& out);
    void Menu(std::string& out, int at);
    void Cycle(std::string& out, int at, int end);
    void Trailing(std::string& out, const char* file, const std::vector<uint8_t>& bytes);

    const DialogueFiles& files_;
    const ScriptNames& names_;
    const std::vector<uint32_t>& code_;
    const std::vector<DialoguePhrase>& phrases_;
    const bool structured_;
    bool inlineTable_ = false;      // the phrase table is the phrases in order of use
    std::vector<size_t> firstSame_; // for each phrase, the first one equal to it
    std::set<int> labels_;
    std::map<int, int> menuEnds_; // structured menus: start -> end
    std::map<int, int> cycleEnds_;
    std::map<int32_t, std::string> used_; // names written
};

std::string Writer::Run() {
    FindPhraseForm();
    if (structured_) {
        FindLabels();
        FindStructures();
    }
    std::string body;
    Objects(body);
    PhraseTable(body);
    Code(body);
    Trailing(body, "fix", files_.tables.trailing);
    Trailing(body, "lod", files_.phrases.trailing);
    std::string text = "# Conversations: 'tarvo-tool dialogue build' makes dialogue.fix and "
                       "dialogue.lod of this text.\n";
    if (!used_.empty()) text += "\n";
    for (const auto& [id, spelled] : used_)
        text += "name " + spelled + " = " + std::to_string(id) + "\n";
    return text + body;
}

void Writer::FindPhraseForm() {
    using Key = std::tuple<int32_t, std::string, std::string, uint32_t>;
    std::map<Key, size_t> first;
    firstSame_.resize(phrases_.size());
    bool distinct = true;
    for (size_t i = 0; i < phrases_.size(); ++i) {
        const DialoguePhrase& p = phrases_[i];
        const Key key{p.speakerId, std::string(p.nameField.begin(), p.nameField.end()), p.text,
                      p.ignored};
        const auto [at, added] = first.emplace(key, i);
        firstSame_[i] = at->second;
        distinct = distinct && added && p.ignored == 0;
    }
    // Inline phrases are numbered in the order the code first uses them.
    size_t next = 0;
    std::vector<bool> seen(phrases_.size(), false);
    bool inOrder = true;
    for (uint32_t word : code_) {
        const size_t index = word & 0xFFFF;
        if (DialogueOpcode(word) != dialogue_op::kPhrase || HasHighOperand(word) ||
            index >= phrases_.size() || seen[index])
            continue;
        seen[index] = true;
        inOrder = inOrder && index == next++;
    }
    inlineTable_ = structured_ && distinct && inOrder && next == phrases_.size();
}

bool Writer::InlinePhrase(uint32_t word) const {
    const size_t index = word & 0xFFFF;
    if (DialogueOpcode(word) != dialogue_op::kPhrase || HasHighOperand(word) ||
        index >= phrases_.size() || !structured_)
        return false;
    return inlineTable_ || (phrases_[index].ignored == 0 && firstSame_[index] == index);
}

void Writer::FindLabels() {
    auto mark = [this](int64_t address) {
        if (address >= 0 && address < Size()) labels_.insert(static_cast<int>(address));
    };
    for (uint32_t word : code_) {
        const uint8_t op = DialogueOpcode(word);
        if (op == dialogue_op::kGoto && !HasHighOperand(word)) mark(word & 0xFFFF);
        const int menu = static_cast<int>(word & 0xFFFF);
        if ((op == dialogue_op::kDisable || op == dialogue_op::kEnable) && menu < Size() &&
            DialogueOpcode(code_[static_cast<size_t>(menu)]) == dialogue_op::kMenu)
            mark(menu);
    }
    for (const DialogueObject& object : files_.tables.objects)
        for (const DialogueHandler& handler : object.handlers)
            for (const DialogueEntry& entry : handler.entries)
                mark(entry.start);
}

void Writer::FindStructures() {
    for (int at = 0; at < Size(); ++at) {
        const uint8_t op = DialogueOpcode(code_[static_cast<size_t>(at)]);
        std::optional<int> end;
        if (op == dialogue_op::kMenu) end = MenuEnd(at);
        if (op == dialogue_op::kCycle) end = CycleEnd(at);
        if (!end) continue;
        // A label inside would have no line to stand on.
        const auto inside = labels_.upper_bound(at);
        if (inside != labels_.end() && *inside < *end) continue;
        (op == dialogue_op::kMenu ? menuEnds_ : cycleEnds_)[at] = *end;
        at = *end - 1;
    }
}

std::optional<int> Writer::MenuEnd(int at) const {
    const uint32_t menu = code_[static_cast<size_t>(at)];
    const int n = static_cast<int>(menu & 0xFF);
    const uint32_t mask = (menu >> 8) & 0xFFFF;
    if (n < 1 || n > kMenuMaskBits || (mask >> n) != 0 || at + 1 + 3 * n > Size())
        return std::nullopt;
    for (int k = 0; k < n; ++k) {
        const uint32_t text = code_[static_cast<size_t>(at + 1 + 2 * k)];
        const uint32_t end = code_[static_cast<size_t>(at + 2 + 2 * k)];
        const uint32_t branch = code_[static_cast<size_t>(at + 1 + 2 * n + k)];
        if (!InlinePhrase(text) || end != (uint32_t{dialogue_op::kEndBlock} << 24) ||
            DialogueOpcode(branch) != dialogue_op::kGoto || HasHighOperand(branch))
            return std::nullopt;
    }
    return at + 1 + 3 * n;
}

bool Writer::CycleBodyWord(uint32_t word) const {
    const uint8_t op = DialogueOpcode(word);
    if (op == dialogue_op::kDisable || op == dialogue_op::kEnable) return true;
    return (op == dialogue_op::kPhrase || op == dialogue_op::kNotify) && !HasHighOperand(word);
}

std::optional<int> Writer::CycleEnd(int at) const {
    const uint32_t cycle = code_[static_cast<size_t>(at)];
    const int blocks = static_cast<int>(cycle & 0xFF);
    const int current = static_cast<int>((cycle >> 16) & 0xFF);
    if (blocks < 1 || (cycle & 0xFF00) != 0 || current >= blocks) return std::nullopt;
    int p = at + 1;
    for (int b = 0; b < blocks; ++b) {
        if (p >= Size() || !InlinePhrase(code_[static_cast<size_t>(p)])) return std::nullopt;
        for (++p;
             p < Size() && DialogueOpcode(code_[static_cast<size_t>(p)]) != dialogue_op::kEndBlock;
             ++p)
            if (!CycleBodyWord(code_[static_cast<size_t>(p)])) return std::nullopt;
        if (p >= Size() || code_[static_cast<size_t>(p)] != uint32_t{dialogue_op::kEndBlock} << 24)
            return std::nullopt;
        ++p;
    }
    return p;
}

std::string Writer::Address(int64_t address) const {
    if (labels_.count(static_cast<int>(address)) && address >= 0 && address < Size()) {
        char label[16];
        std::snprintf(label, sizeof label, "L%04X", static_cast<unsigned>(address));
        return label;
    }
    return std::string("@").append(std::to_string(address));
}

std::string Writer::Statement(uint32_t word) {
    const uint8_t op = DialogueOpcode(word);
    const uint32_t low = word & 0xFFFF;
    if (!structured_) return "word " + HexWord(word);
    if (word == 0) return "nop";
    if (word == uint32_t{dialogue_op::kEndBlock} << 24) return "endblock";
    if (word == kDialogueEndWord) return "end";
    if (InlinePhrase(word)) return Phrase(low);
    if (HasHighOperand(word) && op != dialogue_op::kDisable && op != dialogue_op::kEnable)
        return "word " + HexWord(word);
    switch (op) {
    case dialogue_op::kGoto:
        return "goto " + Address(low);
    case dialogue_op::kNotify:
        return "notify " + std::to_string(low);
    case dialogue_op::kPhrase:
        return "say " + std::to_string(low) +
               (low < phrases_.size() ? "" : "  # no such phrase in dialogue.lod");
    case dialogue_op::kDisable:
    case dialogue_op::kEnable: {
        const uint32_t k = (word >> 16) & 0xFF;
        const auto menu = menuEnds_.find(static_cast<int>(low));
        // A label names only a menu written as one, and only one of its choices.
        const bool byLabel = menu != menuEnds_.end() && k < (code_[low] & 0xFF);
        return std::string(op == dialogue_op::kEnable ? "enable " : "disable ") +
               (byLabel ? Address(low) : std::string("@").append(std::to_string(low))) + " " +
               std::to_string(k);
    }
    default:
        return "word " + HexWord(word);
    }
}

void Writer::Objects(std::string& out) {
    auto ignored = [](uint32_t value) {
        return value == 0 ? std::string() : " ignored " + HexWord(value);
    };
    for (const DialogueObject& object : files_.tables.objects) {
        out += "\nobject " +
               (object.id == kDialogueAnyObject ? std::string("any")
                                                : IdText(names_, object.id, &used_)) +
               ignored(object.ignored) + "\n";
        for (const DialogueHandler& handler : object.handlers) {
            out += "  on " + TypeText(names_, handler.type, &used_);
            if (handler.defaultEntry != 0)
                out += " default " + std::to_string(handler.defaultEntry);
            out += ignored(handler.ignored) + "\n";
            for (const DialogueEntry& entry : handler.entries) {
                out += "    entry " + Address(entry.start);
                if (!entry.list.empty()) out += " list";
                for (int32_t value : entry.list)
                    out.append(" ").append(std::to_string(value));
                out += ignored(entry.ignored) + "\n";
            }
        }
    }
}

void Writer::PhraseTable(std::string& out) {
    if (inlineTable_ || phrases_.empty()) return;
    out += "\n";
    for (size_t i = 0; i < phrases_.size(); ++i) {
        out += "phrase " + std::to_string(i) + " " + Phrase(i);
        if (phrases_[i].ignored != 0) out += " ignored " + HexWord(phrases_[i].ignored);
        out += "\n";
    }
}

void Writer::Code(std::string& out) {
    if (!code_.empty()) out += "\n";
    for (int at = 0; at < Size();) {
        if (labels_.count(at)) out += Address(at) + ":\n";
        if (const auto menu = menuEnds_.find(at); menu != menuEnds_.end()) {
            Menu(out, at);
            at = menu->second;
        } else if (const auto cycle = cycleEnds_.find(at); cycle != cycleEnds_.end()) {
            Cycle(out, at, cycle->second);
            at = cycle->second;
        } else {
            out += "  " + Statement(code_[static_cast<size_t>(at)]) + "\n";
            ++at;
        }
    }
}

void Writer::Menu(std::string& out, int at) {
    const uint32_t menu = code_[static_cast<size_t>(at)];
    const int n = static_cast<int>(menu & 0xFF);
    out += "  menu\n";
    for (int k = 0; k < n; ++k) {
        const uint32_t text = code_[static_cast<size_t>(at + 1 + 2 * k)];
        const uint32_t branch = code_[static_cast<size_t>(at + 1 + 2 * n + k)];
        out += std::string("    choice ") + (MenuChoiceEnabled(menu, k) ? "" : "off ") +
               Phrase(text & 0xFFFF) + " -> " + Address(branch & 0xFFFF) + "\n";
    }
}

void Writer::Cycle(std::string& out, int at, int end) {
    const uint32_t cycle = code_[static_cast<size_t>(at)];
    const uint32_t current = (cycle >> 16) & 0xFF;
    out += current == 0 ? "  cycle\n" : "  cycle at " + std::to_string(current) + "\n";
    bool blockStart = true;
    for (int p = at + 1; p < end; ++p) {
        const uint32_t word = code_[static_cast<size_t>(p)];
        if (DialogueOpcode(word) == dialogue_op::kEndBlock) {
            blockStart = true;
            continue;
        }
        out += (blockStart ? "    " : "      ") + Statement(word) + "\n";
        blockStart = false;
    }
}

void Writer::Trailing(std::string& out, const char* file, const std::vector<uint8_t>& bytes) {
    for (size_t start = 0; start < bytes.size(); start += kTrailingBytesPerLine) {
        std::string line = std::string(start == 0 ? "\n" : "") + "trailing " + file;
        for (size_t i = start; i < std::min(start + kTrailingBytesPerLine, bytes.size()); ++i)
            line.append(" ").append(HexByte(bytes[i]));
        out += line + "\n";
    }
}

} // namespace

} // namespace dialogue_text

std::string DialogueToText(const DialogueFiles& files, const ScriptNames& names) {
    const ScriptNames none(nullptr); // the text declares the names it uses
    for (bool structured : {true, false}) {
        std::string text = dialogue_text::Writer(files, names, structured).Run();
        DialogueFiles rebuilt;
        std::string error;
        if (DialogueFromText(text, none, rebuilt, error) && rebuilt == files) return text;
        if (!structured) return text;
    }
    return {};
}
