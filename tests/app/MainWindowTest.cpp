// The main window with a headless display over a small world: input in room coordinates,
// activation and pause, the key commands, restart.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/Game.h"
#include "app/MainWnd.h"
#include "core/QObjectCursor.h"
#include "core/ScriptFormat.h"
#include "dialogue/BigDialogue.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QInterfaceSequence.h"
#include "interfaces/QObjectCase.h"
#include "interfaces/QObjectStar.h"
#include "platform/Clock.h"
#include "platform/Display.h"
#include "platform/VirtualKeys.h"
#include "screens/QInterfaceMap.h"
#include "support/TempDir.h"
#include "support/Waves.h"
#include "support/World.h"
#include "text/QText.h"

using platform::WindowMessage;
using platform::WindowMessageType;
using testing_support::ScriptBuilder;
using testing_support::TempDir;
using namespace testing_support;
namespace vk = platform::vk;

namespace {

WindowMessage Message(WindowMessageType type, int x = 0, int y = 0, int key = 0, int active = 0) {
    WindowMessage m;
    m.type = type;
    m.x = x;
    m.y = y;
    m.key = key;
    m.active = active;
    return m;
}

platform::DisplayOptions Headless() {
    platform::DisplayOptions options;
    options.headless = true;
    return options;
}

class RecordingInterface : public QInterface {
public:
    void OnMouseMove(int x, int y) override { moves.push_back({x, y}); }
    void OnLeftClick(int x, int y) override { clicks.push_back({x, y}); }
    std::vector<platform::Point> moves, clicks;
};

void WriteGame(const TempDir& dir) {
    ScriptBuilder s;
    s.Object(10, "Lamp");
    s.Room(100, "Hall");
    s.Room(101, "Dream");
    for (uint16_t id : {0, 1, 10, 100})
        ScriptBuilder::Send(s.On(id, TOTALINIT), id, STATUS, 7);
    const std::vector<uint8_t> bytes = WriteScript(s.Data());
    dir.Write("script.dat", std::string(bytes.begin(), bytes.end()));
    dir.Write("BGs.ini", "[Settings]\nStartRoom=Hall\n");
}

class Shell : public ::testing::Test {
protected:
    Shell() : dir(true), clock(20) {
        platform::SetClock(&clock);
        platform::TraceToFunction([this](std::string_view line) { trace.emplace_back(line); });
        WriteGame(dir);
        std::string error;
        display = platform::Display::Create(Headless(), error);
        window = std::make_unique<CMainWindow>(*display);
        g_appActive = 1;
        ok = CreateSubsystems(error);
        EXPECT_TRUE(ok) << error;
    }
    ~Shell() override {
        DestroySubsystems();
        window.reset();
        platform::TraceOff();
        platform::SetClock(nullptr);
        g_appActive = 1;
    }
    void Key(int key) { window->HandleMessage(Message(WindowMessageType::KeyDown, 0, 0, key)); }
    void Frame() {
        window->Video().RenderFrame();
        clock.Advance();
    }
    int Count(const std::string& line) const {
        return static_cast<int>(std::count(trace.begin(), trace.end(), line));
    }

    TempDir dir;
    platform::VirtualClock clock;
    std::vector<std::string> trace;
    std::unique_ptr<platform::Display> display;
    std::unique_ptr<CMainWindow> window;
    bool ok = false;
};

} // namespace

TEST_F(Shell, StartUpLoadsTheWorldAndTracesThePhases) {
    ASSERT_TRUE(ok);
    for (uint16_t id : {0, 1, 10, 100})
        EXPECT_EQ(g_system->FindById(id)->status, 7) << id;
    EXPECT_EQ(g_system->cursor->status, 0);
    EXPECT_EQ(g_system->currentRoom, g_system->FindByName("Hall"));
    for (const char* phase :
         {"Load phase 1: 0\n", "Load phase 2: 0\n", "Load phase 3: 0\n", "Load phase 9: 0\n"})
        EXPECT_EQ(Count(phase), 1) << phase;
}

TEST_F(Shell, MouseInputReachesTheInterfaceInRoomCoordinates) {
    RecordingInterface ui;
    g_system->currentInterface = &ui;
    g_system->scrollOffset = 250;
    window->HandleMessage(Message(WindowMessageType::MouseMove, 100, 40));
    window->HandleMessage(Message(WindowMessageType::LeftButtonDown, 5, 6));
    EXPECT_EQ(ui.moves, (std::vector<platform::Point>{{350, 40}}));
    EXPECT_EQ(ui.clicks, (std::vector<platform::Point>{{255, 6}}));
    g_system->currentInterface = g_system->mainInterface.get();
}

