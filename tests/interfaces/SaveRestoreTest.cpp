// Saved games in a running world, through real files: what comes back and what stays, saves
// from other worlds, damaged and cut files refused with the world unchanged, and saves that
// fail or are interrupted keeping the previous one.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/BgFormat.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QObjectCase.h"
#include "platform/MessageBox.h"
#include "platform/PlayerFiles.h"
#include "support/Assets.h"
#include "support/World.h"

using namespace testing_support;

namespace {

constexpr uint16_t kHall = 100, kYard = 101;
constexpr uint16_t kLamp = 10, kKey = 11, kCoin = 12;

class Saves : public ::testing::Test {
protected:
    Saves() : dir(true) {
        ScriptBuilder s;
        s.Object(kLamp, "Lamp");
        s.Object(kKey, "Key");
        s.Object(kCoin, "Coin");
        s.Room(kHall, "Hall");
        s.Room(kYard, "Yard");
        BgData bg;
        bg.rooms.push_back(BgRoom{kHall, 2, {{kLamp, 10, 20, 30, 0, 0}, {kKey, 0, 0, 5, 0, 0}}});
        bg.rooms.push_back(BgRoom{kYard, 1, {{kCoin, 1, 2, 3, 0, 0}}});
        const auto bytes = WriteBackgrounds(bg);
        dir.Write("backgrnd.bg", std::string(bytes.begin(), bytes.end()));
        WritePicture(dir, "hall.bmp", 640, 480, 50, 60, 70);
        WritePicture(dir, "yard.bmp", 1280, 480, 90, 80, 70);
        // Tarvo's standing animation and one of his walks.
        for (const char* name : {"stand", "walk"})
            WriteAnimation(dir, name, 20, 40, {Frame(20, 40, 0, 2, 2, 18, 40, 5)});
        dir.Write("resource.qrc", "1 = hall.bmp\n2 = yard.bmp\n500 = stand.flc\n512 = walk.flc\n");
        delete g_manager;
        g_manager = new QManager;
        world.Load(s);
        Obj(kHall).resourceId = 1;
        Obj(kYard).resourceId = 2;
        ui().ChangeBG(kHall);
        platform::SetMessageBoxCapture(
            [this](const std::string& text, const std::string&) { boxes.push_back(text); });
    }
    ~Saves() override { platform::SetMessageBoxCapture(nullptr); }

