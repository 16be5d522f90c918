// The dialogue interface over small conversations: what is shown and said at each step, who
// talks and who stands, menus, notifications and CONTINUE, the end, recorded speech, skipping,
// subtitles and the text speed.
#include <gtest/gtest.h>

#include "core/Application.h"
#include "dialogue/DialogueCode.h"
#include "graphics/Fonts.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QObjectStar.h"
#include "platform/Clock.h"
#include "platform/Profile.h"
#include "platform/Text.h"
#include "resources/QManager.h"
#include "screens/QInterfacePanel.h"
#include "support/TempDirTest.h"
#include "support/Waves.h"
#include "support/World.h"
#include "text/QText.h"

using namespace dialogue_test;
using testing_support::ScriptBuilder;
using testing_support::TestWorld;

namespace {

constexpr uint16_t kWatchman = kPartner; // 7: the dialogue's owner
constexpr uint16_t kFisher = 8;
constexpr uint16_t kLog = 50; // hears who stopped talking

struct Line {
    int32_t speaker;
    std::string text;
    std::string speech; // file in SPEECH\, or none
};

// Tarvo, Varnagel and two people of the street, who tell the log when they fall silent.
ScriptBuilder Street() {
    ScriptBuilder s;
    s.Object(kWatchman, "Watchman");
    s.Object(kFisher, "Fisher");
    s.Object(kLog, "Log");
    for (uint16_t id : {kWatchman, kFisher})
        ScriptBuilder::Send(s.On(id, SAID), kLog, USERMSG, id);
    return s;
}

// Samples of a wave of `ms` milliseconds at 22,050 Hz.
std::vector<uint8_t> Speech(int ms) {
    const size_t frames = static_cast<size_t>(ms) * 22050 / 1000;
    return testing_support::WaveBytes(sound::PcmFormat{1, 16, 22050},
                                      testing_support::PatternSamples(frames));
}

class Conversation : public testsupport::TempDirTest {
protected:
    void Open(std::vector<uint32_t> code, const std::vector<Line>& lines,
              const ScriptBuilder& script = Street()) {
        WriteBytes("dialogue.fix", WriteDialogueTables(OneDialogue(std::move(code))));
        DialoguePhrases lod;
        for (const Line& l : lines) {
            DialoguePhrase p;
            p.speakerId = l.speaker;
            p.text = l.text;
            p.SetSoundName(l.speech);
            lod.phrases.push_back(p);
        }
        WriteBytes("dialogue.lod", WriteDialoguePhrases(lod));
        world.reset();
        platform::SetClock(&clock);
        world = std::make_unique<TestWorld>();
        world->Load(script);
        g_system->panelInterface->speedPercent = 100; // the panel's default speed
        g_system->queue.clear();
        world->trace.clear();
    }
    void Start() {
        g_dialogue->Start(kWatchman, kTalk, -1);
        ui().StartDialogue(0, &world->Obj(kWatchman));
    }
    QDialogInterface& ui() { return g_system->mainInterface->dialogue; }
    std::string Shown() {
        const QText* t = g_system->currentInterface->ShownText();
        return t == nullptr ? "(nothing)" : t->Text();
    }
    QTextPhrase* ShownPhrase() {
        QText* t = g_system->currentInterface->ShownText();
        return t != nullptr && t->IsKindOf(RUNTIME_CLASS(QTextPhrase))
                   ? static_cast<QTextPhrase*>(t)
                   : nullptr;
    }

    // What happened since the last call: the lines and menus shown, the choice taken (from
    // the trace); then who was told to talk (SAY), who fell silent (SAID), what the script
    // was told (USERMSG to Varnagel); "idle" once the dialogue is over. Both are consumed.
    std::vector<std::string> Happened() {
        std::vector<std::string> seen;
        for (const std::string& line : world->trace)
            for (const char* prefix : {"Phrase: ", "Menu: ", "Choice: "})
                if (line.starts_with(prefix)) seen.push_back(line.substr(0, line.size() - 1));
        for (const QMessage& m : g_system->queue) {
            if (m.type == SAY) seen.push_back("SAY " + std::to_string(m.target));
            if (m.type == USERMSG && m.target == kLog)
                seen.push_back("SAID " + std::to_string(m.param1));
            if (m.type == USERMSG && m.target == g_system->varnagel.id)
                seen.push_back("notify " + std::to_string(m.param1));
        }
        if (ui().IsIdle()) seen.push_back("idle");
        world->trace.clear();
        g_system->queue.clear();
        return seen;
    }

