// The game's interpreter over its data files: conversations started by messages, the
// notification to the script, "dialogue.err", and files that are missing or broken.
#include <gtest/gtest.h>

#include <optional>

#include "dialogue/BigDialogue.h"
#include "dialogue/DialogueCode.h"
#include "interfaces/QInterfaceMain.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "support/TempDirTest.h"
#include "support/World.h"

using namespace dialogue_test;
using testing_support::ScriptBuilder;
using testing_support::TestWorld;

namespace {

constexpr uint16_t kClockmaker = 9;

DialogueTables ClockmakerTalk(std::vector<uint32_t> code) {
    DialogueTables tables = OneDialogue(std::move(code));
    tables.objects[0].id = kClockmaker;
    return tables;
}

ScriptBuilder Street() {
    ScriptBuilder s;
    s.Object(kClockmaker, "Clockmaker");
    s.Object(11, "Watchman");
    return s;
}

class GameDialogue : public testsupport::TempDirTest {
protected:
    // The lines are the clockmaker's; without a speaker, line i is said by 100 + i (nobody).
    void WriteFiles(const DialogueTables& tables, int phrases = 4,
                    std::optional<int32_t> speaker = kClockmaker) {
        WriteBytes("dialogue.fix", WriteDialogueTables(tables));
        DialoguePhrases lod;
        lod.phrases = Phrases(phrases);
        for (DialoguePhrase& p : lod.phrases)
            p.speakerId = speaker.value_or(p.speakerId);
        WriteBytes("dialogue.lod", WriteDialoguePhrases(lod));
    }
    static std::vector<const QMessage*> QueuedTo(uint16_t target) {
        std::vector<const QMessage*> found;
        for (const QMessage& m : g_system->queue)
            if (m.target == target) found.push_back(&m);
        return found;
    }
};

} // namespace

TEST_F(GameDialogue, ATalkStartsTheConversationFromTheDataFiles) {
    WriteFiles(ClockmakerTalk({Phrase(0), Notify(12), Phrase(1), End()}));
    TestWorld t;
    QSystem& w = t.Load(Street());
    w.Post(kClockmaker, TALK, 3, 0, 0, 0, nullptr);
    w.DispatchQueue();
    QDialogInterface& ui = w.mainInterface->dialogue;
    EXPECT_EQ(ui.number, 3);
    EXPECT_EQ(ui.partner, &t.Obj(kClockmaker));
    EXPECT_EQ(ui.state, QDialogInterface::kShowingPhrase);

    ASSERT_EQ(g_dialogue->Classify(), DialogueStop::Phrase);
    const DialoguePhrase* phrase = g_dialogue->GetPhrase(-1);
    ASSERT_NE(phrase, nullptr);
    EXPECT_EQ(phrase->text, "p0");
    EXPECT_EQ(phrase->SoundName(), "s0.wav");
    g_dialogue->Run(-1);
    EXPECT_EQ(g_dialogue->Classify(), DialogueStop::Notification);
    // The script hears of it as USERMSG to the second player character, from no sender.
    const std::vector<const QMessage*> posted = QueuedTo(w.varnagel.id);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0]->type, USERMSG);
    EXPECT_EQ(posted[0]->param1, 12);
    EXPECT_EQ(posted[0]->sender, nullptr);
}

TEST_F(GameDialogue, AnInstalledHandlerTakesTheNotificationOver) {
    WriteFiles(ClockmakerTalk({Notify(40), End()}));
    TestWorld t;
    QSystem& w = t.Load(Street());
    std::vector<uint16_t> handled;
    g_dialogue->SetNotificationHandler([&](uint16_t argument) { handled.push_back(argument); });
    g_dialogue->Start(kClockmaker, TALK, -1);
    EXPECT_EQ(g_dialogue->Classify(), DialogueStop::Notification);
    EXPECT_EQ(handled, std::vector<uint16_t>{40});
    EXPECT_TRUE(QueuedTo(w.varnagel.id).empty());
}

TEST_F(GameDialogue, ReactionsRunBesideOnlyTheDialoguesMadeForTheirKey) {
    // 9 has a reaction to TALK and its own TALK dialogue; 11 has a reaction to LOOK and only
    // an any-object LOOK dialogue; 12 has no reaction to LOOK.
    DialogueTables tables = ClockmakerTalk({Phrase(0), End(), Phrase(1), End()});
    DialogueHandler look{LOOK, 0, 0, {{2, {}, 0}}};
    tables.objects.push_back(DialogueObject{kDialogueAnyObject, 0, {look}});
    ScriptBuilder script = Street();
    script.Object(12, "Bench");
    ScriptBuilder::Send(script.On(kClockmaker, TALK), kClockmaker, STATUS, 1);
    ScriptBuilder::Send(script.On(11, LOOK), 11, STATUS, 1);
    const struct {
        uint16_t object;
        uint16_t type;
        std::optional<int> ip;
        bool interfaceStarted;
    } cases[] = {
        {kClockmaker, TALK, 0, false},
        {11, LOOK, std::nullopt, false},
        {12, LOOK, 2, true},
    };
    WriteFiles(tables);
    for (const auto& c : cases) {
        TestWorld t;
        delete g_dialogue;
        g_dialogue = new BigDialogue(tables);
        QSystem& w = t.Load(script);
        w.Post(c.object, c.type, 5, 0, 0, 0, nullptr);
        w.DispatchQueue();
        EXPECT_EQ(g_dialogue->Machine().InstructionPointer(), c.ip) << c.object;
        EXPECT_EQ(w.mainInterface->dialogue.IsIdle(), !c.interfaceStarted) << c.object;
        EXPECT_EQ(w.mainInterface->dialogue.partner, c.ip ? &t.Obj(c.object) : nullptr) << c.object;
    }
}

