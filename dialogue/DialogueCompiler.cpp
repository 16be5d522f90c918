// Laying the conversation tree out into code words, the handler tables and the phrase
// table. Menus are laid out as the interpreter reads them: the menu word, one block per
// choice (its text and an endblock), the table of gotos, then what runs when no choice is
// left, then the choices' bodies; bodies that go on jump behind the menu.
#include "dialogue/DialogueMachine.h"
#include "dialogue/DialogueSyntax.h"
#include "dialogue/DialogueText.h"

#include <map>
#include <tuple>

namespace dialogue_text {

namespace {

constexpr int64_t kAddressLimit = 0x10000; // gotos and menu references are 16-bit

uint32_t Word(uint8_t op, uint32_t operand = 0) {
    return (uint32_t{op} << 24) | operand;
}

using PhraseKey = std::tuple<int32_t, std::string, std::string>;

PhraseKey KeyOf(const DialoguePhrase& p) {
    return {p.speakerId, std::string(p.nameField.begin(), p.nameField.end()), p.text};
}

// Where a choice stands: the menu's address and the choice's number.
struct ChoicePlace {
    int menu = 0;
    int index = 0;
    int line = 0;
};

class Compiler {
public:
    explicit Compiler(const Source& source) : source_(source) {}

    bool Run(DialogueFiles& out, std::string& error);

private:
    bool Fail(int line, const std::string& reason) {
        error_ = std::to_string(line) + ": " + reason;
        return false;
    }
    // Emits `statements`; `self` is the choice whose body they are, if any. `goesOn` tells
    // whether the conversation can run on past their last word.
    bool Emit(const std::vector<Statement>& statements, const ChoicePlace* self, bool& goesOn);
    bool EmitOne(const Statement& st, const ChoicePlace* self, bool& goesOn);
    bool EmitMenu(const Statement& st, bool& goesOn);
    bool EmitCycle(const Statement& st);
    void EmitPhrase(const DialoguePhrase& phrase);
    bool Resolve(const AddressRef& ref, int64_t& address);
    bool ResolveSwitches();
    bool ResolveSwitch(size_t at, const Statement& st, const ChoicePlace* self);
    bool AssignPhrases(DialoguePhrases& out);
    bool BuildTables(DialogueTables& out);