    // Runs the shown phrase's clock and the sound for `ms`, a 20 ms pass at a time, until
    // the shown text changes; returns the time it took (or ms when it did not change).
    int RunUntilTheTextChanges(int ms) {
        const std::string before = Shown();
        for (int t = 20; t <= ms; t += 20) {
            clock.Advance();
            if (QTextPhrase* p = ShownPhrase()) p->Update(20);
            g_sound->AdvanceTo(platform::NowMs());
            if (Shown() != before) return t;
        }
        return ms;
    }
    // The large font, for tests that look at the text pictures; null where there is none.
    bool WithFont() {
        std::string error;
        font = platform::Font::Create("Arial", 20, platform::kFwBold, error);
        g_fontLarge = font.get();
        return font != nullptr;
    }
    void TearDown() override {
        g_fontLarge = nullptr;
        world.reset();
        platform::SetClock(nullptr);
        TempDirTest::TearDown();
    }

    platform::VirtualClock clock{20};
    std::unique_ptr<TestWorld> world;
    std::unique_ptr<platform::Font> font;
};

enum class Act { GoOn, Choose0, Choose1, Continue };

struct Step {
    Act act;
    std::vector<std::string> then;
};

struct Case {
    const char* name;
    std::vector<uint32_t> code;
    std::vector<Line> lines;
    std::vector<std::string> atStart;
    std::vector<Step> steps;
};

} // namespace

