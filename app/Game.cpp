#include "app/Game.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/MainWnd.h"
#include "app/Options.h"
#include "core/Application.h"
#include "core/QSystem.h"
#include "dialogue/BigDialogue.h"
#include "graphics/Fonts.h"
#include "graphics/QDebug.h"
#include "platform/Clock.h"
#include "platform/Display.h"
#include "platform/MessageBox.h"
#include "platform/PlayerFiles.h"
#include "platform/Profile.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "resources/FileAccess.h"
#include "resources/QManager.h"
#include "sound/DSengine.h"
#include "sound/WaveWriter.h"

namespace {

// What start-up creates for the whole run (the fonts live to the end of the process).
struct Session {
    std::unique_ptr<platform::Font> fontLarge;
    std::unique_ptr<platform::Font> fontSmall;
    std::unique_ptr<platform::Profile> profile;
    std::unique_ptr<platform::Display> display;
    std::unique_ptr<platform::VirtualClock> virtualClock;
    std::string saveFolder; // "" for the game folder
    // --audio-out: everything mixed goes to this file instead of the audio device.
    std::unique_ptr<sound::WaveRecorder> recorder;
    bool headless = false;
    bool restartFailed = false;
};

Session* g_session = nullptr;

int Elapsed() {
    return static_cast<int>(platform::NowMs() - g_clockMark);
}

bool CreateFonts(Session& s, std::string& error) {
    s.fontLarge = platform::Font::Create("Arial", 20, platform::kFwBold, error);
    if (s.fontLarge) s.fontSmall = platform::Font::Create("Arial", 16, platform::kFwBold, error);
    g_fontLarge = s.fontLarge.get();
    g_fontSmall = s.fontSmall.get();
    return s.fontSmall != nullptr;
}

bool OpenDisplay(Session& s, const Options& o, std::string& error) {
    platform::DisplayOptions d;
    d.headless = o.headless;
    if (o.fullscreen)
        d.fullscreen = true;
    else if (o.windowed)
        d.fullscreen = false;
    d.integerScaling = o.integerScaling;
    d.vsync = o.vsync;
    if (!o.headless) {
        s.profile = std::make_unique<platform::Profile>(platform::Profile::DefaultPath());
        d.profile = s.profile.get();
        g_profile = s.profile.get();
    }
    s.display = platform::Display::Create(d, error);
    if (!s.display) return false;
    if (!o.replayFile.empty()) {
        auto replay = platform::LoadReplay(o.replayFile, error);
        if (!replay) return false;
        s.display->SetInput(std::move(replay));
    }
    if (!o.recordFile.empty()) {
        auto recorder = platform::RecordTo(s.display->TakeInput(), o.recordFile, error);
        if (!recorder) return false;
        s.display->SetInput(std::move(recorder));
    }
    return true;
}

int FrameRate() {
    const int frames = g_frameCount - 10;
    const int elapsed = Elapsed();
    // Fewer than ten frames or no time: no meaningful rate.
    if (frames <= 0 || elapsed <= 0) return 0;
    return static_cast<int>(static_cast<int64_t>(frames) * 1000 / elapsed);
}

// The archives, then whether the folder holds a game at all: an archive that is there but
// cannot be read is called damaged, and a folder without the script is named, so that the
// player learns more than that "script.dat" is missing.
bool OpenArchives(std::string& error) {
    std::error_code ec;
    const std::string folder = std::filesystem::current_path(ec).string();
    for (const char* name : {"patch.str", "main.str"}) {
        if (OpenArchive(name) >= 0) continue;
        const RawHandle file = RawOpen(name, kRawRead);
        if (file == 0) continue; // not there: a game needs no patch, and may lie loose
        RawClose(file);
        error = std::string(name) + " in " + folder + " is damaged: it is not a complete archive";
        return false;
    }
    const int32_t script = FileOpen("script.dat");
    if (script == -1) {
        error = "no game in " + folder + ": script.dat is neither there nor in main.str";
        return false;
    }
    FileClose(script);
    return true;
}

void SaveScreenshot(const Options& o, const std::string& name) {
    const std::string path = (std::filesystem::path(o.screenshotDir) / name).string();
    if (g_mainWindow->Display().SaveScreenshot(path)) {
        std::printf("tarvo: screenshot %s\n", path.c_str());
        return;
    }
    platform::Trace("Screenshot %s could not be written\n", path.c_str());
    std::fprintf(stderr, "tarvo: the screenshot %s could not be written\n", path.c_str());
}

// One pass: the world's queue, at most one window message, a frame while in the foreground.
// Returns false when the quit message has come.
bool RunPass(Session& s, const Options& o, uint64_t pass, int64_t& framesRendered) {
    // A headless pass takes exactly the virtual step, counted from its start.
    if (s.virtualClock) s.virtualClock->Advance();
    if (g_system != nullptr) g_system->DispatchQueue();
    platform::MessageSource& messages = s.display->Messages();
    messages.BeginPass(pass);
    if (QuitRequested()) return false;
    platform::WindowMessage m;
    if (messages.PeekMessage(m)) {
        if (m.type == platform::WindowMessageType::Screenshot)
            SaveScreenshot(o, m.text);
        else
            g_mainWindow->HandleMessage(m);
        if (QuitRequested() || s.restartFailed) return false;
    }
    if (g_appActive) {
        g_mainWindow->Video().RenderFrame();
        ++g_frameCount;
        ++framesRendered;
    } else if (!s.virtualClock) {
        // In the background nothing is drawn: wait for the next event instead of spinning.
        messages.WaitMessage(10);
    }
    // Without an audio device the sound of the pass is mixed now, on the game's clock.
    if (g_sound != nullptr) g_sound->AdvanceTo(platform::NowMs());
    if (g_frameCount == 10) g_clockMark = platform::NowMs();
    if (o.frames >= 0 && framesRendered >= o.frames) return false;
    // A finished replay without --frames ends a headless run.
    if (s.virtualClock && o.frames < 0 && messages.Finished()) return false;
    return true;
}

void Shutdown() {
    if (g_mainWindow != nullptr) g_mainWindow->Display().ShowPointer(true);
    g_frameCount = FrameRate();
    DestroySubsystems();
    delete g_mainWindow;
    CloseArchives();
    platform::Trace("FPS is %d\n", g_frameCount);
}

} // namespace

