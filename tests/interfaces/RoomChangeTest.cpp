// Entering rooms: list bookkeeping, sounds, messages, entry points and the autosave.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/BgFormat.h"
#include "core/QObjectCursor.h"
#include "graphics/QFlic.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QObjectCase.h"
#include "platform/MessageBox.h"
#include "platform/PlayerFiles.h"
#include "resources/QManager.h"
#include "support/Assets.h"
#include "support/Waves.h"
#include "support/World.h"

using namespace testing_support;

namespace {

constexpr uint16_t kHall = 100, kYard = 101, kAttic = 102;
constexpr uint16_t kDoor = 10, kTree = 11, kBell = 12, kGate = 13;

class Rooms : public ::testing::Test {
protected:
    Rooms() : dir(true) {
        ScriptBuilder s;
        for (auto [id, name] :
             {std::pair{kDoor, "Door"}, {kTree, "Tree"}, {kBell, "Bell"}, {kGate, "Gate"}})
            s.Object(id, name);
        s.Room(kHall, "Hall");
        s.Room(kYard, "Yard");
        s.Room(kAttic, "Attic");
        ScriptBuilder::Send(s.On(kYard, TOTALINIT), kYard, SET, 2);
        BgData bg;
        bg.rooms.push_back(
            BgRoom{kHall, 2, {{kDoor, 10, 20, 30, 300, 400}, {kBell, 0, 0, 5, 0, 0}}});
        bg.rooms.push_back(BgRoom{
            kYard,
            3,
            {{kTree, 1, 2, 3, 1250, 410}, {kBell, 0, 0, 5, 0, 0}, {kGate, 5, 5, 5, 40, 450}}});
        const auto bytes = WriteBackgrounds(bg);
        dir.Write("backgrnd.bg", std::string(bytes.begin(), bytes.end()));
        WritePicture(dir, "hall.bmp", 640, 480, 50, 60, 70);
        WritePicture(dir, "yard.bmp", 1280, 480, 90, 80, 70);
        dir.Write("resource.qrc", "1 = hall.bmp\n2 = yard.bmp\n");
        dir.Write("bgs.ini", "[Yard]\nHall=Gate\n[Attic]\nYard=Nowhere\n");
        delete g_manager;
        g_manager = new QManager;
        world.Load(s);
        g_system->FindById(kHall)->resourceId = 1;
    }
    QInterfaceMain& ui() { return *g_system->mainInterface; }
    bool Listed(uint16_t id) {
        for (const QVisibleObject* o : ui().objects)
            if (o == g_system->FindById(id)) return true;
        return false;
    }
    int Count(uint16_t id) {
        int n = 0;
        for (const QVisibleObject* o : ui().objects)
            n += o == g_system->FindById(id);
        return n;
    }
    static bool ReadSave(const std::string& name, SavedGame& out) {
        std::vector<uint8_t> bytes;
        std::string error;
        return platform::ReadPlayerFile(name, bytes, error) == platform::FileRead::Read &&
               ParseSavedGame(bytes, out, error);
    }
    void Goto(uint16_t room) {
        g_system->Post(room, GOTO, 0, 0, 0, 0, nullptr);
        g_system->DispatchQueue();
    }

    TempDir dir;
    TestWorld world;
};

} // namespace

