// The options panel: how it opens over the room and gives it back, what lights up under the
// pointer, the settings its arrows change, and its five buttons.
#include <gtest/gtest.h>

#include <fstream>

#include "core/SaveFormat.h"
#include "dialogue/BigDialogue.h"
#include "interfaces/QObjectCase.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "screens/ScreenGame.h"

using namespace screens_test;

namespace {

class Panel : public ScreenGame {
protected:
    void Open() {
        panel().OpenScreen(kPanelScreen);
        ASSERT_EQ(w().currentInterface, &panel());
    }
    int Slider(int setting) {
        for (int k = 0; k < kPanelObjects; ++k)
            if (kPanelPlaces[k].role == PanelRole::Slider && kPanelPlaces[k].setting == setting)
                return FrameOf(Role(k));
        return -1;
    }
    static int ArrowK(int setting, bool plus) { return 16 + 2 * setting + (plus ? 1 : 0); }
};

} // namespace

TEST_F(Panel, OpensOverTheRoomAndGivesItsViewAndCursorBack) {
    ui().ChangeBG(kYard);
    w().scrollOffset = 300;
    w().cursor->SelectMode(kCursorTake);
    Open();
    // The panel's picture first, then its objects in record order at their places, then the
    // cursor as the screens' pointer in look mode; the room shows unscrolled.
    ASSERT_EQ(panel().objects.size(), 2u + kPanelObjects);
    EXPECT_EQ(panel().objects.front(), &Obj(kPanelObject));
    EXPECT_EQ(panel().objects.back(), w().cursor.get());
    for (int k = 0; k < kPanelObjects; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(panel().objects[static_cast<size_t>(k) + 1], &Role(k));
        EXPECT_EQ(Role(k).x, kPanelPlaces[k].at.x);
        EXPECT_EQ(Role(k).y, kPanelPlaces[k].at.y);
        EXPECT_EQ(Role(k).animate, 0);
    }
    EXPECT_EQ(w().cursor->resourceId, kScreenPointer);
    EXPECT_EQ(w().cursor->mode, kCursorLook);
    EXPECT_EQ(w().scrollOffset, 0);
    EXPECT_EQ(w().roomWidth, 640);
    // The sliders show the settings (the defaults: all at their maximum).
    EXPECT_EQ(Slider(kSettingSpeech), 30);
    EXPECT_EQ(Slider(kSettingMusic), 40);
    EXPECT_EQ(Slider(kSettingSfx), 31);
    EXPECT_EQ(Slider(kSettingSpeed), 26);

    ClickAt(OnRole(kButtonContinue));
    EXPECT_EQ(w().currentInterface, &ui());
    EXPECT_EQ(w().scrollOffset, 300);
    EXPECT_EQ(w().roomWidth, 1280);
    EXPECT_EQ(w().cursor->resourceId, kCursorFirstPicture + kCursorTake);
    EXPECT_EQ(w().cursor->mode, kCursorTake);
}

TEST_F(Panel, ArrowsLightTheirSettingsNameAndButtonsLightThemselves) {
    Open();
    const int speechLabel = 12, musicLabel = 10;
    struct Step {
        const char* where;
        platform::Point at;
        std::vector<std::pair<int, int>> frames; // role k, frame shown
    };
    const Step steps[] = {
        {"on the load button", OnRole(kButtonLoad), {{kButtonLoad, 2}, {speechLabel, 1}}},
        {"on speech minus",
         OnRole(ArrowK(kSettingSpeech, false)),
         {{kButtonLoad, 1}, {speechLabel, 2}, {ArrowK(kSettingSpeech, false), 1}}},
        // Straight from one arrow onto the other of the same setting: the name stays lit.
        {"on speech plus", OnRole(ArrowK(kSettingSpeech, true)), {{speechLabel, 2}}},
        {"on music plus", OnRole(ArrowK(kSettingMusic, true)), {{speechLabel, 1}, {musicLabel, 2}}},
        // A slider and a label do not light up.
        {"on the speech slider", OnRole(14), {{musicLabel, 1}, {14, 30}}},
        {"on the speech label", OnRole(speechLabel), {{speechLabel, 1}}},
        {"on nothing", {600, 5}, {{kButtonLoad, 1}, {speechLabel, 1}, {musicLabel, 1}}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.where);
        MoveTo(step.at);
        for (const auto& [k, frame] : step.frames)
            EXPECT_EQ(FrameOf(Role(k)), frame) << "role " << k;
    }
    // The pointer follows.
    EXPECT_EQ(w().cursor->x, 600);
    EXPECT_EQ(w().cursor->visible, 1);
}

