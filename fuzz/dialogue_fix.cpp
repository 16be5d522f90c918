// "dialogue.fix" as the interpreter loads it, then played: every conversation the tables name
// is started and driven the way the dialogue interface drives it, taking choices in turn.
// An accepted file is written back byte for byte, its source form compiles back to it, and
// the code saved with a game loads back into the machine.
#include "dialogue/DialogueFormat.h"
#include "dialogue/DialogueMachine.h"
#include "fuzz/DialogueSamples.h"
#include "fuzz/FuzzTarget.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

#include "dialogue/DialogueCode.h"

namespace {

constexpr size_t kMaxConversations = 16;

} // namespace

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    using namespace dialogue_test;
    const std::vector<uint32_t> menus = {
        Phrase(0), Menu(3, 0b111), Phrase(1), EndBlock(),    Phrase(2),  EndBlock(),
        Phrase(3), EndBlock(),     Goto(0),   Disable(1, 1), End(),      Cycle(2),
        Phrase(4), EndBlock(),     Phrase(5), Notify(3),     EndBlock(), Goto(99)};
    return {{"sample.fix", WriteDialogueTables(SampleConversation().tables)},
            {"menus.fix", WriteDialogueTables(OneDialogue(menus, {0, 11}))}};
}

TARVO_FUZZ_TARGET(data, size) {
    const std::span<const uint8_t> bytes = fuzz::Input(data, size);
    DialogueTables tables;
    std::string error;
    if (!ParseDialogueTables(bytes, tables, error)) return 0;
    fuzz::RequireSameBytes(WriteDialogueTables(tables), bytes,
                           "WriteDialogueTables gives back the bytes read");
    const ScriptNames names(nullptr);
    const DialogueFiles files{tables, {}};
    DialogueFiles again;
    fuzz::Require(DialogueFromText(DialogueToText(files, names), names, again, error),
                  "the source form compiles");
    fuzz::Require(again == files, "the source form compiles back to the same tables");

    DialogueMachine machine(tables);
    machine.SetPhrases(dialogue_test::Phrases(8));
    size_t started = 0;
    for (const DialogueObject& object : tables.objects)
        for (const DialogueHandler& handler : object.handlers) {
            if (started++ == kMaxConversations) break;
            if (!machine.Start(static_cast<uint16_t>(object.id),
                               static_cast<uint32_t>(handler.type), -1))
                continue;
            fuzz::PlayConversation(machine, static_cast<int>(started));
        }
    platform::ByteWriter saved;
    machine.SaveState(&saved);
    platform::ByteReader reader(saved.Data());
    fuzz::Require(machine.LoadState(&reader) == DialogueStateLoad::Loaded,
                  "the saved code loads back");
    return 0;
}