TEST_F(Rooms, EnteringSwapsTheRoomsObjects) {
    ui().ChangeBG(kHall);
    EXPECT_TRUE(Listed(kHall));
    EXPECT_TRUE(Listed(kDoor));
    EXPECT_EQ(g_system->roomWidth, 640);
    EXPECT_EQ(world.Obj(kDoor).walkX, 300); // placements were stored at load
    world.trace.clear();
    g_system->inventoryCase->SetVisible(1); // an open case closes: the new room animates
    ui().ChangeBG(kYard);
    EXPECT_EQ(g_system->inventoryCase->visible, 0);
    EXPECT_EQ(ui().firstAnimated, 0);
    EXPECT_FALSE(Listed(kHall));
    EXPECT_FALSE(Listed(kDoor));
    EXPECT_TRUE(Listed(kYard));
    EXPECT_TRUE(Listed(kTree));
    EXPECT_EQ(Count(kBell), 1); // in both rooms: removed and appended again
    EXPECT_TRUE(Listed(0));     // the characters stay
    EXPECT_EQ(g_system->currentRoom, g_system->FindById(kYard));
    EXPECT_EQ(g_system->roomWidth, 1280);
    EXPECT_TRUE(world.Traced("Leave BG: Hall\n"));
    // Every object hears of the room left (sender: that room) and of the room entered.
    int left = 0, entered = 0;
    for (const QMessage& m : g_system->queue) {
        if (m.type == QM_LEAVEBG && m.sender == g_system->FindById(kHall)) ++left;
        if (m.type == INITBG && m.sender == g_system->FindById(kYard)) ++entered;
    }
    EXPECT_EQ(left, static_cast<int>(g_system->objects.size()));
    EXPECT_EQ(entered, static_cast<int>(g_system->objects.size()));
    for (const char* line : {"Load time 2: ", "Load time 4: ", "Load time 6: ", "Load time 7: ",
                             "Load time total: ", "Load time counted: "}) {
        bool found = false;
        for (const auto& t : world.trace)
            found |= t.rfind(line, 0) == 0;
        EXPECT_TRUE(found) << line;
    }
}

TEST_F(Rooms, EnteringTheCurrentRoomOnlyClearsTheText) {
    ui().ChangeBG(kHall);
    ui().ShowText("Hello", kCaptionColor, kOutlineColor);
    const size_t count = ui().objects.size();
    ui().ChangeBG(kHall);
    EXPECT_EQ(ui().ShownText(), nullptr);
    EXPECT_EQ(ui().objects.size(), count - 1);
}

TEST_F(Rooms, RoomsWithoutARecordAreEnteredEmpty) {
    ui().ChangeBG(kAttic);
    EXPECT_TRUE(world.Traced("Warning: backgrnd.bg has no record for room 102\n"));
    EXPECT_TRUE(Listed(kAttic));
    EXPECT_FALSE(Listed(kTree));
}

TEST_F(Rooms, GotoPlacesTheCharactersAtTheEntryPointAndSaves) {
    ui().ChangeBG(kHall);
    Goto(kYard);
    g_system->DispatchQueue();
    // Arrived from the hall through the gate (walk point 40, 450).
    EXPECT_EQ(g_system->tarvo.footX, 40);
    EXPECT_EQ(g_system->tarvo.footY, 450);
    EXPECT_EQ(g_system->varnagel.footY, 448); // two pixels above
    EXPECT_EQ(g_system->scrollOffset, 0);     // near the left edge
    // The autosave puts the characters at the entry, where the posted moves took them.
    SavedGame autosave;
    ASSERT_TRUE(ReadSave("autosave.dat", autosave));
    EXPECT_EQ(autosave.roomName, "Yard");
    EXPECT_EQ(autosave.tarvoFoot, (SavedFoot{40, 450}));
    EXPECT_EQ(autosave.varnagelFoot, (SavedFoot{40, 448}));
    // Going again into the same room: no room change, but the entry and the save again.
    std::filesystem::remove("autosave.dat");
    Goto(kYard);
    EXPECT_TRUE(std::filesystem::exists("autosave.dat"));
}

TEST_F(Rooms, EntryPointsFallBackToTheFirstRoomWithAKey) {
    ui().ChangeBG(kAttic);
    dir.Write("bgs.ini", "[Yard]\nAttic2=Gate\nHall=Tree\n");
    Goto(kYard); // no key "Attic": the first room in script order with a key, the hall
    g_system->DispatchQueue();
    EXPECT_EQ(g_system->tarvo.footX, 1250);
    EXPECT_EQ(g_system->scrollOffset, 1280 - 640); // near the right edge: clamped
}

