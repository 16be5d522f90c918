// The built-in effects of message types, and the rooms' additions.
#include <gtest/gtest.h>

#include "core/QObjectCursor.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QInterfaceSequence.h"
#include "interfaces/QObjectCase.h"
#include "interfaces/QObjectStar.h"
#include "platform/MessageBox.h"
#include "support/TempDir.h"
#include "support/Waves.h"
#include "support/World.h"
#include "text/QText.h"

using namespace testing_support;

namespace {

constexpr uint16_t kKey = 10;
constexpr uint16_t kBox = 11;
constexpr uint16_t kHall = 100;

class BuiltIn : public ::testing::Test {
protected:
    BuiltIn() {
        ScriptBuilder s;
        s.Object(kKey, "Key");
        s.Object(kBox, "Box");
        s.Room(kHall, "Hall");
        t.Load(s);
    }
    void Send(uint16_t target, uint16_t type, uint16_t p1 = 0, uint16_t p2 = 0,
              QMessageObject* sender = nullptr) {
        g_system->Post(target, type, p1, p2, 0, 0, sender);
        g_system->DispatchQueue();
    }
    QMessageObject& Key() { return t.Obj(kKey); }
    QObjectBG& Hall() { return static_cast<QObjectBG&>(t.Obj(kHall)); }

    TestWorld t;
};

} // namespace

TEST_F(BuiltIn, StateFlags) {
    Send(kKey, ZBUFFER, 0, 777);
    EXPECT_EQ(Key().depthFromFrame, 0);
    EXPECT_EQ(Key().z, 777);
    Send(kKey, ZBUFFER, 1, 0xFFFF);
    EXPECT_EQ(Key().z, 777); // 0xFFFF keeps the depth
    Send(kKey, ANIMATE, 0);
    EXPECT_EQ(Key().animate, 0);
    Send(kKey, STATUS, 0x1234);
    EXPECT_EQ(Key().status, 0x34);
    Send(kKey, HIDE);
    EXPECT_EQ(Key().visible, 0);
    Send(kKey, SHOW, 1);
    EXPECT_EQ(Key().visible, 1);
    Send(kKey, PASSIVE);
    EXPECT_EQ(Key().active, 0);
    Send(kKey, ACTIVE, 1);
    EXPECT_EQ(Key().active, 1);
    Send(kKey, QM_DISABLE);
    EXPECT_EQ(Key().active + Key().visible, 0);
    Send(kKey, QM_ENABLE);
    EXPECT_EQ(Key().active + Key().visible, 2);
}

TEST_F(BuiltIn, SetPosNeedsAnAnimation) {
    Send(kKey, QM_SETPOS, 50, 60);
    EXPECT_EQ(Key().x, 0); // no animation can be obtained: nothing moves
    EXPECT_EQ(Key().y, 0);
}

TEST_F(BuiltIn, InventoryAddRemoveAndReplace) {
    QObjectCase& inventory = *g_system->inventoryCase;
    Send(kKey, ADDINV);
    Send(kBox, ADDINV);
    Send(kKey, ADDINV);
    EXPECT_EQ(inventory.items, (std::vector<uint16_t>{kKey, kBox, kKey}));
    Send(kBox, SETINV, 0, 0, &Key()); // entries of the sender become the receiver
    EXPECT_EQ(inventory.items, (std::vector<uint16_t>{kBox, kBox, kBox}));
    inventory.firstShown = 6;
    Send(kBox, DELINV);
    EXPECT_TRUE(inventory.items.empty());
    EXPECT_EQ(inventory.firstShown, 0);
}

