// Saved games as a restore reads them, before anything is applied: the parse, which must take
// a file whole or refuse it whole; the writer, which gives back every accepted file byte for
// byte; and the dialogue block, which the interpreter of the sample conversation takes when
// its size fits, after which every conversation is started and driven on the saved code.
#include "core/SaveFormat.h"
#include "dialogue/DialogueMachine.h"
#include "fuzz/DialogueSamples.h"
#include "fuzz/FuzzTarget.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

#include "dialogue/DialogueCode.h"

namespace {

DialogueMachine SampleMachine() {
    DialogueMachine machine(fuzz::SampleConversation().tables);
    machine.SetPhrases(dialogue_test::Phrases(8));
    return machine;
}

std::vector<uint8_t> SampleDialogueState() {
    platform::ByteWriter out;
    SampleMachine().SaveState(&out);
    return out.Take();
}

void RestoreDialogue(const std::vector<uint8_t>& block) {
    DialogueMachine machine = SampleMachine();
    platform::ByteReader in(block);
    if (machine.LoadState(&in) != DialogueStateLoad::Loaded) return;
    int started = 0;
    for (const DialogueObject& object : machine.Tables().objects)
        for (const DialogueHandler& handler : object.handlers)
            if (machine.Start(static_cast<uint16_t>(object.id), static_cast<uint32_t>(handler.type),
                              -1))
                fuzz::PlayConversation(machine, ++started);
}

} // namespace

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    SavedGame g;
    g.objects.push_back(SavedObject{"Tarvo", "", 0, 1, 100, 200, 10, 20, 1, 1, 1});
    g.objects.push_back(SavedObject{"Lamp", "Old lamp", 0, 7, 4001, 300, -5, 60, 0, 0, 1});
    g.inventory = {12, 40, 12};
    g.roomName = "Hall";
    g.tarvoFoot = {321, 444};
    g.varnagelFoot = {-3, 442};
    g.dialogueState = SampleDialogueState();
    g.cursorResource = 4001;
    g.cursorMode = 6;
    g.heldId = 10;
    SavedGame empty;
    empty.dialogueState = {0, 0, 0, 0};
    return {{"sample.dat", WriteSavedGame(g)}, {"empty.dat", WriteSavedGame(empty)}};
}

TARVO_FUZZ_TARGET(data, size) {
    const std::span<const uint8_t> bytes = fuzz::Input(data, size);
    SavedGame game;
    game.roomName = "untouched";
    const SavedGame before = game;
    std::string error;
    if (!ParseSavedGame(bytes, game, error)) {
        fuzz::Require(!error.empty(), "a refused save has a reason");
        fuzz::Require(game == before, "a refused save changes nothing");
        return 0;
    }
    const std::vector<uint8_t> written = WriteSavedGame(game);
    fuzz::RequireSameBytes(written, bytes, "WriteSavedGame gives back the bytes read");
    SavedGame again;
    fuzz::Require(ParseSavedGame(written, again, error) && again == game,
                  "a written save reads back the same");
    fuzz::Require(!DescribeSavedGame(game).empty(), "a save has a listing");
    RestoreDialogue(game.dialogueState);
    return 0;
}