TEST_F(GameDialogue, ABrokenConversationReplacesDialogueErrAndEnds) {
    WriteText("dialogue.err", "an older log that must go\n");
    WriteFiles(ClockmakerTalk({Nop(), Goto(0x63)}));
    TestWorld t;
    t.Load(Street());
    g_dialogue->Start(kClockmaker, TALK, -1);
    EXPECT_EQ(g_dialogue->Classify(), DialogueStop::End);
    EXPECT_EQ(ReadText("dialogue.err"), "Error: ip is set outside code seg\n"
                                        "ip=0001h newip=0063h codesize=0002h\n"
                                        "*ip=03000063h\n"
                                        "DisAssembled *ip:\n"
                                        "goto 0063h\n"
                                        "\n"
                                        "Terminating dialogue.");
}

TEST_F(GameDialogue, ASpeakerThatNamesNoObjectEndsTheConversation) {
    WriteFiles(ClockmakerTalk({Phrase(3), Phrase(0), End()}), 4, std::nullopt);
    TestWorld t;
    t.Load(Street());
    g_dialogue->Start(kClockmaker, TALK, -1);
    ASSERT_EQ(g_dialogue->Classify(), DialogueStop::Phrase);
    const int32_t speaker = g_dialogue->GetPhrase(-1)->speakerId;
    ASSERT_EQ(g_system->FindById(static_cast<uint16_t>(speaker)), nullptr);
    g_dialogue->ReportMissingSpeaker(speaker);
    EXPECT_EQ(g_dialogue->Classify(), DialogueStop::End);
    EXPECT_EQ(ReadText("dialogue.err"), "Error: speaker 103 is no object\n"
                                        "ip=0000h speaker=103 codesize=0003h\n"
                                        "*ip=07000003h\n"
                                        "DisAssembled *ip:\n"
                                        "103: p3\n"
                                        "Terminating dialogue.");
}

TEST_F(GameDialogue, MissingOrBrokenFilesLeaveAnInterpreterWithoutDialogues) {
    const std::vector<uint8_t> fix = WriteDialogueTables(ClockmakerTalk({Phrase(0), End()}));
    const struct {
        const char* name;
        std::vector<uint8_t> fix; // empty: no file
        std::string trace;
    } cases[] = {
        {"no file", {}, ""},
        {"cut short", std::vector<uint8_t>(fix.begin(), fix.end() - 2), "dialogue.fix: "},
    };
    for (const auto& c : cases) {
        std::filesystem::remove("dialogue.fix");
        if (!c.fix.empty()) WriteBytes("dialogue.fix", c.fix);
        TestWorld t;
        bool wildcard = false;
        EXPECT_EQ(g_dialogue->FindDialogue(kClockmaker, TALK, wildcard), nullptr) << c.name;
        bool traced = false;
        for (const std::string& line : t.trace)
            traced = traced || line.rfind("dialogue.fix: ", 0) == 0;
        EXPECT_EQ(traced, !c.trace.empty()) << c.name;
    }
}

TEST_F(GameDialogue, PhrasesLoadAtTheFirstStartAndABrokenLodLeavesThemEmpty) {
    WriteFiles(ClockmakerTalk({Phrase(0), End()}));
    {
        TestWorld t;
        EXPECT_EQ(g_dialogue->Machine().PhraseCount(), 0u);
        g_dialogue->Start(kClockmaker, TALK, -1);
        EXPECT_EQ(g_dialogue->Machine().PhraseCount(), 4u);
    }
    WriteBytes("dialogue.lod", {2, 0, 0, 0, 1});
    TestWorld t;
    g_dialogue->Start(kClockmaker, TALK, -1);
    EXPECT_EQ(g_dialogue->Machine().PhraseCount(), 0u);
    EXPECT_EQ(g_dialogue->Classify(), DialogueStop::Phrase);
    EXPECT_EQ(g_dialogue->GetPhrase(-1), nullptr); // shown as nothing, not read outside
    EXPECT_TRUE(t.Traced("dialogue.lod: phrase count 2 does not fit in the 1 bytes left "
                         "(24 bytes each, then the texts); no phrases\n"));
}

TEST_F(GameDialogue, AStateForAnotherCodeIsRefusedAndTraced) {
    WriteFiles(ClockmakerTalk({Phrase(0), End()}));
    TestWorld t;
    platform::ByteWriter save;
    save.I32(1);
    save.U32(kDialogueEndWord);
    platform::ByteReader in(save.Data());
    EXPECT_EQ(g_dialogue->LoadState(&in), DialogueStateLoad::SizeMismatch);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(g_dialogue->Machine().Code()[0], Phrase(0));
    EXPECT_TRUE(
        t.Traced("Saved dialogue state is for another dialogue.fix; the loaded code is kept\n"));
}