TEST_F(Conversation, EachStopShowsAndVoicesWhatThePlayerShouldSee) {
    const Case cases[] = {
        {"the same speaker twice keeps talking",
         {Phrase(0), Phrase(1), End()},
         {{kWatchman, "Evening.", ""}, {kWatchman, "Cold one.", ""}},
         {"Phrase: Evening.", "SAY 7"},
         {{Act::GoOn, {"Phrase: Cold one."}}, {Act::GoOn, {"SAID 7", "idle"}}}},
        {"a new speaker: the first falls silent at once, the second is told to talk",
         {Phrase(0), Phrase(1), Phrase(2), End()},
         {{kWatchman, "Who goes?", ""}, {kFisher, "Only me.", ""}, {kWatchman, "Ah.", ""}},
         {"Phrase: Who goes?", "SAY 7"},
         {{Act::GoOn, {"Phrase: Only me.", "SAID 7", "SAY 8"}},
          {Act::GoOn, {"Phrase: Ah.", "SAID 8", "SAY 7"}},
          {Act::GoOn, {"SAID 7", "idle"}}}},
        {"a menu silences the speaker and takes the visible choice",
         {Phrase(0), Menu(2, 0b11), Phrase(1), EndBlock(), Phrase(2), EndBlock(), Goto(8), Goto(10),
          Phrase(3), End(), Phrase(4), End()},
         {{kWatchman, "Well?", ""},
          {kFisher, "Fish?", ""},
          {kFisher, "Rope?", ""},
          {kWatchman, "No fish.", ""},
          {kWatchman, "Rope it is.", ""}},
         {"Phrase: Well?", "SAY 7"},
         {{Act::GoOn, {"Menu: Fish? | Rope?", "SAID 7"}},
          {Act::GoOn, {}}, // a menu waits for a choice
          {Act::Choose1, {"Choice: Rope?", "Phrase: Rope it is.", "SAY 7"}},
          {Act::Choose0, {}}, // a phrase is not cut short by a choice
          {Act::GoOn, {"SAID 7", "idle"}}}},
        {"a notification waits for CONTINUE",
         {Phrase(0), Notify(12), Phrase(1), End()},
         {{kWatchman, "Let me ask.", ""}, {kWatchman, "You may.", ""}},
         {"Phrase: Let me ask.", "SAY 7"},
         {{Act::GoOn, {"SAID 7", "notify 12"}},
          {Act::GoOn, {}}, // paused: nothing moves
          {Act::Continue, {"Phrase: You may.", "SAY 7"}},
          {Act::GoOn, {"SAID 7", "idle"}}}},
        {"a dialogue with nothing to say ends at once", {End()}, {}, {"idle"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open(c.code, c.lines);
        Start();
        EXPECT_EQ(g_system->actionMenu->active, c.atStart == std::vector<std::string>{"idle"});
        EXPECT_EQ(Happened(), c.atStart);
        for (const Step& s : c.steps) {
            switch (s.act) {
            case Act::GoOn:
                ui().StepDialogue(kGoOn);
                break;
            case Act::Choose0:
            case Act::Choose1:
                ui().StepDialogue(s.act == Act::Choose0 ? 0 : 1);
                break;
            case Act::Continue: {
                // The script's CONTINUE, to whichever object it is sent.
                QMessage go(kLog, CONTINUE, 0, 0, 0);
                world->Obj(kLog).HandleMessage(go);
                break;
            }
            }
            EXPECT_EQ(Happened(), s.then);
        }
        EXPECT_TRUE(ui().IsIdle());
        EXPECT_EQ(g_system->actionMenu->active, 1); // the right-click menu is back
        EXPECT_EQ(Shown(), "(nothing)");
    }
}

TEST_F(Conversation, PlayersLinesAreInTheirColoursAndOthersInMagenta) {
    if (!WithFont()) GTEST_SKIP() << "no font";
    Open({Phrase(0), Phrase(1), Phrase(2), End()},
         {{0, "Tarvo here", ""}, {1, "Varnagel here", ""}, {kFisher, "Fisher here", ""}});
    Start();
    for (uint32_t colour : {kTarvoPhraseColor, kVarnagelPhraseColor, kOtherPhraseColor}) {
        const platform::Surface* p = g_manager->GetPicture(kTextPicture);
        ASSERT_NE(p, nullptr);
        const platform::Pixel ink = g_pixelShifts.FromColorRef(colour);
        int inked = 0;
        for (int y = 0; y < p->Height(); ++y)
            for (int x = 0; x < p->Width(); ++x)
                inked += p->At(x, y) == ink;
        EXPECT_GT(inked, 20) << std::hex << colour;
        ui().StepDialogue(kGoOn);
    }
}

TEST_F(Conversation, TheEndRunsTheRestOfTheReactionWithThePartner) {
    // The watchman's TALK reaction starts the dialogue and then shows the fisher.
    ScriptBuilder script = Street();
    ScriptBuilder::Send(script.On(kWatchman, TALK), kWatchman, DIALOG, 4);
    ScriptBuilder::Send(script.Get(kWatchman).reactions.back(), kFisher, SHOW, 1);
    Open({Phrase(0), End()}, {{kWatchman, "Off you go.", ""}}, script);
    g_system->Post(kWatchman, TALK, 0, 0, 0, 0, nullptr);
    g_system->DispatchQueue();
    EXPECT_EQ(ui().number, 4);
    EXPECT_EQ(Shown(), "Off you go.");
    ASSERT_TRUE(g_afterDialogue);
    ui().StepDialogue(kGoOn);
    EXPECT_FALSE(g_afterDialogue);
    const QMessage* shown = nullptr;
    for (const QMessage& m : g_system->queue)
        if (m.type == SHOW) shown = &m;
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->sender, &world->Obj(kWatchman));
    EXPECT_EQ(ui().partner, nullptr);

    // The window's dialogue command has no partner: the rest runs from no sender.
    g_system->queue.clear();
    g_afterDialogue = std::make_unique<QReaction>();
    g_afterDialogue->messages.push_back(QMessage(kFisher, HIDE, 0, 0, 0));
    ui().StartDialogue(10000, nullptr);
    ASSERT_EQ(g_system->queue.size(), 1u);
    EXPECT_EQ(g_system->queue.front().type, HIDE);
    EXPECT_EQ(g_system->queue.front().sender, nullptr);
}

TEST_F(Conversation, ALineNobodyCanSayEndsTheDialogueWithTheErrorLog) {
    const struct {
        const char* name;
        std::vector<uint32_t> code;
        const char* logStart;
    } cases[] = {
        {"a speaker that is no object", {Phrase(0), Phrase(1), End()}, "Error: speaker 77 is"},
        {"a phrase beyond dialogue.lod", {Phrase(5), Phrase(1), End()}, "Error: phrase 5 is"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open(c.code, {{77, "Nobody", "s0.wav"}, {kWatchman, "Next", ""}});
        Start();
        EXPECT_EQ(Happened(), std::vector<std::string>{"idle"});
        EXPECT_TRUE(ReadText("dialogue.err").starts_with(c.logStart)) << ReadText("dialogue.err");
        EXPECT_EQ(g_dialogue->Machine().Code()[0], kDialogueEndWord);
        EXPECT_EQ(g_system->actionMenu->active, 1);
        // The game goes on: the next conversation ends at once instead of crashing.
        Start();
        EXPECT_EQ(Happened(), std::vector<std::string>{"idle"});
    }
}

TEST_F(Conversation, SpeechDecidesWhenALineEnds) {
    // A line of 40 characters stays 2200 ms without speech; with speech, 250 ms past the
    // speech's end, whether that comes before or after 2200 ms.
    const std::string forty(40, 'a');
    const struct {
        const char* name;
        const char* speech;
        int speechMs;
        int lo, hi; // when the next line shows
    } cases[] = {
        {"no speech file", "", 0, 2220, 2220},
        {"a missing speech file", "gone.wav", 0, 2220, 2220},
        {"short speech ends it early", "short.wav", 500, 760, 820},
        {"long speech ends it late", "long.wav", 3000, 3260, 3320},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes("speech/short.wav", Speech(500));
        WriteBytes("speech/long.wav", Speech(3000));
        Open({Phrase(0), Phrase(1), End()},
             {{kWatchman, forty, c.speech}, {kWatchman, "Next", ""}});
        Start();
        EXPECT_EQ(ui().SpeechPresent(), c.speechMs > 0);
        const int took = RunUntilTheTextChanges(5000);
        EXPECT_GE(took, c.lo);
        EXPECT_LE(took, c.hi);
        EXPECT_EQ(Shown(), "Next");
    }
}

TEST_F(Conversation, AClickOrSpaceSkipsTheLineAndSilencesIt) {
    WriteBytes("speech/long.wav", Speech(3000));
    Open({Phrase(0), Phrase(1), End()},
         {{kWatchman, "A long tale", "long.wav"}, {kWatchman, "Short", ""}});
    Start();
    RunUntilTheTextChanges(200);
    DSsound* speech = g_sound->FindSound("SPEECH\\long.wav");
    ASSERT_NE(speech, nullptr);
    EXPECT_EQ(speech->playing, 1);
    g_system->mainInterface->OnLeftClick(300, 470); // on the line
    EXPECT_EQ(g_sound->FindSound("SPEECH\\long.wav"), nullptr);
    EXPECT_EQ(Shown(), "Short");
    EXPECT_FALSE(ui().SpeechPresent()); // the next line times by its length
}

TEST_F(Conversation, WithoutSubtitlesASpokenLineIsOnlyHeard) {
    WriteBytes("speech/short.wav", Speech(500));
    Open({Phrase(0), Phrase(1), End()},
         {{kWatchman, "Heard, not read", "short.wav"}, {kWatchman, "Read: no speech", ""}});
    ui().subtitles = 0;
    Start();
    EXPECT_EQ(Shown(), "");
    const int took = RunUntilTheTextChanges(3000); // still timed by the speech
    EXPECT_GE(took, 760);
    EXPECT_LE(took, 820);
    EXPECT_EQ(Shown(), "Read: no speech");
}

TEST_F(Conversation, SlowerSpeedsGiveMoreTimeToRead) {
    EXPECT_EQ(PhraseReadingMs(40, 100), 2200); // the panel's default speed
    EXPECT_EQ(PhraseAfterSpeechMs(100), 250);
    EXPECT_EQ(PhraseReadingMs(40, 0), 4400);
    EXPECT_EQ(PhraseAfterSpeechMs(0), 500);
    EXPECT_EQ(PhraseReadingMs(40, 48), 3344);
    Open({Phrase(0), Phrase(1), End()},
         {{kWatchman, std::string(40, 'a'), ""}, {kWatchman, "b", ""}});
    g_system->panelInterface->speedPercent = 0;
    Start();
    EXPECT_EQ(RunUntilTheTextChanges(6000), 4420);
}

TEST_F(Conversation, TheChoiceUnderThePointerIsTakenByAClick) {
    if (!WithFont()) GTEST_SKIP() << "no font";
    Open({Menu(3, 0b111), Phrase(0), EndBlock(), Phrase(1), EndBlock(), Phrase(2), EndBlock(),
          Goto(10), Goto(12), Goto(14), Phrase(3), End(), Phrase(4), End(), Phrase(5), End()},
         {{0, "Ask about the boat", ""},
          {0, "Ask about the lamp", ""},
          {0, "Say goodnight", ""},
          {kWatchman, "Boat.", ""},
          {kWatchman, "Lamp.", ""},
          {kWatchman, "Night.", ""}});
    Start();
    QText* menu = g_system->mainInterface->ShownText();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->IsKindOf(RUNTIME_CLASS(QTextChoice)));
    const auto& choice = static_cast<QTextChoice&>(*menu);
    const platform::Rect third = choice.ChoiceRects()[2];
    const int x = choice.ScreenRect().left + third.left + 3,
              y = choice.ScreenRect().top + third.top + 3;
    g_system->mainInterface->OnMouseMove(x, y);
    EXPECT_EQ(choice.highlighted, 2);
    g_system->mainInterface->OnLeftClick(x, y);
    EXPECT_EQ(Happened(),
              (std::vector<std::string>{"Menu: Ask about the boat | Ask about the lamp | "
                                        "Say goodnight",
                                        "Choice: Say goodnight", "Phrase: Night.", "SAY 7"}));
}

TEST_F(Conversation, RestoringAGameMidConversationGivesThePlayerTheRoomBack) {
    ScriptBuilder script = Street();
    script.Room(100, "Quay");
    ScriptBuilder::Send(script.On(kWatchman, TALK), kWatchman, DIALOG, 0);
    ScriptBuilder::Send(script.Get(kWatchman).reactions.back(), kFisher, HIDE);
    Open({Phrase(0), Phrase(1), End()}, {{kWatchman, "One", ""}, {kWatchman, "Two", ""}}, script);
    g_system->mainInterface->ChangeBG(100);
    ASSERT_EQ(g_system->Save("save.dat"), 1);
    g_system->Post(kWatchman, TALK, 0, 0, 0, 0, nullptr);
    g_system->DispatchQueue();
    ASSERT_EQ(Shown(), "One");
    ASSERT_EQ(g_system->actionMenu->active, 0);
    ASSERT_EQ(g_system->Restore("save.dat"), 1);
    EXPECT_TRUE(ui().IsIdle());
    EXPECT_EQ(Shown(), "(nothing)");
    EXPECT_EQ(g_system->actionMenu->active, 1);
    // What waited for the abandoned conversation's end does not run later.
    EXPECT_FALSE(g_afterDialogue);
    g_system->DispatchQueue();
    EXPECT_EQ(world->Obj(kFisher).visible, 1);
}

TEST_F(Conversation, TheSubtitlesSettingIsThePlayersAndStaysInTheProfile) {
    const struct {
        const char* stored; // the profile's text, before
        int32_t subtitles;
        int written;
    } cases[] = {
        {"", 1, 1}, // a new player: on, and the key is written for them to find
        {"[Options]\nSubtitles=0\n", 0, 0},
        {"[Options]\nSubtitles=7\n", 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteText("tarvo.ini", c.stored);
        platform::Profile profile((Dir() / "tarvo.ini").string());
        g_profile = &profile;
        Open({End()}, {});
        g_profile = nullptr;
        EXPECT_EQ(ui().subtitles, c.subtitles);
        EXPECT_EQ(profile.GetInt("Options", "Subtitles", -1), c.written);
    }
}