TEST_F(BuiltIn, SystemMessagesDriveCursorMenuAndQuit) {
    Send(kKey, SYSTEM, 0);
    EXPECT_EQ(g_system->cursor->visible, 0);
    EXPECT_EQ(g_system->actionMenu->active, 0);
    Send(kKey, SYSTEM, 1);
    EXPECT_EQ(g_system->cursor->visible, 1);
    Send(kKey, SYSTEM2, 0);
    EXPECT_EQ(g_system->actionMenu->active, 0);
    Send(kKey, SYSTEM2, 1);
    EXPECT_EQ(g_system->actionMenu->active, 1);
    Send(kKey, SYSTEM2, 5);
    EXPECT_EQ(g_system->actionMenu->active, 1);
    EXPECT_FALSE(QuitRequested());
    Send(kKey, SYSTEM2, 242);
    EXPECT_TRUE(QuitRequested());
}

TEST_F(BuiltIn, CursorTakesAndGivesBackObjects) {
    QObjectCursor& cursor = *g_system->cursor;
    Send(kKey, CURSOR, 5100);
    EXPECT_EQ(cursor.mode, kCursorHolding);
    EXPECT_EQ(cursor.heldObject, &Key());
    EXPECT_EQ(cursor.resourceId, 5100);
    EXPECT_EQ(Key().visible + Key().active, 0);
    Send(kBox, CURSOR, 5101); // taking another gives the first back
    EXPECT_EQ(Key().visible + Key().active, 2);
    EXPECT_EQ(cursor.heldObject, &t.Obj(kBox));
    Send(kBox, CURSOR, 0xFFFF);
    EXPECT_EQ(cursor.mode, kCursorLook);
    EXPECT_EQ(cursor.resourceId, 5002);
    EXPECT_EQ(cursor.heldObject, nullptr);
    EXPECT_EQ(t.Obj(kBox).visible + t.Obj(kBox).active, 2);
}

TEST_F(BuiltIn, SetMovesTheCompanionSoundUnlessLoading) {
    TempDir dir(true);
    dir.Write("resource.qrc", "300 = Lamp.flc\n301 = Lamp2.FLC\n302 = Lamp3.flc\n");
    const auto wave = WaveBytes(sound::PcmFormat{1, 16, 22050}, PatternSamples(100));
    for (const char* name : {"LAMP.WAV", "LAMP2.WAV", "LAMP3.WAV"})
        WriteWave(dir, name, wave);
    delete g_manager;
    g_manager = new QManager;
    std::vector<std::string> boxes;
    platform::SetMessageBoxCapture(
        [&](const std::string& text, const std::string&) { boxes.push_back(text); });
    Key().resourceId = 300;
    ASSERT_NE(g_sound->LoadSound("LAMP.WAV", kSoundEffects), nullptr);
    Send(kKey, SET, 301);
    platform::SetMessageBoxCapture(nullptr);
    EXPECT_EQ(Key().resourceId, 301);
    EXPECT_EQ(g_sound->FindSound("LAMP.WAV"), nullptr);
    const DSsound* next = g_sound->FindSound("LAMP2.WAV");
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->category, kSoundEffects);
    // Neither animation file exists: each is reported once, when first asked for.
    EXPECT_EQ(boxes,
              (std::vector<std::string>{"Flic Lamp.flc not found", "Flic Lamp2.FLC not found"}));
    g_system->loading = 1;
    Send(kKey, SET, 302);
    EXPECT_EQ(Key().resourceId, 302);
    // While loading only the number is recorded: the sounds stay as they were.
    EXPECT_NE(g_sound->FindSound("LAMP2.WAV"), nullptr);
    EXPECT_EQ(g_sound->FindSound("LAMP3.WAV"), nullptr);
}

TEST_F(BuiltIn, SecondCharacterWalksOnlyForHisOwnObjectUse) {
    Key().walkX = 200;
    Key().walkY = 300;
    QObjectVarnagel& varnagel = g_system->varnagel;
    auto feet = [&] { return platform::Point{varnagel.footX, varnagel.footY}; };
    const platform::Point before = feet();
    Send(kKey, OBJECTUSE, 0, 0, &t.Obj(kBox));
    EXPECT_EQ(feet(), before);
    // Without a walk cycle Varnagel is put at the walk point at once.
    Send(kKey, OBJECTUSE, 0, 0, &varnagel);
    EXPECT_EQ(feet(), (platform::Point{200, 300}));
    Key().walkX = 250;
    Send(kKey, WALKVARN);
    EXPECT_EQ(feet(), (platform::Point{250, 300}));
}

