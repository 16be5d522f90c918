#pragma once
// The reader of the conversation language, shared by its two files: statements
// (DialogueTextReader.cpp) and header lines with the tokens they take (DialogueHeaderLines.cpp).
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/TextTokens.h"
#include "dialogue/DialogueSyntax.h"

class ScriptNames;

namespace dialogue_text {

struct Line {
    int number = 0;
    int indent = 0;
    std::vector<std::string> labels;
    std::vector<TextToken> tokens;
};

inline bool IsWord(const TextToken& token, const char* word) {
    return !token.quoted && token.text == word;
}

inline bool IsLabelToken(const TextToken& token) {
    return !token.quoted && token.text.size() > 1 && token.text.back() == ':';
}

class Reader {
public:
    Reader(const ScriptNames& names, Source& out) : names_(names), out_(out) {}

    bool Run(std::string_view text, std::string& error) {
        const bool ok = Split(text) && DeclareNames() && ParseTop();
        if (!ok) error = error_;
        return ok;
    }

private:
    bool Fail(int line, const std::string& reason) {
        error_ = std::to_string(line) + ": " + reason;
        return false;
    }

    bool Split(std::string_view text);
    bool DeclareNames();
    bool ParseTop();
    bool ParseHeader(const Line& line);
    bool ParseObject(const Line& line);
    bool ParseHandler(const Line& line);
    bool ParseEntry(const Line& line);
    bool ParsePhraseRecord(const Line& line);
    bool ParseTrailing(const Line& line);
    bool ParseOptions(const Line& line, size_t from, uint32_t& ignored, int32_t* defaultEntry);
    bool ParseStatements(size_t& i, int parentIndent, std::vector<Statement>& out);
    bool ParseStatement(size_t& i, Statement& st);
    bool ParseSimple(const Line& line, Statement& st);
    bool ParseSwitch(const Line& line, Statement& st);
    bool ParseMenu(size_t& i, int menuIndent, Statement& st);
    bool ParseChoice(size_t& i, Choice& choice);
    bool ParseCycle(size_t& i, int cycleIndent, Statement& st);
    bool ParsePhrase(const Line& line, size_t from, size_t to, DialoguePhrase& out);
    bool Id(const Line& line, const TextToken& token, const char* what, bool allowAny,
            int32_t& out);
    bool Number(const Line& line, const TextToken& token, const char* what, int64_t min,
                int64_t max, int64_t& out);
    bool Address(const Line& line, const TextToken& token, AddressRef& out);
    bool Bytes(const Line& line, const TextToken& token, std::string& out);

    const ScriptNames& names_;
    std::map<std::string, int32_t> declared_; // the text's own names, before the script's
    Source& out_;
    std::vector<Line> lines_;
    std::vector<Label> pendingLabels_;
    std::string error_;
};

} // namespace dialogue_text
