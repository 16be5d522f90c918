// Reading the conversation language (DialogueText.h) into its tree: lines, labels, and the
// statements with what is indented below menus, choices and cycles.
#include "dialogue/DialogueReader.h"

#include <set>

namespace dialogue_text {

namespace {

constexpr int kTabWidth = 8;
constexpr size_t kMaxChoices = 16;

const std::set<std::string> kHeaderWords = {"name", "object", "on", "entry", "phrase", "trailing"};
const std::set<std::string> kStatementWords = {"menu", "choice", "otherwise", "cycle",  "goto",
                                               "end",  "notify", "disable",   "enable", "say",
                                               "word", "nop",    "endblock"};

int Indentation(std::string_view line) {
    int column = 0;
    for (char c : line) {
        if (c == ' ')
            ++column;
        else if (c == '\t')
            column = (column / kTabWidth + 1) * kTabWidth;
        else
            break;
    }
    return column;
}

} // namespace

bool Reader::Split(std::string_view text) {
    // Editors on some systems start UTF-8 files with a byte order mark.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    int number = 0;
    while (!text.empty() || number == 0) {
        ++number;
        const size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        Line line;
        line.number = number;
        line.indent = Indentation(raw);
        std::string reason;
        if (!TokenizeLine(raw, line.tokens, reason)) return Fail(number, reason);
        while (!line.tokens.empty() && IsLabelToken(line.tokens.front())) {
            std::string label = line.tokens.front().text;
            label.pop_back();
            line.labels.push_back(std::move(label));
            line.tokens.erase(line.tokens.begin());
        }
        if (!line.tokens.empty() || !line.labels.empty()) lines_.push_back(std::move(line));
        if (end == std::string_view::npos) break;
    }
    return true;
}

bool Reader::DeclareNames() {
    for (const Line& line : lines_) {
        if (line.tokens.empty() || !IsWord(line.tokens[0], "name")) continue;
        if (line.tokens.size() != 4 || !IsWord(line.tokens[2], "="))
            return Fail(line.number, "a name line is: name NAME = ID");
        std::string name;
        int64_t id = 0;
        if (!Bytes(line, line.tokens[1], name) ||
            !Number(line, line.tokens[3], "object id", INT32_MIN, INT32_MAX, id))
            return false;
        const auto [at, added] = declared_.emplace(name, static_cast<int32_t>(id));
        if (!added && at->second != id)
            return Fail(line.number, "'" + line.tokens[1].text + "' is named twice");
    }
    return true;
}

bool Reader::ParseTop() {
    size_t i = 0;
    if (!ParseStatements(i, -1, out_.code)) return false;
    if (!pendingLabels_.empty())
        return Fail(pendingLabels_.front().line,
                    "label '" + pendingLabels_.front().name + "' has no statement after it");
    return true;
}

bool Reader::ParseStatements(size_t& i, int parentIndent, std::vector<Statement>& out) {
    while (i < lines_.size() && lines_[i].indent > parentIndent) {
        const Line& line = lines_[i];
        if (!line.tokens.empty() && !line.tokens[0].quoted &&
            kHeaderWords.count(line.tokens[0].text)) {
            if (parentIndent >= 0)
                return Fail(line.number,
                            "'" + line.tokens[0].text + "' lines stand outside menus and cycles");
            if (!ParseHeader(line)) return false;
            ++i;
            continue;
        }
        for (const std::string& label : line.labels)
            pendingLabels_.push_back({label, line.number});
        if (line.tokens.empty()) {
            ++i;
            continue;
        }
        Statement st;
        st.labels = std::move(pendingLabels_);
        pendingLabels_.clear();
        if (!ParseStatement(i, st)) return false;
        out.push_back(std::move(st));
    }
    if (parentIndent >= 0 && !pendingLabels_.empty())
        return Fail(pendingLabels_.front().line, "label '" + pendingLabels_.front().name +
                                                     "' has no statement after it in its block");
    return true;
}

bool Reader::ParseStatement(size_t& i, Statement& st) {
    const Line& line = lines_[i];
    const TextToken& first = line.tokens[0];
    st.line = line.number;
    if (first.quoted || !kStatementWords.count(first.text)) {
        st.kind = Statement::Kind::Phrase;
        ++i;
        return ParsePhrase(line, 0, line.tokens.size(), st.phrase);
    }
    if (first.text == "menu") {
        if (line.tokens.size() != 1) return Fail(line.number, "'menu' stands alone on its line");
        st.kind = Statement::Kind::Menu;
        ++i;
        return ParseMenu(i, line.indent, st);
    }
    if (first.text == "cycle") {
        st.kind = Statement::Kind::Cycle;
        int64_t at = 0;
        if (line.tokens.size() == 3 && IsWord(line.tokens[1], "at")) {
            if (!Number(line, line.tokens[2], "first block", 0, 254, at)) return false;
        } else if (line.tokens.size() != 1) {
            return Fail(line.number, "a cycle line is: cycle [at N]");
        }
        st.value = static_cast<uint32_t>(at);
        ++i;
        return ParseCycle(i, line.indent, st);
    }
    if (first.text == "choice" || first.text == "otherwise")
        return Fail(line.number, "'" + first.text + "' stands only indented below a menu");
    ++i;
    return ParseSimple(line, st);
}

bool Reader::ParseSimple(const Line& line, Statement& st) {
    using Kind = Statement::Kind;
    const std::string& word = line.tokens[0].text;
    if (word == "disable" || word == "enable") return ParseSwitch(line, st);
    const std::vector<std::pair<const char*, Kind>> bare = {
        {"end", Kind::End}, {"nop", Kind::Nop}, {"endblock", Kind::EndBlock}};
    for (const auto& [name, kind] : bare)
        if (word == name) {
            if (line.tokens.size() != 1)
                return Fail(line.number, "'" + word + "' stands alone on its line");
            st.kind = kind;
            return true;
        }
    if (line.tokens.size() != 2) return Fail(line.number, "'" + word + "' takes one operand");
    const TextToken& operand = line.tokens[1];
    int64_t value = 0;
    if (word == "goto") {
        st.kind = Kind::Goto;
        return Address(line, operand, st.target);
    }
    if (word == "notify") {
        st.kind = Kind::Notify;
        if (!Number(line, operand, "notification", 0, 0xFFFF, value)) return false;
    } else if (word == "say") {
        st.kind = Kind::Say;
        if (!Number(line, operand, "phrase number", 0, 0xFFFF, value)) return false;
    } else {
        st.kind = Kind::Word;
        if (!Number(line, operand, "code word", 0, 0xFFFFFFFF, value)) return false;
    }
    st.value = static_cast<uint32_t>(value);
    return true;
}

bool Reader::ParseSwitch(const Line& line, Statement& st) {
    st.kind = line.tokens[0].text == "enable" ? Statement::Kind::Enable : Statement::Kind::Disable;
    ChoiceRef& ref = st.choice;
    const size_t count = line.tokens.size();
    if (count == 1) {
        ref.form = ChoiceRef::Form::Self;
        return true;
    }
    if (count == 2) {
        ref.form = ChoiceRef::Form::ChoiceLabel;
        ref.choiceLabel = line.tokens[1].text;
        return true;
    }
    if (count != 3)
        return Fail(line.number, "'" + line.tokens[0].text + "' takes CHOICE or MENU CHOICE");
    ref.form = ChoiceRef::Form::MenuChoice;
    if (!Address(line, line.tokens[1], ref.menu)) return false;
    const TextToken& choice = line.tokens[2];
    const bool numeric =
        !choice.quoted && !choice.text.empty() &&
        (std::isdigit(static_cast<unsigned char>(choice.text[0])) || choice.text[0] == '-');
    if (!numeric) {
        ref.choiceLabel = choice.text;
        return true;
    }
    int64_t number = 0;
    if (!Number(line, choice, "choice number", 0, 255, number)) return false;
    ref.number = number;
    return true;
}

bool Reader::ParseMenu(size_t& i, int menuIndent, Statement& st) {
    while (i < lines_.size() && lines_[i].indent > menuIndent) {
        const Line& line = lines_[i];
        if (!line.labels.empty())
            return Fail(line.number, "a label cannot stand inside a menu; name a choice with "
                                     "'choice NAME: ...'");
        if (IsWord(line.tokens[0], "choice")) {
            Choice choice;
            if (!ParseChoice(i, choice)) return false;
            st.choices.push_back(std::move(choice));
        } else if (IsWord(line.tokens[0], "otherwise")) {
            if (line.tokens.size() != 1 || st.hasOtherwise)
                return Fail(line.number, "a menu has one 'otherwise', alone on its line");
            st.hasOtherwise = true;
            ++i;
            if (!ParseStatements(i, line.indent, st.otherwise)) return false;
        } else {
            return Fail(line.number, "a menu holds only 'choice' and 'otherwise' lines");
        }
    }
    if (st.choices.empty())
        return Fail(st.line, "a menu needs its choices on the lines indented below it");
    if (st.choices.size() > kMaxChoices)
        return Fail(st.line, "a menu holds at most 16 choices, this one has " +
                                 std::to_string(st.choices.size()));
    return true;
}

bool Reader::ParseChoice(size_t& i, Choice& choice) {
    const Line& line = lines_[i];
    choice.line = line.number;
    size_t from = 1;
    size_t to = line.tokens.size();
    if (from < to && IsLabelToken(line.tokens[from])) {
        choice.label = line.tokens[from].text;
        choice.label.pop_back();
        ++from;
    }
    for (; from < to; ++from) {
        if (IsWord(line.tokens[from], "off"))
            choice.off = true;
        else if (IsWord(line.tokens[from], "quiet"))
            choice.quiet = true;
        else
            break;
    }
    if (to >= 2 && IsWord(line.tokens[to - 2], "->")) {
        choice.jump.emplace();
        if (!Address(line, line.tokens[to - 1], *choice.jump)) return false;
        to -= 2;
    }
    if (!ParsePhrase(line, from, to, choice.phrase)) return false;
    ++i;
    if (!choice.jump) return ParseStatements(i, line.indent, choice.body);
    if (i < lines_.size() && lines_[i].indent > line.indent)
        return Fail(lines_[i].number, "a choice that goes on with '->' has no lines below it");
    return true;
}

bool Reader::ParseCycle(size_t& i, int cycleIndent, Statement& st) {
    while (i < lines_.size() && lines_[i].indent > cycleIndent) {
        const Line& line = lines_[i];
        if (!line.labels.empty()) return Fail(line.number, "a label cannot stand inside a cycle");
        CycleBlock block;
        block.line = line.number;
        const TextToken& first = line.tokens[0];
        if (!first.quoted && kStatementWords.count(first.text))
            return Fail(line.number, "each line below a cycle is a phrase said on one visit");
        if (!ParsePhrase(line, 0, line.tokens.size(), block.phrase)) return false;
        ++i;
        if (!ParseStatements(i, line.indent, block.body)) return false;
        for (const Statement& inner : block.body) {
            using Kind = Statement::Kind;
            const Kind k = inner.kind;
            if (k != Kind::Phrase && k != Kind::Say && k != Kind::Notify && k != Kind::Disable &&
                k != Kind::Enable)
                return Fail(inner.line, "a cycle's phrase holds only phrases, notify, disable "
                                        "and enable: anything else would leave the cycle");
        }
        st.blocks.push_back(std::move(block));
    }
    if (st.blocks.empty())
        return Fail(st.line, "a cycle needs its phrases on the lines indented below it");
    if (st.blocks.size() > 255) return Fail(st.line, "a cycle holds at most 255 phrases");
    if (st.value >= st.blocks.size())
        return Fail(st.line, "'at " + std::to_string(st.value) + "' names no phrase of the cycle");
    return true;
}

bool Reader::ParsePhrase(const Line& line, size_t from, size_t to, DialoguePhrase& out) {
    const size_t count = to > from ? to - from : 0;
    if (count < 2 || count > 3)
        return Fail(line.number, "a phrase is SPEAKER [SPEECH FILE] \"TEXT\"");
    const TextToken& text = line.tokens[to - 1];
    if (!text.quoted)
        return Fail(line.number, "the text of a phrase goes in quotes: SPEAKER [FILE] \"TEXT\"");
    if (text.text.find('\0') != std::string::npos)
        return Fail(line.number, "a phrase's text cannot hold a NUL byte");
    if (!Id(line, line.tokens[from], "speaker", false, out.speakerId)) return false;
    out.text = text.text;
    out.nameField.fill('\0');
    if (count == 3) {
        std::string file;
        if (!Bytes(line, line.tokens[from + 1], file)) return false;
        if (file.size() > kSpeechNameField)
            return Fail(line.number, "speech file name '" + line.tokens[from + 1].text +
                                         "' is longer than 15 characters");
        std::copy(file.begin(), file.end(), out.nameField.begin());
    }
    return true;
}

bool ReadSource(std::string_view text, const ScriptNames& names, Source& out, std::string& error) {
    out = Source{};
    return Reader(names, out).Run(text, error);
}

} // namespace dialogue_text