TEST_F(BuiltIn, DescriptionComesFromTheItemTable) {
    TempDir dir(true);
    dir.Write("invntr.txt", "[all]\nKey=A small brass key.\n");
    Send(kKey, SHOWDESCRIPTION, 3);
    const QText* shown = g_system->mainInterface->ShownText();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->IsKindOf(RUNTIME_CLASS(QTextDescription)));
    EXPECT_EQ(shown->Text(), "A small brass key.");
    EXPECT_EQ(g_system->actionMenu->active, 0);
}

TEST_F(BuiltIn, ContinueStepsTheDialogue) {
    QDialogInterface& dialogue = g_system->mainInterface->dialogue;
    dialogue.paused = 1;
    g_system->actionMenu->active = 0;
    Send(kKey, CONTINUE);
    EXPECT_EQ(dialogue.paused, 0);
    // The step found nothing more to say: the dialogue is over and the menu is back.
    EXPECT_TRUE(dialogue.IsIdle());
    EXPECT_EQ(g_system->actionMenu->active, 1);
}

TEST_F(BuiltIn, RoomsTakeTheirOwnSetAndIgnoreType53) {
    TempDir dir(true);
    dir.Write("resource.qrc", "4000 = hall.bmp\n");
    WriteWave(dir, "HALL.WAV", WaveBytes(sound::PcmFormat{1, 16, 22050}, PatternSamples(100)));
    delete g_manager;
    g_manager = new QManager;
    Hall().resourceId = 1;
    Send(kHall, SET, 4000);
    EXPECT_EQ(Hall().resourceId, 4000);
    EXPECT_EQ(g_sound->SoundCount(), 0u); // a room's picture has no companion sound
    Send(kHall, QM_SETWAIT, 4100);
    EXPECT_EQ(Hall().resourceId, 4000);
}

TEST_F(BuiltIn, RoomAdditions) {
    Send(kHall, MAP, 1);
    EXPECT_EQ(Hall().mapAllowed, 1);
    Send(kHall, NOMAP);
    EXPECT_EQ(Hall().mapAllowed, 0);
    Send(kHall, QM_AMBIENCE, 7001);
    Send(kHall, QM_MUSIC, 7002);
    EXPECT_EQ(Hall().ambience, 7001);
    EXPECT_EQ(Hall().music, 7002);
    Send(kHall, SETSEQ);
    EXPECT_EQ(g_system->sequenceInterface->roomId, kHall);
    EXPECT_EQ(g_system->currentInterface, g_system->sequenceInterface.get());
    Send(kHall, ENDSEQ);
    EXPECT_FALSE(g_system->sequenceInterface->Playing());
    EXPECT_EQ(g_system->currentInterface, g_system->mainInterface.get());
    Send(kHall, GOTO);
    EXPECT_EQ(g_system->currentRoom, &Hall());
    EXPECT_EQ(g_system->mainInterface->currentRoomId, kHall);
}

TEST_F(BuiltIn, TraceLinesNameTypesTargetsAndSenders) {
    t.trace.clear();
    Send(kKey, LOOK, 5, 0, &t.Obj(kBox));
    Send(kKey, 47, 9);
    Send(kKey, HALF, 1); // not traced, nor SAY, INITBG, and END above 19999
    Send(kKey, END, 20000);
    Send(kKey, END, 19999);
    EXPECT_EQ(t.trace, (std::vector<std::string>{"LOOK            5     \"Key\" \t\"Box\"\n",
                                                 "default         9     \"Key\" \t\"NULL\"\n",
                                                 "END             19999 \"Key\" \t\"NULL\"\n"}));
}