    QInterfaceMain& ui() { return *g_system->mainInterface; }
    QMessageObject& Obj(uint16_t id) { return world.Obj(id); }
    std::vector<uint16_t>& Inventory() { return g_system->inventoryCase->items; }
    // Everything a save would hold, and what it does not hold but must not change either.
    std::vector<uint8_t> Snapshot() const {
        std::vector<uint8_t> state = WriteSavedGame(g_system->CaptureGame());
        for (const QMessageObject* o : g_system->objects)
            state.push_back(static_cast<uint8_t>(o->z));
        state.push_back(static_cast<uint8_t>(g_system->queue.size()));
        state.push_back(static_cast<uint8_t>(g_system->scrollOffset));
        return state;
    }
    void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const {
        dir.Write(name, std::string(bytes.begin(), bytes.end()));
    }
    std::vector<uint8_t> ReadFile(const std::string& name) const {
        std::ifstream in(dir / name, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    TempDir dir;
    TestWorld world;
    std::vector<std::string> boxes;
};

} // namespace

TEST_F(Saves, ARestoredGameIsTheSavedOne) {
    ui().ChangeBG(kYard);
    QMessageObject& lamp = Obj(kLamp);
    lamp.status = 3;
    lamp.resourceId = 4001;
    lamp.x = -7;
    lamp.y = 90;
    lamp.visible = 0;
    lamp.active = 0;
    lamp.animate = 0;
    Inventory() = {kCoin, kLamp, kCoin};
    // Saved on his way somewhere: busy, with a walk animation of his base animation 500.
    QObjectTarvo& tarvo = g_system->tarvo;
    tarvo.baseAnimation = 500;
    tarvo.resourceId = 512;
    tarvo.SetPos(900, 450);
    EXPECT_EQ(tarvo.x, 890); // the feet are at the middle of the picture's bottom
    tarvo.busy = 1;
    g_system->varnagel.SetPos(880, 448);
    g_system->cursor->Take(&Obj(kKey), 7000);
    ASSERT_EQ(g_system->Save("save.dat"), 1);

    lamp.status = 9;
    lamp.visible = lamp.active = lamp.animate = 1;
    lamp.z = 77;
    Inventory().clear();
    ui().ChangeBG(kHall);
    g_system->tarvo.SetPos(100, 400);
    g_system->cursor->SelectMode(kCursorWalk);
    boxes.clear(); // the lamp's animation 4001 has no file: entering the hall said so
    ASSERT_EQ(g_system->Restore("save.dat"), 1);

    EXPECT_EQ(lamp.status, 3);
    EXPECT_EQ(lamp.resourceId, 4001);
    EXPECT_EQ(lamp.x, -7);
    EXPECT_EQ(lamp.y, 90);
    EXPECT_EQ(lamp.visible, 0);
    EXPECT_EQ(lamp.active, 0);
    EXPECT_EQ(lamp.animate, 0);
    EXPECT_EQ(lamp.z, 77); // depth is the room's, not the save's
    EXPECT_EQ(Inventory(), (std::vector<uint16_t>{kCoin, kLamp, kCoin}));
    EXPECT_EQ(g_system->currentRoom, &Obj(kYard));
    EXPECT_EQ(g_system->roomWidth, 1280);
    EXPECT_EQ(g_system->tarvo.footX, 900);
    EXPECT_EQ(g_system->tarvo.footY, 450);
    EXPECT_EQ(g_system->varnagel.footX, 880);
    EXPECT_EQ(g_system->scrollOffset, 900 - 320);
    // Walks are not saved: he stands, free for messages, in his standing animation.
    EXPECT_EQ(g_system->tarvo.busy, 0);
    EXPECT_EQ(g_system->tarvo.resourceId, 500);
    EXPECT_EQ(g_system->tarvo.standing, 1);
    EXPECT_EQ(g_system->cursor->mode, kCursorHolding);
    EXPECT_EQ(g_system->cursor->heldObject, &Obj(kKey));
    EXPECT_EQ(g_system->cursor->resourceId, 7000);
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    EXPECT_EQ(world.video.DirtyRects().size(), 1u); // all redrawn
}

TEST_F(Saves, ASaveFromAnotherWorldRestoresWhatItNames) {
    Obj(kKey).status = 4;
    SavedGame other;
    other.objects.push_back(SavedObject{"Ghost", "", 0, 8, 1, 0, 0, 0, 1, 1, 1});
    other.objects.push_back(SavedObject{"Lamp", "", 0, 6, -1, 0, 1, 2, 1, 1, 1});
    other.roomName = "Yard";
    other.tarvoFoot = {300, 400};
    other.varnagelFoot = {310, 398};
    // Conversation code of another size: skipped, and the cursor after it still read.
    other.dialogueState = {3, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3};
    other.cursorResource = 5004;
    other.cursorMode = kCursorUse;
    WriteFile("save.dat", WriteSavedGame(other));
    ASSERT_EQ(g_system->Restore("save.dat"), 1);
    EXPECT_EQ(Obj(kLamp).status, 6);
    EXPECT_EQ(Obj(kKey).status, 4); // not in the file: as it was
    EXPECT_EQ(g_system->currentRoom, &Obj(kYard));
    EXPECT_EQ(g_system->cursor->mode, kCursorUse);
    EXPECT_EQ(g_system->cursor->resourceId, 5004);
    EXPECT_TRUE(world.Traced("Restore: the saved conversation code was not taken (1)\n"));
}

TEST_F(Saves, AnUnknownRoomIsReportedAndTheRestStillRestored) {
    SavedGame g = g_system->CaptureGame();
    g.roomName = "Nowhere";
    for (SavedObject& o : g.objects)
        if (o.name == "Lamp") o.status = 5;
    WriteFile("save.dat", WriteSavedGame(g));
    g_system->Restore("save.dat");
    EXPECT_EQ(boxes, std::vector<std::string>{"Load error: Background 'Nowhere' not found"});
    EXPECT_EQ(Obj(kLamp).status, 5);
    EXPECT_EQ(g_system->currentRoom, &Obj(kHall));
    // A name that is an object but not a room is no room either.
    g.roomName = "Lamp";
    WriteFile("save.dat", WriteSavedGame(g));
    g_system->Restore("save.dat");
    EXPECT_EQ(boxes.back(), "Load error: Background 'Lamp' not found");
    EXPECT_EQ(g_system->currentRoom, &Obj(kHall));
}

TEST_F(Saves, TheHeldObjectComesBackOnlyWhenItExists) {
    struct Case {
        int32_t mode, held;
        int32_t wantMode;
        QMessageObject* wantHeld;
        int32_t wantPicture;
    } cases[] = {
        {kCursorHolding, kKey, kCursorHolding, &Obj(kKey), 7000},
        {kCursorHolding, -1, kCursorLook, nullptr, kCursorFirstPicture},
        {kCursorHolding, 999, kCursorLook, nullptr, kCursorFirstPicture},
        {kCursorTake, 999, kCursorTake, nullptr, 7000},
    };
    for (const Case& c : cases) {
        SavedGame g = g_system->CaptureGame();
        g.cursorMode = c.mode;
        g.cursorResource = 7000;
        g.heldId = c.held;
        WriteFile("save.dat", WriteSavedGame(g));
        g_system->Restore("save.dat");
        EXPECT_EQ(g_system->cursor->mode, c.wantMode) << c.held;
        EXPECT_EQ(g_system->cursor->heldObject, c.wantHeld) << c.held;
        EXPECT_EQ(g_system->cursor->resourceId, c.wantPicture) << c.held;
    }
}

TEST_F(Saves, MissingCutAndDamagedFilesChangeNothing) {
    const std::vector<uint8_t> before = Snapshot();
    EXPECT_EQ(g_system->Restore("save.dat"), 0); // no file: nothing, and no message
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Snapshot(), before);

