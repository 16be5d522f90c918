// Conversations on screen: the work of one line, from the step that ends the last one to the
// next line written (its text rendered in the large font and outlined) and, with speech,
// its recording loaded from a loose file (1.5 s at 22,050 Hz, held in memory) and started.
// This is what a click or the speech's end costs within one frame. items/s counts lines.
#include <benchmark/benchmark.h>

#include "graphics/Fonts.h"
#include "interfaces/QInterfaceMain.h"
#include "platform/Text.h"
#include "support/Waves.h"
#include "support/World.h"

namespace {

constexpr uint16_t kTeller = 7;

// The teller says two lines, over and over.
void TellerDialogue(bool speech) {
    DialogueHandler talk;
    talk.type = TALK;
    talk.entries.push_back(DialogueEntry{0, {}, 0});
    DialogueTables tables;
    tables.objects.push_back(DialogueObject{kTeller, 0, {talk}});
    tables.code = {0x07000000, 0x07000001, 0x03000000}; // phrase 0, phrase 1, goto 0
    std::vector<DialoguePhrase> lines(2);
    for (DialoguePhrase& line : lines) {
        line.speakerId = kTeller;
        line.text = "The tide turns at midnight, and the fog comes in with it, mark my words.";
        if (speech) line.SetSoundName("tale.wav");
    }
    delete g_dialogue;
    g_dialogue = new BigDialogue(std::move(tables), std::move(lines));
}

void BM_NextLine(benchmark::State& state) {
    const bool speech = state.range(0) != 0;
    testing_support::TempDir dir(true);
    const auto wave = testing_support::WaveBytes(sound::PcmFormat{1, 16, 22050},
                                                 testing_support::PatternSamples(33075));
    dir.Write("speech/tale.wav", std::string(wave.begin(), wave.end()));
    std::string error;
    auto font = platform::Font::Create("Arial", 20, platform::kFwBold, error);
    g_fontLarge = font.get();
    {
        testing_support::TestWorld world;
        testing_support::ScriptBuilder script;
        script.Object(kTeller, "Teller");
        world.Load(script);
        TellerDialogue(speech);
        g_dialogue->Start(kTeller, TALK, -1);
        QDialogInterface& ui = g_system->mainInterface->dialogue;
        ui.StartDialogue(0, &world.Obj(kTeller));
        for (auto _ : state) {
            ui.SkipPhrase();
            g_system->queue.clear(); // the SAY of the first line only
        }
        state.SetItemsProcessed(state.iterations());
    }
    g_fontLarge = nullptr;
}

} // namespace

BENCHMARK(BM_NextLine)->Arg(0)->Arg(1)->ArgName("speech");
