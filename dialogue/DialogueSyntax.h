#pragma once
// The conversation language read into a tree (DialogueTextReader.cpp), before it is laid out
// into code words (DialogueCompiler.cpp). The language is described in DialogueText.h.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogue/DialogueFormat.h"

namespace dialogue_text {

// A label or an @N address, where the text refers to a word.
struct AddressRef {
    int line = 0;
    std::string label;   // empty for an @N address
    int64_t address = 0; // for @N
};

// What `disable` and `enable` name.
struct ChoiceRef {
    enum class Form { Self, ChoiceLabel, MenuChoice };
    Form form = Form::Self;
    AddressRef menu;               // MenuChoice
    std::string choiceLabel;       // ChoiceLabel, or MenuChoice by label
    std::optional<int64_t> number; // MenuChoice by number
};

struct Statement;

struct Label {
    std::string name;
    int line = 0;
};

struct Choice {
    int line = 0;
    std::string label;
    bool off = false;
    bool quiet = false;
    DialoguePhrase phrase;
    std::optional<AddressRef> jump; // `-> LABEL`; otherwise the body runs
    std::vector<Statement> body;
};

struct CycleBlock {
    int line = 0;
    DialoguePhrase phrase;
    std::vector<Statement> body;
};

struct Statement {
    enum class Kind {
        Phrase, // phrase
        Say,    // value: phrase number
        Word,   // value: the code word
        Goto,   // target
        End,
        Nop,
        EndBlock,
        Notify,  // value: argument
        Disable, // choice
        Enable,  // choice
        Menu,    // choices, otherwise
        Cycle,   // blocks, value: the block said first
    };
    Kind kind = Kind::Nop;
    int line = 0;
    std::vector<Label> labels; // labels standing before it
    DialoguePhrase phrase;
    uint32_t value = 0;
    AddressRef target;
    ChoiceRef choice;
    std::vector<Choice> choices;
    bool hasOtherwise = false;
    std::vector<Statement> otherwise;
    std::vector<CycleBlock> blocks;
};

struct EntryLine {
    AddressRef start;
    std::vector<int32_t> list;
    uint32_t ignored = 0;
};

struct HandlerLine {
    int32_t type = 0;
    int32_t defaultEntry = 0;
    uint32_t ignored = 0;
    std::vector<EntryLine> entries;
};

struct ObjectLine {
    int32_t id = 0;
    uint32_t ignored = 0;
    std::vector<HandlerLine> handlers;
};

struct Source {
    std::vector<ObjectLine> objects;
    bool explicitPhrases = false;        // `phrase N` lines give the table
    std::vector<DialoguePhrase> phrases; // those lines' records
    std::vector<Statement> code;
    std::vector<std::string> finalLabels; // labels after the last statement
    int finalLabelLine = 0;
    std::vector<uint8_t> fixTrailing;
    std::vector<uint8_t> lodTrailing;
};

} // namespace dialogue_text

class ScriptNames;
struct DialogueFiles;

namespace dialogue_text {

// Reads the text into the tree; names resolve speakers and objects (the text's own `name`
// lines come first). On failure false with "LINE: reason".
bool ReadSource(std::string_view text, const ScriptNames& names, Source& out, std::string& error);
// Lays the tree out into the two files. On failure false with "LINE: reason".
bool LayOut(const Source& source, DialogueFiles& out, std::string& error);

} // namespace dialogue_text
