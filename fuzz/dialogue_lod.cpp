// "dialogue.lod", the spoken lines: an accepted file is written back byte for byte and its
// source form compiles back to the same phrases.
#include "dialogue/DialogueFormat.h"
#include "fuzz/DialogueSamples.h"
#include "fuzz/FuzzTarget.h"

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    DialoguePhrases odd;
    odd.phrases.resize(2);
    odd.phrases[0].speakerId = -1;
    odd.phrases[0].nameField = {'a', '.', 'w', 'a', 'v', 0, 'x'};
    odd.phrases[0].text = "\xC4\xE0 \"quoted\"\n";
    odd.phrases[1].ignored = 0xDEADBEEF;
    odd.trailing = {1, 2, 3};
    return {{"sample.lod", WriteDialoguePhrases(SampleConversation().phrases)},
            {"odd.lod", WriteDialoguePhrases(odd)}};
}

TARVO_FUZZ_TARGET(data, size) {
    const std::span<const uint8_t> bytes = fuzz::Input(data, size);
    DialoguePhrases phrases;
    std::string error;
    if (!ParseDialoguePhrases(bytes, phrases, error)) return 0;
    fuzz::RequireSameBytes(WriteDialoguePhrases(phrases), bytes,
                           "WriteDialoguePhrases gives back the bytes read");
    const ScriptNames names(nullptr);
    const DialogueFiles files{{}, phrases};
    DialogueFiles again;
    fuzz::Require(DialogueFromText(DialogueToText(files, names), names, again, error),
                  "the source form compiles");
    fuzz::Require(again == files, "the source form compiles back to the same phrases");
    return 0;
}