namespace {

// Where the sound goes: the audio device in a live run; otherwise mixed on the clock, and
// into the --audio-out file when one was asked for.
SoundOutput SoundOutputFor(const Session* s) {
    SoundOutput output;
    if (s == nullptr) return output;
    output.device = !s->headless && !s->recorder;
    if (s->recorder) {
        sound::WaveRecorder* recorder = s->recorder.get();
        output.record = [recorder](std::span<const int16_t> block) { recorder->Append(block); };
    }
    return output;
}

} // namespace

bool CreateSubsystems(std::string& error) {
    g_clockMark = platform::NowMs();
    g_dialogue = new BigDialogue;
    g_sound = new DSengine;
    // The volumes are the options panel's, which the world applies as it loads.
    g_sound->Init(SoundOutputFor(g_session));
    g_manager = new QManager;
    g_debug = new QDebug;
    g_system = new QSystem;
    if (g_session != nullptr) g_system->saveFolder = g_session->saveFolder;
    platform::Trace("Load phase 1: %d\n", Elapsed());
    g_clockMark = platform::NowMs();
    if (!g_system->Load(error)) return false;
    platform::Trace("Load phase 9: %d\n", Elapsed());
    g_frameCount = 0;
    g_clockMark = platform::NowMs();
    return true;
}

void DestroySubsystems() {
    delete g_system;
    g_system = nullptr;
    delete g_debug;
    g_debug = nullptr;
    delete g_manager;
    g_manager = nullptr;
    delete g_sound;
    g_sound = nullptr;
    delete g_dialogue;
    g_dialogue = nullptr;
    g_afterDialogue.reset();
}

void RestartGame() {
    DestroySubsystems();
    std::string error;
    if (!CreateSubsystems(error)) {
        platform::ShowMessageBox(error);
        if (g_session != nullptr) g_session->restartFailed = true;
        return;
    }
    if (g_mainWindow != nullptr) g_mainWindow->Video().InvalidateAll();
}

int RunGame(const Options& o, std::string& error) {
    Session s;
    g_session = &s;
    s.headless = o.headless;
    if (!o.audioOutFile.empty()) {
        s.recorder = sound::WaveRecorder::Create(o.audioOutFile, error);
        if (!s.recorder) {
            g_session = nullptr;
            return 1;
        }
    }
    if (o.headless) {
        s.virtualClock = std::make_unique<platform::VirtualClock>(o.frameMs);
        platform::SetClock(s.virtualClock.get());
    }
    platform::SetMessageBoxMode(o.headless ? platform::MessageBoxMode::Headless
                                           : platform::MessageBoxMode::Window);
    ClearQuitRequest();
    g_appActive = 1;
    std::error_code ec;
    s.saveFolder = !o.saveDir.empty()
                       ? o.saveDir
                       : platform::DefaultSaveFolder(std::filesystem::current_path(ec).string());
    g_clockMark = platform::NowMs();
    bool started = CreateFonts(s, error);
    if (started) {
        ResetFileTable();
        started = OpenArchives(error) && OpenDisplay(s, o, error);
    }
    if (started) {
        new CMainWindow(*s.display); // g_mainWindow owns itself until shutdown
        started = g_mainWindow->Valid();
        if (!started) error = "the video system could not be initialised";
    }
    if (started) {
        s.display->ShowPointer(false);
        started = CreateSubsystems(error);
    }
    if (!started) {
        ShowStartFailure(o, error); // while the window, if there is one, still stands
        Shutdown();
        g_session = nullptr;
        g_profile = nullptr;
        platform::SetClock(nullptr);
        return 1;
    }
    int64_t framesRendered = 0;
    for (uint64_t pass = 0; RunPass(s, o, pass, framesRendered); ++pass) {
    }
    Shutdown();
    if (o.headless)
        std::printf("tarvo: played %lld frames headless\n", static_cast<long long>(framesRendered));
    bool ok = !s.restartFailed;
    if (!ok) error = "the restart failed";
    if (ok && s.recorder && !s.recorder->Close()) {
        ok = false;
        error = "the sound could not be written to " + o.audioOutFile;
    }
    g_session = nullptr;
    g_profile = nullptr;
    platform::SetClock(nullptr);
    return ok ? 0 : 1;
}

void ShowStartFailure(const Options& o, const std::string& reason) {
    if (!o.headless) platform::ShowMessageBoxInWindow("The game could not start.\n\n" + reason);
}
