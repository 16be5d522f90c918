// Saved games and cut-scene skipping: the format both ways for a world of 300 objects, the
// crash-safe replacement of a save file (flushed to the disk, as every room entry does for
// the autosave), and the worst case of Escape in a cut-scene: a scene that never ends, run for
// all of its skip steps.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "core/QSystem.h"
#include "core/SaveFormat.h"
#include "core/ScriptFormat.h"
#include "dialogue/BigDialogue.h"
#include "graphics/QFlic.h"
#include "graphics/QVideoSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QInterfaceSequence.h"
#include "platform/Clock.h"
#include "platform/Display.h"
#include "platform/PlayerFiles.h"
#include "resources/QManager.h"
#include "sound/DSengine.h"

namespace {

constexpr int kObjects = 300;

SavedGame Game() {
    SavedGame g;
    for (int i = 0; i < kObjects; ++i) {
        std::string name = "Object";
        name += std::to_string(i);
        g.objects.push_back(SavedObject{name, "A thing", 0, 1, 400 + i, 5, i, i, 1, 1, 1});
    }
    g.inventory.assign(20, 12);
    g.roomName = "Harbour";
    g.dialogueState.assign(4 + 4 * 2000, 1); // 2000 code words
    g.dialogueState[0] = 0xD0;
    g.dialogueState[1] = 0x07;
    g.dialogueState[2] = g.dialogueState[3] = 0;
    return g;
}

void BM_WriteSave(benchmark::State& state) {
    const SavedGame g = Game();
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteSavedGame(g));
}

void BM_ParseSave(benchmark::State& state) {
    const std::vector<uint8_t> bytes = WriteSavedGame(Game());
    for (auto _ : state) {
        SavedGame g;
        std::string error;
        benchmark::DoNotOptimize(ParseSavedGame(bytes, g, error));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

// In the build folder rather than /tmp, which may be a memory file system that never flushes.
void BM_ReplaceSaveFile(benchmark::State& state) {
    const std::vector<uint8_t> bytes = WriteSavedGame(Game());
    const std::string path = "bench-save.dat";
    std::string error;
    for (auto _ : state)
        if (!platform::ReplaceFile(path, bytes, error)) state.SkipWithError(error.c_str());
    std::filesystem::remove(path);
}

// A world whose scene room holds ten animated objects and no end.
struct SceneWorld {
    SceneWorld() : clock(20) {
        platform::SetClock(&clock);
        platform::DisplayOptions options;
        options.headless = true;
        std::string error;
        display = platform::Display::Create(options, error);
        video.Init(display.get());
        g_video = &video;
        g_dialogue = new BigDialogue;
        g_sound = new DSengine;
        g_sound->Init(SoundOutput{});
        g_manager = new QManager;
        g_system = new QSystem;
        for (int32_t id = 5002; id <= 5007; ++id) { // the cursor's pictures
            std::vector<platform::Surface> frame;
            frame.emplace_back(8, 8);
            g_manager->Adopt(id, QFlic::FromFrames(std::move(frame), 100, 0, {}, {}));
        }
        ScriptData script;
        script.objectCount = 12;
        script.roomCount = 1;
        for (uint16_t id = 0; id < 13; ++id) {
            std::string name = "O";
            name += std::to_string(id);
            script.objects.push_back(ScriptObject{id, name, 0, {}});
        }
        g_system->Build(script);
        g_system->Start();
        BgRoom record{12, 10, {}};
        for (uint16_t id = 2; id < 12; ++id) {
            g_system->FindById(id)->resourceId = 100 + id;
            record.placements.push_back(BgPlacement{id, 30 * id, 100, 5, 0, 0});
        }
        g_system->mainInterface->rooms.rooms.push_back(record);
    }
    // The scene's animations; the end of a scene frees them.
    static void Animations() {
        for (int32_t id = 102; id < 112; ++id) {
            std::vector<platform::Surface> frames;
            for (int f = 0; f < 8; ++f)
                frames.emplace_back(32, 32);
            g_manager->Adopt(id, QFlic::FromFrames(std::move(frames), 50, 0, {}, {}));
        }
    }
    ~SceneWorld() {
        delete g_system;
        g_system = nullptr;
        delete g_manager;
        g_manager = nullptr;
        delete g_sound;
        g_sound = nullptr;
        delete g_dialogue;
        g_dialogue = nullptr;
        g_video = nullptr;
        platform::SetClock(nullptr);
    }

    platform::VirtualClock clock;
    std::unique_ptr<platform::Display> display;
    QVideoSystem video;
};

void BM_SkipANeverEndingScene(benchmark::State& state) {
    SceneWorld world;
    for (auto _ : state) {
        state.PauseTiming();
        SceneWorld::Animations();
        state.ResumeTiming();
        g_system->sequenceInterface->BeginSequence(12);
        g_system->sequenceInterface->Skip();
    }
    state.counters["steps"] = QInterfaceSequence::kSkipSteps;
}

} // namespace

BENCHMARK(BM_WriteSave);
BENCHMARK(BM_ParseSave);
BENCHMARK(BM_ReplaceSaveFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SkipANeverEndingScene)->Unit(benchmark::kMillisecond);