TEST_F(Rooms, NoEntryPointMeansNoPlacementAndNoSave) {
    ui().ChangeBG(kHall);
    dir.Write("bgs.ini", "[Yard]\n");
    const int footX = g_system->tarvo.footX;
    Goto(kYard);
    g_system->DispatchQueue();
    EXPECT_EQ(g_system->tarvo.footX, footX);
    EXPECT_FALSE(std::filesystem::exists("autosave.dat"));
    // An entry naming no object: no placement, but the redraw and the save, with the
    // characters where they stand.
    dir.Write("bgs.ini", "[Attic]\nYard=Nowhere\n");
    Goto(kAttic);
    SavedGame autosave;
    ASSERT_TRUE(ReadSave("autosave.dat", autosave));
    EXPECT_EQ(autosave.roomName, "Attic");
    EXPECT_EQ(autosave.tarvoFoot, (SavedFoot{footX, g_system->tarvo.footY}));
}

TEST_F(Rooms, AmbienceAndMusicSwitchOnlyWhenTheyChange) {
    dir.Write("resource.qrc", "1 = hall.bmp\n2 = yard.bmp\n7 = wind.wav\n8 = song.wav\n");
    const auto second = WaveBytes(sound::PcmFormat{1, 16, 22050}, PatternSamples(22050));
    WriteWave(dir, "wind.wav", second);
    WriteWave(dir, "song.wav", second);
    delete g_manager;
    g_manager = new QManager;
    auto& hall = static_cast<QObjectBG&>(world.Obj(kHall));
    auto& yard = static_cast<QObjectBG&>(world.Obj(kYard));
    hall.ambience = yard.ambience = 7;
    hall.music = 8;
    yard.music = 0;
    ui().ChangeBG(kHall);
    const DSsound* wind = g_sound->FindSound("WIND.WAV");
    ASSERT_NE(wind, nullptr);
    ASSERT_NE(g_sound->FindSound("SONG.WAV"), nullptr);
    EXPECT_EQ(wind->category, kSoundEffects);
    EXPECT_EQ(g_sound->FindSound("SONG.WAV")->category, kSoundMusic);
    EXPECT_TRUE(wind->playing && g_sound->FindSound("SONG.WAV")->playing);
    g_sound->MixFrames(4410); // 0.1 s: 2205 frames of the 22,050 Hz sound
    ui().ChangeBG(kYard);
    // The same ambience in both rooms plays on from where it was; the music is gone.
    EXPECT_EQ(g_sound->FindSound("WIND.WAV"), wind);
    EXPECT_TRUE(wind->playing);
    EXPECT_EQ(wind->PlayPosition(), 2205u);
    EXPECT_EQ(g_sound->FindSound("SONG.WAV"), nullptr);
}

TEST_F(Rooms, ARoomIsNeverAskedForAsAnAnimation) {
    for (int32_t cursor = 5002; cursor <= 5007; ++cursor) {
        std::vector<platform::Surface> frame;
        frame.emplace_back(8, 8);
        g_manager->Adopt(cursor, QFlic::FromFrames(std::move(frame), 100, 0, {}, {}));
    }
    std::vector<std::string> boxes;
    platform::SetMessageBoxCapture(
        [&](const std::string& text, const std::string&) { boxes.push_back(text); });
    ui().ChangeBG(kHall);
    platform::Surface back(640, 480);
    for (int frame = 0; frame < 100; ++frame) {
        world.video.RenderFrame();
        ui().OnMouseMove(320 + frame, 240);
    }
    g_system->cursor->SelectMode(kCursorWalk);
    ui().OnLeftClick(330, 440); // empty floor: the room is not hit, so Tarvo walks
    platform::SetMessageBoxCapture(nullptr);
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    EXPECT_EQ(platform::Point(g_system->tarvo.footX, g_system->tarvo.footY),
              (platform::Point{330, 440}));
    // The room's picture is drawn opaque into the dirty rectangles.
    world.video.InvalidateAll();
    g_system->FindById(kHall)->Draw(back);
    EXPECT_EQ(back.At(300, 300), g_pixelShifts.FromRgb(50, 60, 70));
}
