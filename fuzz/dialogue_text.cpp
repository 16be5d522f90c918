// Conversations in the language authors write, as `tarvo-tool dialogue build` compiles them
// with the demo's script for the names: accepted source becomes files that the interpreter
// loads back as they were written, and the source form of those compiles to them again.
#include "core/ScriptNames.h"
#include "dialogue/DialogueFormat.h"
#include "dialogue/DialogueText.h"
#include "fuzz/DialogueSamples.h"
#include "fuzz/TextSamples.h"

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    const ScriptNames names(nullptr);
    return {{"sample.txt", Bytes(DialogueToText(SampleConversation(), names))}};
}

TARVO_FUZZ_TARGET(data, size) {
    const ScriptNames names(&fuzz::DemoScript());
    DialogueFiles files;
    std::string error;
    if (!DialogueFromText(fuzz::Text(data, size), names, files, error)) {
        fuzz::Require(!error.empty(), "a refused text has a reason");
        return 0;
    }
    DialogueTables tables;
    fuzz::Require(ParseDialogueTables(WriteDialogueTables(files.tables), tables, error) &&
                      tables == files.tables,
                  "the built tables load as they were written");
    DialoguePhrases phrases;
    fuzz::Require(ParseDialoguePhrases(WriteDialoguePhrases(files.phrases), phrases, error) &&
                      phrases == files.phrases,
                  "the built phrases load as they were written");
    DialogueFiles again;
    fuzz::Require(DialogueFromText(DialogueToText(files, names), names, again, error) &&
                      again == files,
                  "the source form compiles back to the same files");
    return 0;
}