TEST_F(Shell, ScrollKeysHoldTheView) {
    g_system->roomWidth = 1280;
    for (int i = 0; i < 10; ++i) {
        Key(vk::Right);
        Frame();
    }
    EXPECT_EQ(g_system->scrollOffset, 60);
    for (int i = 0; i < 10; ++i)
        Frame();
    EXPECT_EQ(g_system->scrollOffset, 60);
    Key(vk::Left);
    EXPECT_EQ(g_system->scrollOffset, 54);
    g_system->scrollOffset = 638; // near the right end: stops at room width - 640
    Key(vk::Right);
    EXPECT_EQ(g_system->scrollOffset, 640);
    Key(vk::Right);
    EXPECT_EQ(g_system->scrollOffset, 640);
    Key('I'); // the open case covers the room where the view stands
    Key(vk::Left);
    EXPECT_EQ(g_system->scrollOffset, 640);
}

TEST_F(Shell, ScrollingARoomExactly640WideDoesNothing) {
    Key(vk::Right);
    Frame();
    EXPECT_EQ(g_system->scrollOffset, 0);
    Key(vk::Left);
    EXPECT_EQ(g_system->scrollOffset, 0);
}

TEST_F(Shell, LeavingTheForegroundPausesAndComingBackResumes) {
    WriteWave(dir, "hum.wav", WaveBytes(sound::PcmFormat{1, 16, 22050}, PatternSamples(22050)));
    DSsound* hum = g_sound->LoadSound("hum.wav", kSoundEffects);
    ASSERT_NE(hum, nullptr);
    platform::Event ended(true, false);
    hum->Play(0, &ended);
    g_sound->MixFrames(4410); // 0.1 s of the 1 s sound
    const uint64_t before = hum->PlayPosition();
    EXPECT_EQ(before, 2205u);

    window->HandleMessage(Message(WindowMessageType::Activate, 0, 0, 0, 0));
    EXPECT_EQ(g_appActive, 0);
    EXPECT_EQ(g_system->paused, 1);
    EXPECT_EQ(hum->paused, 1);
    for (int i = 0; i < 50; ++i)
        clock.Advance(); // a second away: longer than the sound, which waits
    g_sound->AdvanceTo(platform::NowMs());
    EXPECT_EQ(hum->PlayPosition(), before);
    window->HandleMessage(Message(WindowMessageType::Activate, 0, 0, 0, 1));
    EXPECT_EQ(g_system->paused, 0);
    EXPECT_EQ(hum->paused, 0);
    g_sound->MixFrames(4410);
    EXPECT_EQ(hum->PlayPosition(), before + 2205); // on from where it stopped
    EXPECT_FALSE(ended.TryWait());
    hum->Stop();                                                 // before `ended` goes
    EXPECT_EQ(window->Video().lastFrameTime, platform::NowMs()); // the time away is not a frame
    EXPECT_EQ(window->Video().DirtyRects(), (std::vector<platform::Rect>{{0, 0, 640, 480}}));

    // The pause key before leaving: the game runs while away and is paused again on return.
    Key(vk::Pause);
    window->HandleMessage(Message(WindowMessageType::Activate, 0, 0, 0, 0));
    EXPECT_EQ(g_system->paused, 0);
    window->HandleMessage(Message(WindowMessageType::Activate, 0, 0, 0, 1));
    EXPECT_EQ(g_system->paused, 1);
}

TEST_F(Shell, CursorModeKeysNeedTheMainInterfaceAndTheMenu) {
    Key('3');
    EXPECT_EQ(g_system->cursor->mode, kCursorTake);
    EXPECT_EQ(g_system->cursor->resourceId, 5005);
    Key('C');
    EXPECT_EQ(g_system->cursor->mode, kCursorSecond);
    g_system->currentInterface = g_system->mapInterface.get(); // cursor keys do nothing there
    Key('L');
    EXPECT_EQ(g_system->cursor->mode, kCursorSecond);
    Key(vk::Tab); // map off again
    EXPECT_EQ(g_system->currentInterface, g_system->mainInterface.get());
    g_system->actionMenu->active = 0;
    Key('L');
    EXPECT_EQ(g_system->cursor->mode, kCursorSecond);
    Key('I'); // the inventory also needs the menu
    EXPECT_EQ(g_system->inventoryCase->visible, 0);
    g_system->actionMenu->active = 1;
    Key('I');
    EXPECT_EQ(g_system->inventoryCase->visible, 1);
    Key('U'); // the mode keys work over the open case
    EXPECT_EQ(g_system->cursor->mode, kCursorUse);
    Key(vk::Escape);
    EXPECT_EQ(g_system->inventoryCase->visible, 0);
}