TEST_F(Panel, ArrowsStepTheSettingsWithinTheirRangesAndTheProfileKeepsThem) {
    Open();
    struct Case {
        int setting;
        bool plus;
        int clicks;
        int value;   // afterwards
        int percent; // of the sound category, or the speed's
    };
    const Case cases[] = {
        {kSettingMusic, false, 20, 20, 48}, // (20 - 1) * 100 / 39
        {kSettingMusic, false, 30, 1, 0},   // stops at 1
        {kSettingMusic, true, 50, 40, 100}, // and at the maximum
        {kSettingSpeech, false, 1, 29, 96}, {kSettingSfx, false, 15, 16, 50},
        {kSettingSpeed, false, 9, 17, 64},  {kSettingSpeed, false, 30, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(kPanelSettings[c.setting].key);
        for (int i = 0; i < c.clicks; ++i)
            ClickAt(OnRole(ArrowK(c.setting, c.plus)));
        EXPECT_EQ(panel().settings.values[c.setting], c.value);
        EXPECT_EQ(Slider(c.setting), c.value);
        EXPECT_EQ(profile.GetInt("Options", kPanelSettings[c.setting].key, -1), c.value);
        const int heard = c.setting == kSettingSpeed
                              ? panel().speedPercent
                              : g_sound->CategoryVolume(kPanelSettings[c.setting].category);
        EXPECT_EQ(heard, c.percent);
    }
    EXPECT_EQ(w().currentInterface, &panel()); // the settings keep the panel open
}

TEST_F(Panel, SaveAndLoadCloseThePanelFirst) {
    w().cursor->SelectMode(kCursorUse);
    Obj(kLamp).status = 4;
    Open();
    ClickAt(OnRole(kButtonSave));
    EXPECT_EQ(w().currentInterface, &ui());
    std::ifstream in(own / "save.dat", std::ios::binary);
    const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    SavedGame saved;
    std::string error;
    ASSERT_TRUE(ParseSavedGame(bytes, saved, error)) << error;
    // The room's cursor is saved, not the panel's pointer.
    EXPECT_EQ(saved.cursorResource, kCursorFirstPicture + kCursorUse);
    EXPECT_EQ(saved.cursorMode, kCursorUse);

    Obj(kLamp).status = 9;
    w().cursor->SelectMode(kCursorTalk);
    Open();
    ClickAt(OnRole(kButtonLoad));
    EXPECT_EQ(w().currentInterface, &ui());
    EXPECT_EQ(Obj(kLamp).status, 4);
    EXPECT_EQ(w().cursor->resourceId, kCursorFirstPicture + kCursorUse);
    EXPECT_EQ(w().cursor->mode, kCursorUse);
}

TEST_F(Panel, QuitClosesThePanelAndEndsTheGame) {
    Open();
    ClickAt(OnRole(kButtonQuit));
    EXPECT_EQ(w().currentInterface, &ui());
    EXPECT_TRUE(QuitRequested());
}

// Run under AddressSanitizer too: the panel that asks for the new game goes with the world.
TEST_F(Panel, NewGameStartsTheWorldAfresh) {
    // Conversations whose code the last game changed (a choice switched off, as a save
    // loaded here has it).
    const std::vector<uint32_t> code = {0x07000000, kDialogueEndWord};
    DialogueTables tables;
    tables.code = code;
    delete g_dialogue;
    g_dialogue = new BigDialogue(tables);
    platform::ByteWriter changed;
    changed.I32(2);
    changed.U32(kDialogueEndWord);
    changed.U32(kDialogueEndWord);
    platform::ByteReader in(changed.Data());
    ASSERT_EQ(g_dialogue->LoadState(&in), DialogueStateLoad::Loaded);
    Obj(kLamp).status = 7;
    w().inventoryCase->items.push_back(kLamp);
    ui().ChangeBG(kYard);
    ClickAt(OnRole(ArrowK(kSettingMusic, false))); // nothing: the panel is not open
    Open();
    ClickAt(OnRole(ArrowK(kSettingMusic, false)));
    ASSERT_TRUE(g_manager->IsLoaded(2)); // the yard's picture
    const std::string folder = w().saveFolder;
    ClickAt(OnRole(kButtonNewGame));

    ASSERT_NE(g_system, nullptr);
    EXPECT_FALSE(g_manager->IsLoaded(2)); // a manager of its own, which has only the hall
    EXPECT_TRUE(g_manager->IsLoaded(1));
    EXPECT_EQ(w().currentInterface, &ui());
    EXPECT_EQ(w().currentRoom, &Obj(kHall));
    EXPECT_EQ(Obj(kLamp).status, 0);
    EXPECT_TRUE(w().inventoryCase->items.empty());
    EXPECT_EQ(w().saveFolder, folder);
    EXPECT_EQ(w().cursor->resourceId, kCursorFirstPicture);
    const auto now = g_dialogue->Machine().Code();
    EXPECT_EQ(std::vector<uint32_t>(now.begin(), now.end()), code);
    // The settings are the player's, not the game's: they stay.
    EXPECT_EQ(g_system->panelInterface->settings.values[kSettingMusic], 39);
    EXPECT_TRUE(Traced("~QInterfacePanel"));
    EXPECT_FALSE(QuitRequested());
    // The new panel works.
    g_system->panelInterface->OpenScreen(kPanelScreen);
    ClickAt(OnRole(kButtonContinue));
    EXPECT_EQ(w().currentInterface, &ui());
    EXPECT_TRUE(boxes.empty()) << boxes.front();
}

TEST_F(Panel, WhatItDoesWithRecordsAndNumbersItDoesNotExpect) {
    panel().OpenScreen(4800);
    EXPECT_EQ(w().currentInterface, &ui());
    EXPECT_TRUE(Traced("screen 4800 is not the options panel"));

    // A record with a 25th object: the first 24 are used.
    BgRoom* record = nullptr;
    for (BgRoom& r : ui().rooms.rooms)
        if (r.roomId == kPanelObject) record = &r;
    ASSERT_NE(record, nullptr);
    record->placements.push_back({kSpareRole, 0, 0, 0, 0, 0});
    Open();
    EXPECT_TRUE(Traced("record holds 25 objects: the first 24 are used"));
    EXPECT_EQ(panel().objects.size(), 2u + kPanelObjects);
    EXPECT_FALSE(panel().Contains(&Obj(kSpareRole)));
    panel().Cancel();

    // A record missing some objects: the rest keep their roles by position.
    record->placements.resize(3);
    record->placements[1].objectId = 999; // no such object
    Open();
    EXPECT_EQ(panel().RoleObject(0), &Role(0));
    EXPECT_EQ(panel().RoleObject(1), nullptr);
    EXPECT_EQ(panel().RoleObject(2), &Role(2));
    ClickAt(OnRole(kButtonContinue));
    EXPECT_EQ(w().currentInterface, &ui());

    // No record at all: the panel stays shut rather than show a picture with no buttons.
    record->roomId = 999;
    panel().OpenScreen(kPanelScreen);
    EXPECT_EQ(w().currentInterface, &ui());
    EXPECT_TRUE(Traced("no record for"));
}

// The map opened over the panel closes the panel first, so that the room's view and cursor
// come back when the map closes, and the other way round.
TEST_F(Panel, OneScreenOpenedOverTheOtherClosesItFirst) {
    w().cursor->SelectMode(kCursorWalk);
    w().scrollOffset = 20;
    for (int round = 0; round < 2; ++round) {
        Open();
        map().OpenScreen(kMapScreen);
        EXPECT_EQ(w().currentInterface, &map());
        Open();
        EXPECT_FALSE(map().IsOpen());
    }
    panel().Cancel();
    EXPECT_EQ(w().currentInterface, &ui());
    EXPECT_EQ(w().cursor->resourceId, kCursorFirstPicture + kCursorWalk);
    EXPECT_EQ(w().scrollOffset, 20);
}