    Inventory() = {kKey, kLamp};
    ASSERT_EQ(g_system->Save("save.dat"), 1);
    const std::vector<uint8_t> whole = ReadFile("save.dat");
    Obj(kLamp).status = 42;
    Inventory().clear();
    ui().ChangeBG(kYard);
    const std::vector<uint8_t> changed = Snapshot();
    std::vector<size_t> cuts;
    for (size_t cut = 0; cut < whole.size(); cut += 64)
        cuts.push_back(cut);
    cuts.push_back(whole.size() - 1);
    for (size_t cut : cuts) {
        WriteFile("save.dat", std::vector<uint8_t>(whole.begin(), whole.begin() + cut));
        boxes.clear();
        EXPECT_EQ(g_system->Restore("save.dat"), 0) << cut;
        ASSERT_EQ(boxes.size(), 1u) << cut;
        EXPECT_EQ(boxes[0].rfind("Load error: save.dat is damaged and was not loaded: ", 0), 0)
            << boxes[0];
        EXPECT_EQ(Snapshot(), changed) << cut;
    }
    WriteFile("save.dat", whole);
    ASSERT_EQ(g_system->Restore("save.dat"), 1);
    EXPECT_EQ(Inventory(), (std::vector<uint16_t>{kKey, kLamp}));
}

TEST_F(Saves, AnInterruptedSaveLeavesTheOldOneLoadable) {
    Obj(kLamp).status = 3;
    ASSERT_EQ(g_system->Save("save.dat"), 1);
    Obj(kLamp).status = 9;
    const std::vector<uint8_t> newer = WriteSavedGame(g_system->CaptureGame());
    // A writer killed after writing and flushing, before the rename.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::FileReplacement file(g_system->SavePath("save.dat"));
        if (file.Write(newer)) ::kill(::getpid(), SIGKILL);
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(g_system->Restore("save.dat"), 1);
    EXPECT_EQ(Obj(kLamp).status, 3);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Saves, ASaveThatCannotBeWrittenSaysSoAndKeepsTheOldOne) {
    ASSERT_EQ(g_system->Save("save.dat"), 1);
    const std::vector<uint8_t> old = ReadFile("save.dat");
    Obj(kLamp).status = 9;
    // A disk that takes no more than 16 bytes per file.
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 16;
    auto* handler = ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    const int saved = g_system->Save("save.dat");
    ::setrlimit(RLIMIT_FSIZE, &previous);
    ::signal(SIGXFSZ, handler);

    EXPECT_EQ(saved, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("Save error: save.dat could not be written: cannot write ", 0), 0)
        << boxes[0];
    EXPECT_NE(boxes[0].find("Any earlier save.dat is unchanged."), std::string::npos);
    EXPECT_EQ(ReadFile("save.dat"), old);
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

TEST_F(Saves, SavesLiveInTheSaveFolder) {
    g_system->saveFolder = dir / "saves/harbour";
    Obj(kLamp).status = 2;
    ASSERT_EQ(g_system->Save("save.dat"), 1);
    EXPECT_TRUE(std::filesystem::exists(dir / "saves/harbour/save.dat"));
    EXPECT_FALSE(std::filesystem::exists(dir / "save.dat"));
    Obj(kLamp).status = 8;
    ASSERT_EQ(g_system->Restore("save.dat"), 1);
    EXPECT_EQ(Obj(kLamp).status, 2);
}
