// Conversations: compiling a generated text of `range` menus (four choices each, every body
// saying two lines and one switching its choice off), writing it back as text (which builds
// it once more to check itself), and playing it through the interpreter the way the
// dialogue interface does. items/s counts menus for the text, stops for the play.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "core/ScriptNames.h"
#include "dialogue/DialogueMachine.h"
#include "dialogue/DialogueText.h"

namespace {

std::string Conversation(int menus) {
    std::ostringstream text;
    text << "object 7\n  on TALK\n    entry m0\n";
    for (int m = 0; m < menus; ++m) {
        text << "m" << m << ":\n  menu\n";
        for (int c = 0; c < 4; ++c) {
            text << "    choice 0 t" << m << "." << c << ".wav \"Question " << m << "." << c
                 << "\"\n      7 c" << m << "." << c << ".wav \"Answer\"\n      1 \"And then\"\n";
            if (c == 0)
                text << "      disable\n      goto m" << m << "\n";
            else if (m + 1 < menus)
                text << "      goto m" << m + 1 << "\n";
            else
                text << "      goto done\n";
        }
    }
    text << "done:\n  end\n";
    return text.str();
}

DialogueFiles Compiled(int menus) {
    DialogueFiles files;
    std::string error;
    DialogueFromText(Conversation(menus), ScriptNames(nullptr), files, error);
    return files;
}

void BM_CompileText(benchmark::State& state) {
    const std::string text = Conversation(static_cast<int>(state.range(0)));
    const ScriptNames names(nullptr);
    for (auto _ : state) {
        DialogueFiles files;
        std::string error;
        benchmark::DoNotOptimize(DialogueFromText(text, names, files, error));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CompileText)->Arg(10)->Arg(200);

void BM_WriteSource(benchmark::State& state) {
    const DialogueFiles files = Compiled(static_cast<int>(state.range(0)));
    const ScriptNames names(nullptr);
    for (auto _ : state)
        benchmark::DoNotOptimize(DialogueToText(files, names));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WriteSource)->Arg(10)->Arg(200);

void BM_PlayConversation(benchmark::State& state) {
    const DialogueFiles files = Compiled(static_cast<int>(state.range(0)));
    int64_t stops = 0;
    for (auto _ : state) {
        DialogueMachine machine(files.tables);
        machine.SetPhrases(files.phrases.phrases);
        machine.Start(7, 10, -1);
        for (DialogueStop stop = machine.Classify(); stop != DialogueStop::End;
             stop = machine.Classify(), ++stops) {
            if (stop == DialogueStop::Menu)
                for (int i = 0; i < machine.CountChoices(); ++i)
                    benchmark::DoNotOptimize(machine.GetPhrase(i));
            else
                benchmark::DoNotOptimize(machine.GetPhrase(-1));
            machine.Run(0); // the first choice switches itself off and asks again
        }
    }
    state.SetItemsProcessed(stops);
}
BENCHMARK(BM_PlayConversation)->Arg(10)->Arg(200);

} // namespace