    const Source& source_;
    std::vector<uint32_t> code_;
    std::map<std::string, int> labels_;
    std::map<std::string, int> labelLines_;
    std::vector<std::pair<size_t, const AddressRef*>> gotoFixes_;
    struct SwitchFix {
        size_t at;
        const Statement* st;
        std::optional<ChoicePlace> self;
    };
    std::vector<SwitchFix> switchFixes_;
    std::vector<std::pair<size_t, const DialoguePhrase*>> phraseUses_;
    std::map<std::string, std::vector<ChoicePlace>> choiceLabels_;
    std::map<int, std::map<std::string, int>> menuChoiceLabels_;
    std::map<int, int> menuSizes_; // menu address -> number of choices
    std::string error_;
};

bool Compiler::Run(DialogueFiles& out, std::string& error) {
    bool goesOn = false;
    bool ok = Emit(source_.code, nullptr, goesOn);
    if (ok && goesOn && !source_.code.empty()) {
        const Statement& last = source_.code.back();
        ok = Fail(last.line, last.kind == Statement::Kind::Menu
                                 ? "the conversation runs on below this menu when no choice is "
                                   "left or a choice's lines go on, and nothing follows; end it "
                                   "with 'end' or 'goto'"
                                 : "the conversation can run on past the last statement here; "
                                   "end it with 'end' or 'goto'");
    }
    if (ok && static_cast<int64_t>(code_.size()) > kAddressLimit)
        ok = Fail(source_.code.back().line, "the code has " + std::to_string(code_.size()) +
                                                " words; addresses reach only 65536");
    for (const auto& [at, ref] : gotoFixes_) {
        int64_t target = 0;
        if (!ok || !(ok = Resolve(*ref, target))) break;
        if (target < 0 || target >= kAddressLimit)
            ok = Fail(ref->line, "address " + std::to_string(target) + " is not 0..65535");
        else
            code_[at] |= static_cast<uint32_t>(target);
    }
    ok = ok && ResolveSwitches() && AssignPhrases(out.phrases) && BuildTables(out.tables);
    if (!ok) error = error_;
    return ok;
}

bool Compiler::Emit(const std::vector<Statement>& statements, const ChoicePlace* self,
                    bool& goesOn) {
    goesOn = true;
    for (const Statement& st : statements)
        if (!EmitOne(st, self, goesOn)) return false;
    return true;
}

bool Compiler::EmitOne(const Statement& st, const ChoicePlace* self, bool& goesOn) {
    using Kind = Statement::Kind;
    for (const Label& label : st.labels) {
        if (labels_.count(label.name))
            return Fail(label.line, "label '" + label.name + "' is already used on line " +
                                        std::to_string(labelLines_[label.name]));
        labels_[label.name] = static_cast<int>(code_.size());
        labelLines_[label.name] = label.line;
    }
    goesOn = true;
    switch (st.kind) {
    case Kind::Phrase:
        EmitPhrase(st.phrase);
        return true;
    case Kind::Say:
        code_.push_back(Word(dialogue_op::kPhrase, st.value));
        return true;
    case Kind::Word:
        // Raw words are the author's own: no judgement on where they lead.
        code_.push_back(st.value);
        goesOn = false;
        return true;
    case Kind::EndBlock:
        code_.push_back(Word(dialogue_op::kEndBlock));
        goesOn = false;
        return true;
    case Kind::Goto:
        gotoFixes_.emplace_back(code_.size(), &st.target);
        code_.push_back(Word(dialogue_op::kGoto));
        goesOn = false;
        return true;
    case Kind::End:
        code_.push_back(kDialogueEndWord);
        goesOn = false;
        return true;
    case Kind::Nop:
        code_.push_back(Word(dialogue_op::kNop));
        return true;
    case Kind::Notify:
        code_.push_back(Word(dialogue_op::kNotify, st.value));
        return true;
    case Kind::Disable:
    case Kind::Enable:
        switchFixes_.push_back({code_.size(), &st, self ? std::optional(*self) : std::nullopt});
        code_.push_back(
            Word(st.kind == Kind::Enable ? dialogue_op::kEnable : dialogue_op::kDisable));
        return true;
    case Kind::Menu:
        return EmitMenu(st, goesOn);
    case Kind::Cycle:
        return EmitCycle(st);
    }
    return true;
}

void Compiler::EmitPhrase(const DialoguePhrase& phrase) {
    phraseUses_.emplace_back(code_.size(), &phrase);
    code_.push_back(Word(dialogue_op::kPhrase));
}

bool Compiler::EmitMenu(const Statement& st, bool& goesOn) {
    const int menu = static_cast<int>(code_.size());
    const auto n = static_cast<uint32_t>(st.choices.size());
    uint32_t mask = 0;
    for (uint32_t k = 0; k < n; ++k) {
        const Choice& choice = st.choices[k];
        if (!choice.off) mask |= 1u << k;
        if (choice.label.empty()) continue;
        if (menuChoiceLabels_[menu].count(choice.label))
            return Fail(choice.line, "this menu already has a choice '" + choice.label + "'");
        menuChoiceLabels_[menu][choice.label] = static_cast<int>(k);
        choiceLabels_[choice.label].push_back({menu, static_cast<int>(k), choice.line});
    }
    menuSizes_[menu] = static_cast<int>(n);
    code_.push_back(Word(dialogue_op::kMenu, n | (mask << 8)));
    for (const Choice& choice : st.choices) {
        EmitPhrase(choice.phrase);
        code_.push_back(Word(dialogue_op::kEndBlock));
    }
    const size_t table = code_.size();
    bool anyBody = false;
    for (const Choice& choice : st.choices) {
        if (choice.jump) gotoFixes_.emplace_back(code_.size(), &*choice.jump);
        anyBody = anyBody || !choice.jump;
        code_.push_back(Word(dialogue_op::kGoto));
    }
    std::vector<size_t> toAfter; // gotos to the word behind the menu
    bool otherwiseGoesOn = true;
    if (st.hasOtherwise && !Emit(st.otherwise, nullptr, otherwiseGoesOn)) return false;
    if (anyBody && otherwiseGoesOn) {
        toAfter.push_back(code_.size());
        code_.push_back(Word(dialogue_op::kGoto));
    }
    // Each body that can go on jumps behind the menu, except the last, which is there.
    bool lastGoesOn = false;
    bool firstBody = true;
    for (uint32_t k = 0; k < n; ++k) {
        const Choice& choice = st.choices[k];
        if (choice.jump) continue;
        if (!firstBody && lastGoesOn) {
            toAfter.push_back(code_.size());
            code_.push_back(Word(dialogue_op::kGoto));
        }
        firstBody = false;
        code_[table + k] = Word(dialogue_op::kGoto, static_cast<uint32_t>(code_.size()));
        if (!choice.quiet) EmitPhrase(choice.phrase);
        const ChoicePlace self{menu, static_cast<int>(k), choice.line};
        if (!Emit(choice.body, &self, lastGoesOn)) return false;
    }
    const auto after = static_cast<uint32_t>(code_.size());
    for (size_t at : toAfter)
        code_[at] = Word(dialogue_op::kGoto, after);
    goesOn = anyBody ? lastGoesOn || !toAfter.empty() : otherwiseGoesOn;
    return true;
}

bool Compiler::EmitCycle(const Statement& st) {
    const auto n = static_cast<uint32_t>(st.blocks.size());
    code_.push_back(Word(dialogue_op::kCycle, n | (st.value << 16)));
    for (const CycleBlock& block : st.blocks) {
        EmitPhrase(block.phrase);
        bool goesOn = true;
        if (!Emit(block.body, nullptr, goesOn)) return false;
        code_.push_back(Word(dialogue_op::kEndBlock));
    }
    return true;
}

bool Compiler::Resolve(const AddressRef& ref, int64_t& address) {
    if (ref.label.empty()) {
        address = ref.address;
        return true;
    }
    const auto found = labels_.find(ref.label);
    if (found == labels_.end()) return Fail(ref.line, "unknown label '" + ref.label + "'");
    address = found->second;
    return true;
}

bool Compiler::ResolveSwitches() {
    for (const SwitchFix& fix : switchFixes_)
        if (!ResolveSwitch(fix.at, *fix.st, fix.self ? &*fix.self : nullptr)) return false;
    return true;
}

bool Compiler::ResolveSwitch(size_t at, const Statement& st, const ChoicePlace* self) {
    const ChoiceRef& ref = st.choice;
    const char* verb = st.kind == Statement::Kind::Enable ? "enable" : "disable";
    int64_t menu = 0;
    int64_t index = 0;
    if (ref.form == ChoiceRef::Form::Self) {
        if (self == nullptr)
            return Fail(st.line, std::string("'") + verb +
                                     "' alone names the choice whose body it is in; "
                                     "outside one, name the choice");
        menu = self->menu;
        index = self->index;
    } else if (ref.form == ChoiceRef::Form::ChoiceLabel) {
        const auto found = choiceLabels_.find(ref.choiceLabel);
        if (found == choiceLabels_.end())
            return Fail(st.line, "no choice is named '" + ref.choiceLabel + "'");
        if (found->second.size() > 1)
            return Fail(st.line, "choices named '" + ref.choiceLabel + "' stand on lines " +
                                     std::to_string(found->second[0].line) + " and " +
                                     std::to_string(found->second[1].line) + "; name the menu too");
        menu = found->second[0].menu;
        index = found->second[0].index;
    } else {
        if (!Resolve(ref.menu, menu)) return false;
        const bool byLabel = !ref.menu.label.empty();
        const auto size = menuSizes_.find(static_cast<int>(menu));
        if (byLabel && size == menuSizes_.end())
            return Fail(st.line, "'" + ref.menu.label + "' is not the label of a menu");
        if (ref.number) {
            index = *ref.number;
            if (byLabel && index >= size->second)
                return Fail(st.line, "menu '" + ref.menu.label + "' has " +
                                         std::to_string(size->second) + " choices, from 0");
        } else {
            const auto& named = menuChoiceLabels_[static_cast<int>(menu)];
            const auto found = named.find(ref.choiceLabel);
            if (found == named.end())
                return Fail(st.line, "the menu has no choice named '" + ref.choiceLabel + "'");
            index = found->second;
        }
        if (menu < 0 || menu >= kAddressLimit)
            return Fail(st.line, "address " + std::to_string(menu) + " is not 0..65535");
    }
    code_[at] |= static_cast<uint32_t>(menu) | (static_cast<uint32_t>(index) << 16);
    return true;
}

bool Compiler::AssignPhrases(DialoguePhrases& out) {
    out.phrases = source_.phrases;
    out.trailing = source_.lodTrailing;
    std::map<PhraseKey, size_t> numbers;
    for (size_t i = 0; i < out.phrases.size(); ++i)
        if (out.phrases[i].ignored == 0) numbers.emplace(KeyOf(out.phrases[i]), i);
    for (const auto& [at, phrase] : phraseUses_) {
        const auto [found, added] = numbers.emplace(KeyOf(*phrase), out.phrases.size());
        if (added) out.phrases.push_back(*phrase);
        if (found->second > 0xFFFF)
            return Fail(0, "more than 65536 different phrases; phrase numbers are 16-bit");
        code_[at] |= static_cast<uint32_t>(found->second);
    }
    return true;
}

bool Compiler::BuildTables(DialogueTables& out) {
    out.objects.clear();
    for (const ObjectLine& object : source_.objects) {
        DialogueObject built{object.id, object.ignored, {}};
        for (const HandlerLine& handler : object.handlers) {
            DialogueHandler h{handler.type, handler.defaultEntry, handler.ignored, {}};
            for (const EntryLine& entry : handler.entries) {
                int64_t start = 0;
                if (!Resolve(entry.start, start)) return false;
                h.entries.push_back({static_cast<int32_t>(start), entry.list, entry.ignored});
            }
            built.handlers.push_back(std::move(h));
        }
        out.objects.push_back(std::move(built));
    }
    out.code = code_;
    out.trailing = source_.fixTrailing;
    return true;
}

} // namespace

bool LayOut(const Source& source, DialogueFiles& out, std::string& error) {
    out = DialogueFiles{};
    return Compiler(source).Run(out, error);
}

} // namespace dialogue_text