// This game has neither the panel's nor the map's picture: the keys leave the room in charge.
TEST_F(Shell, MapAndPanelKeysWithoutTheirScreensLeaveTheRoomInCharge) {
    for (const int key : {int{'M'}, int{vk::Tab}, int{'O'}}) {
        Key(key);
        EXPECT_EQ(g_system->currentInterface, g_system->mainInterface.get()) << key;
    }
    EXPECT_EQ(Count("Warning: the script has no object \"КАРТА\": the map does not open\n"), 2);
    EXPECT_EQ(Count("Warning: the script has no object \"ПАНЕЛЬ УПРАВЛЕНИЯ\": the options panel "
                    "does not open\n"),
              1);
    // The clicks still reach the room: a walk click moves Tarvo (without a walk cycle he is
    // put there at once).
    Key('2');
    window->HandleMessage(Message(WindowMessageType::LeftButtonDown, 200, 400));
    EXPECT_EQ(platform::Point(g_system->tarvo.footX, g_system->tarvo.footY),
              (platform::Point{200, 400}));
}

TEST_F(Shell, CommandKeys) {
    // F2 saves, F3 loads that save back; F4 finds no autosave (no room was entered by GOTO).
    Key(vk::F2);
    EXPECT_TRUE(std::filesystem::exists(dir / "save.dat"));
    g_system->FindById(10)->status = 99;
    Key(vk::F3);
    EXPECT_EQ(g_system->FindById(10)->status, 7);
    g_system->FindById(10)->status = 98;
    Key(vk::F4);
    EXPECT_EQ(g_system->FindById(10)->status, 98);
    EXPECT_EQ(Count("Restore: there is no autosave.dat\n"), 1);
    Key(vk::Backquote);
    EXPECT_EQ(g_debug->enabled, 1);
    Key(vk::Backquote);
    EXPECT_EQ(g_debug->enabled, 0);
    g_system->tarvo.active = 0;
    g_system->actionMenu->active = 0;
    g_system->mainInterface->dialogue.paused = 1;
    Key(vk::F5); // release the player
    EXPECT_EQ(g_system->tarvo.active, 1);
    EXPECT_EQ(g_system->actionMenu->active, 1);
    EXPECT_EQ(g_system->mainInterface->dialogue.paused, 0);
    EXPECT_EQ(CommandForKey('Q'), 0);
}

TEST_F(Shell, EscapeSkipsACutSceneInsteadOfCancellingIt) {
    g_system->Post(101, SETSEQ, 0, 0, 0, 0, nullptr);
    g_system->DispatchQueue();
    ASSERT_EQ(g_system->currentInterface, g_system->sequenceInterface.get());
    Key(vk::Escape); // this scene never ends itself: the skip ends it
    EXPECT_EQ(g_system->currentInterface, g_system->mainInterface.get());
    EXPECT_EQ(Count("Sequence 101 skipped\n"), 1);
    EXPECT_EQ(g_system->currentRoom, g_system->FindByName("Hall"));
}

TEST_F(Shell, RestartRebuildsTheWorldAndKeepsTheWindow) {
    const QSystem* before = g_system;
    QVideoSystem* video = g_video;
    g_system->FindById(10)->status = 99;
    Key(vk::F9);
    EXPECT_NE(g_system, nullptr);
    EXPECT_EQ(g_system->FindById(10)->status, 7); // loaded afresh
    EXPECT_EQ(g_video, video);
    EXPECT_EQ(Count("Load phase 1: 0\n"), 2);
    EXPECT_EQ(Count("Load phase 9: 0\n"), 2);
    EXPECT_EQ(Count("~QSystem\n"), 1);
    (void)before;
}

TEST_F(Shell, SpaceSkipsTheLineBeingSaid) {
    // The lamp says a long recorded line and then a short one.
    dir.Write("speech/long.wav", [] {
        const auto bytes = WaveBytes(sound::PcmFormat{1, 16, 22050}, PatternSamples(66150));
        return std::string(bytes.begin(), bytes.end());
    }());
    DialogueHandler talk;
    talk.type = TALK;
    talk.entries.push_back(DialogueEntry{0, {}, 0});
    DialogueTables tables;
    tables.objects.push_back(DialogueObject{10, 0, {talk}});
    tables.code = {0x07000000, 0x07000001, kDialogueEndWord};
    std::vector<DialoguePhrase> lines(2);
    for (DialoguePhrase& line : lines)
        line.speakerId = 10;
    lines[0].text = "Once upon a time";
    lines[0].SetSoundName("long.wav");
    lines[1].text = "The end";
    delete g_dialogue;
    g_dialogue = new BigDialogue(tables, lines);
    g_system->Post(10, TALK, 0, 0, 0, 0, nullptr);
    g_system->DispatchQueue();
    ASSERT_NE(g_sound->FindSound("SPEECH\\long.wav"), nullptr);
    Key(vk::Space);
    EXPECT_EQ(g_sound->FindSound("SPEECH\\long.wav"), nullptr);
    ASSERT_NE(g_system->mainInterface->ShownText(), nullptr);
    EXPECT_EQ(g_system->mainInterface->ShownText()->Text(), "The end");
    Key(vk::Space);
    EXPECT_TRUE(g_system->mainInterface->dialogue.IsIdle());
    Key(vk::Space); // nothing is said: nothing happens
    EXPECT_EQ(g_system->mainInterface->ShownText(), nullptr);
}
