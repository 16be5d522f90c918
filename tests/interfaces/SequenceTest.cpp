// Cut-scenes: a scripted scene played out frame by frame and skipped, both reaching the same
// end; the room shown again as it was; room changes, clicks and shared resources.
#include <gtest/gtest.h>

#include "core/BgFormat.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QInterfaceSequence.h"
#include "platform/Clock.h"
#include "support/Assets.h"
#include "support/World.h"
#include "text/QText.h"

using namespace testing_support;

namespace {

constexpr uint16_t kHall = 100, kDream = 101, kAttic = 102;
constexpr uint16_t kLever = 10, kBird = 20, kFish = 21, kStone = 22;
constexpr int32_t kBirdFlies = 200, kFishJumps = 201, kStoneLies = 202;

// A hall with a lever and a stone; using the lever plays the dream: the bird flies (its
// animation to its end), then the fish jumps, then the scene ends and the lever is down.
class SceneWorld {
public:
    SceneWorld() : dir(true), clock(20) {
        platform::SetClock(&clock);
        ScriptBuilder s;
        for (auto [id, name] :
             {std::pair{kLever, "Lever"}, {kBird, "Bird"}, {kFish, "Fish"}, {kStone, "Stone"}})
            s.Object(id, name);
        s.Room(kHall, "Hall");
        s.Room(kDream, "Dream");
        s.Room(kAttic, "Attic");
        ScriptReaction& use = s.On(kLever, USE);
        ScriptBuilder::Send(use, kDream, SETSEQ);
        ScriptBuilder::Send(use, kBird, QM_SETWAIT, kBirdFlies);
        ScriptBuilder::Send(use, kBird, STATUS, 1);
        ScriptBuilder::Send(use, kFish, QM_SETWAIT, kFishJumps);
        ScriptBuilder::Send(use, kFish, STATUS, 2);
        ScriptBuilder::Send(use, kDream, ENDSEQ);
        ScriptBuilder::Send(use, kLever, STATUS, 9);
        BgData bg;
        bg.rooms.push_back(
            BgRoom{kHall, 2, {{kLever, 30, 30, 5, 0, 0}, {kStone, 700, 300, 5, 0, 0}}});
        bg.rooms.push_back(BgRoom{
            kDream,
            3,
            {{kBird, 100, 100, 5, 0, 0}, {kFish, 300, 300, 6, 0, 0}, {kStone, 50, 400, 7, 0, 0}}});
        const auto bytes = WriteBackgrounds(bg);
        dir.Write("backgrnd.bg", std::string(bytes.begin(), bytes.end()));
        WritePicture(dir, "hall.bmp", 1280, 480, 50, 60, 70);
        WritePicture(dir, "dream.bmp", 640, 480, 10, 10, 90);
        const auto frame = testing_support::Frame(16, 16, 0, 2, 2, 14, 14, 7);
        WriteAnimation(dir, "bird", 16, 16, {frame, frame, frame, frame});
        WriteAnimation(dir, "fish", 16, 16, {frame, frame, frame});
        WriteAnimation(dir, "stone", 16, 16, {frame, frame});
        dir.Write("resource.qrc", "1 = hall.bmp\n2 = dream.bmp\n200 = bird.flc\n"
                                  "201 = fish.flc\n202 = stone.flc\n");
        delete g_manager;
        g_manager = new QManager;
        world.Load(s);
        Obj(kHall).resourceId = 1;
        Obj(kDream).resourceId = 2;
        Obj(kStone).resourceId = kStoneLies;
        Obj(kAttic).resourceId = 2;
        ui().ChangeBG(kHall);
        g_system->scrollOffset = g_system->scrollTarget = 200;
        Frame();
    }
    ~SceneWorld() { platform::SetClock(nullptr); }

    QInterfaceMain& ui() { return *g_system->mainInterface; }
    QInterfaceSequence& sequence() { return *g_system->sequenceInterface; }
    QMessageObject& Obj(uint16_t id) { return world.Obj(id); }
    bool Playing() { return g_system->currentInterface == &sequence(); }
    void Frame() {
        world.video.RenderFrame();
        clock.Advance();
    }
    void PullLever() {
        g_system->Post(kLever, USE, 0, 0, 0, 0, nullptr);
        g_system->DispatchQueue();
    }
    // Frames until the scene has ended (or `limit` frames), delivering the queue before each
    // like the main loop. The number of frames it took.
    int PlayOut(int limit = 500) {
        int frames = 0;
        for (; frames < limit; ++frames) {
            g_system->DispatchQueue();
            if (!Playing()) break;
            Frame();
        }
        return frames;
    }
    // What a player would notice of the scene's end: the saved state and who is in charge.
    std::string EndState() {
        return DescribeSavedGame(g_system->CaptureGame()) + "playing " + std::to_string(Playing()) +
               " scrolled " + std::to_string(g_system->scrollOffset);
    }

    TempDir dir;
    platform::VirtualClock clock;
    TestWorld world;
};

} // namespace

