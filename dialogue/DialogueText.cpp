#include "dialogue/DialogueText.h"

#include "dialogue/DialogueSyntax.h"

bool DialogueFromText(std::string_view text, const ScriptNames& names, DialogueFiles& out,
                      std::string& error) {
    dialogue_text::Source source;
    return dialogue_text::ReadSource(text, names, source, error) &&
           dialogue_text::LayOut(source, out, error);
}