TEST(Sequence, APlayedSceneRunsItsReactionsAndGivesTheRoomBack) {
    SceneWorld w;
    const std::vector<QVisibleObject*> roomList = w.ui().objects;
    w.PullLever();
    ASSERT_TRUE(w.Playing());
    // The scene alone: no characters, cursor, case or menu.
    EXPECT_EQ(w.sequence().objects,
              (std::vector<QVisibleObject*>{g_debug, &w.Obj(kDream), &w.Obj(kBird), &w.Obj(kFish),
                                            &w.Obj(kStone)}));
    EXPECT_EQ(g_system->scrollOffset, 0); // the scene is shown unscrolled
    EXPECT_GT(w.PlayOut(), 5);
    ASSERT_FALSE(w.Playing());
    EXPECT_EQ(w.Obj(kBird).status, 1);
    EXPECT_EQ(w.Obj(kFish).status, 2);
    EXPECT_EQ(w.Obj(kLever).status, 9); // the reaction went on after ENDSEQ
    // The room as it was, redrawn whole; the scene's resources freed.
    EXPECT_EQ(w.ui().objects, roomList);
    EXPECT_EQ(g_system->currentRoom, &w.Obj(kHall));
    EXPECT_EQ(g_system->scrollOffset, 200);
    EXPECT_EQ(g_system->roomWidth, 1280);
    EXPECT_EQ(w.world.video.DirtyRects(), (std::vector<platform::Rect>{{0, 0, 640, 480}}));
    EXPECT_TRUE(w.sequence().objects.empty());
    EXPECT_FALSE(g_manager->IsLoaded(kBirdFlies));
    EXPECT_FALSE(g_manager->IsLoaded(2));
    // The stone stands in the room too: freed with the scene, it is loaded again when drawn.
    EXPECT_FALSE(g_manager->IsLoaded(kStoneLies));
    w.Frame();
    EXPECT_TRUE(g_manager->IsLoaded(kStoneLies));
    EXPECT_EQ(g_system->scrollOffset, 200);
}

TEST(Sequence, SkippingReachesTheEndThatPlayingItOutReaches) {
    std::string played, skipped;
    {
        SceneWorld w;
        w.PullLever();
        w.PlayOut();
        played = w.EndState();
        EXPECT_EQ(w.Obj(kLever).status, 9);
    }
    {
        SceneWorld w;
        w.PullLever();
        w.Frame();
        // A line is being said: the skip clicks it away as the player would.
        w.sequence().ShowPhrase("What a dream", kCaptionColor, kOutlineColor);
        w.sequence().Skip();
        EXPECT_FALSE(w.Playing());
        EXPECT_EQ(w.sequence().ShownText(), nullptr);
        EXPECT_TRUE(w.world.Traced("Sequence 101 skipped\n"));
        skipped = w.EndState();
    }
    EXPECT_EQ(skipped, played);
}

TEST(Sequence, ASceneThatNeverEndsIsEndedByTheSkip) {
    SceneWorld w;
    g_system->Post(kDream, SETSEQ, 0, 0, 0, 0, nullptr);
    g_system->DispatchQueue();
    ASSERT_TRUE(w.Playing());
    w.sequence().Skip();
    EXPECT_FALSE(w.Playing());
    EXPECT_EQ(g_system->scrollOffset, 200);
    EXPECT_TRUE(
        w.world.Traced("Warning: sequence 101 did not end within 20000 skipped frames: ended\n"));
}

TEST(Sequence, ARoomChangeEndsTheSceneFirst) {
    SceneWorld w;
    w.PullLever();
    // A second start replaces the scene; the room's view is still the one to go back to.
    g_system->Post(kDream, SETSEQ, 0, 0, 0, 0, nullptr);
    g_system->DispatchQueue();
    ASSERT_TRUE(w.Playing());
    w.ui().ChangeBG(kAttic);
    EXPECT_FALSE(w.Playing());
    EXPECT_FALSE(w.sequence().Playing());
    EXPECT_EQ(g_system->currentRoom, &w.Obj(kAttic));
    EXPECT_FALSE(g_manager->IsLoaded(kBirdFlies));
    EXPECT_EQ(g_system->scrollOffset, 0); // the attic's own view, from its picture
}

TEST(Sequence, OnlyThePhraseTakesClicks) {
    SceneWorld w;
    w.PullLever();
    const size_t queued = g_system->queue.size();
    w.sequence().OnLeftClick(110, 110); // on the bird: nothing
    w.sequence().OnRightClick(110, 110);
    w.sequence().OnMouseMove(300, 300);
    EXPECT_EQ(g_system->queue.size(), queued);
    EXPECT_TRUE(w.Playing());
    w.sequence().ShowPhrase("Hush", kCaptionColor, kOutlineColor);
    w.sequence().OnLeftClick(5, 5); // the line is clicked away
    EXPECT_EQ(w.sequence().ShownText(), nullptr);
}
