// The demo played headless from replays, checked by what a player would see: captions under
// the pointer, the cursor, the action menu and the case, the door that must be oiled, the
// room change, scrolling, and the autosave. Checks look at regions of the screenshots and at
// the trace rather than whole frames, so that redrawn art does not break them; the runs are
// deterministic, so two runs of the same replay must give identical screenshots.
#include "demo/Playthrough.h"

using namespace demo_play;

namespace {

// Hover the clock and leave it; the door is stuck. Take the oil can with the action menu's
// take, take it out of the case and oil the door with it: it swings open, and once it is open
// Tarvo goes out; then scroll the street.
constexpr const char* kTour = R"(
2 shot start.png
4 move 270 150
6 shot clock.png
8 move 150 420
10 shot floor.png
12 move 560 200
14 key 4
16 ldown 560 200
20 shot stuck.png
22 ldown 320 300
24 rdown 320 240
26 move 300 310
28 ldown 300 310
30 move 370 222
31 ldown 370 222
34 key I
36 move 256 232
37 shot case.png
38 ldown 256 232
40 move 300 300
41 shot held.png
42 key I
44 move 560 200
45 shot closed.png
46 ldown 560 200
62 shot swinging.png
85 shot open.png
86 ldown 560 200
96 shot street.png
98 key Right
99 key Right
100 key Right
101 key Right
102 key Right
116 shot scrolled.png
126 close
)";

constexpr uint32_t kCaption = 0xFFFFC0;

// The oil can's place in the case: the fifth, after the four things Tarvo starts with.
constexpr int kCanX = 240, kCanY = 220;

} // namespace

TEST(Playthrough, CaptionsCursorDoorAndScrolling) {
    TempDir dir;
    const Play play = RunDemo(dir, kTour);
    ASSERT_EQ(play.status, 0) << play.output;
    EXPECT_FALSE(Contains(play.output, "not found")) << play.output;

    // The clock's name appears under the pointer and goes when the pointer leaves it.
    const auto start = Shot(dir, "start.png"), clock = Shot(dir, "clock.png"),
               floor = Shot(dir, "floor.png");
    EXPECT_EQ(CountColour(start, 0, 450, 640, 480, kCaption), 0);
    EXPECT_GT(CountColour(clock, 0, 450, 640, 480, kCaption), 50);
    EXPECT_EQ(CountColour(floor, 0, 450, 640, 480, kCaption), 0);

    // The cursor is drawn at the pointer: the area there changes as the pointer comes and goes.
    EXPECT_FALSE(SameRegion(clock, floor, 255, 135, 285, 165));
    EXPECT_FALSE(SameRegion(clock, floor, 135, 405, 165, 435));

    // The stuck door only says so; the oil can, taken out of the case, frees it, it swings
    // open with its creak and then it leads out: the trace says so, the game autosaves, and
    // the street's own picture shows where no object stands (the sky at the top left).
    EXPECT_TRUE(InOrder(play.trace, {Delivered("USE", 0, "WorkshopDoor", "WorkshopDoor"),
                                     Delivered("SHOWDESCRIPTION", 1, "StuckDoor", "WorkshopDoor"),
                                     Delivered("TAKE", 0, "OilCan", "OilCan"),
                                     Delivered("ADDINV", 0, "OilCan", "OilCan"),
                                     Delivered("CURSOR", 460, "OilCan", "OilCan"),
                                     Delivered("OBJECTUSE", 0, "WorkshopDoor", "OilCan"),
                                     "DSsound: \"WDOOROP.WAV\"\n",
                                     Delivered("END", 407, "WorkshopDoor", "NULL"),
                                     Delivered("SET", 403, "WorkshopDoor", "WorkshopDoor"),
                                     Delivered("GOTO", 0, "Harbour", "WorkshopDoor"),
                                     "Leave BG: Workshop\n", "Saved autosave.dat\n"}));
    EXPECT_TRUE(std::filesystem::exists(dir / "autosave.dat"));
    const auto caseShown = Shot(dir, "case.png"), held = Shot(dir, "held.png"),
               closed = Shot(dir, "closed.png"), swinging = Shot(dir, "swinging.png"),
               open = Shot(dir, "open.png");
    EXPECT_FALSE(SameRegion(caseShown, floor, 60, 140, 460, 280)); // the case covers the room
    EXPECT_FALSE(SameRegion(caseShown, held, kCanX, kCanY, kCanX + 32, kCanY + 28)); // taken out
    EXPECT_TRUE(SameRegion(caseShown, held, 120, 145, 152, 170));   // the notebook stays
    EXPECT_FALSE(SameRegion(closed, swinging, 520, 130, 580, 160)); // the door swings
    EXPECT_FALSE(SameRegion(swinging, open, 520, 130, 580, 160));   // and comes to rest open
    const auto street = Shot(dir, "street.png"), scrolled = Shot(dir, "scrolled.png");
    const auto harbour = RoomPicture("HARBOUR.BMP");
    ASSERT_TRUE(harbour);
    EXPECT_EQ(harbour->Width(), 1280);
    EXPECT_EQ(At(street, 20, 10), Shown(*harbour, 20, 10));
    // Five presses of the Right key: the view holds 30 pixels further into the street.
    EXPECT_EQ(At(scrolled, 20, 10), Shown(*harbour, 50, 10));
    EXPECT_EQ(At(scrolled, 300, 12), Shown(*harbour, 330, 12));
}

TEST(Playthrough, TheSameReplayGivesTheSameFrames) {
    TempDir first, second;
    ASSERT_EQ(RunDemo(first, kTour).status, 0);
    ASSERT_EQ(RunDemo(second, kTour).status, 0);
    for (const char* name :
         {"clock.png", "case.png", "held.png", "swinging.png", "street.png", "scrolled.png"}) {
        std::ifstream a(first / name, std::ios::binary), b(second / name, std::ios::binary);
        const std::string bytesA((std::istreambuf_iterator<char>(a)), {}),
            bytesB((std::istreambuf_iterator<char>(b)), {});
        EXPECT_FALSE(bytesA.empty());
        EXPECT_EQ(bytesA, bytesB) << name;
    }
}

// Take the oil can with the pointer left on it, hover again, open and close the case, then
// walk away.
constexpr const char* kOilCan = R"(
2 move 370 225
4 key 3
6 ldown 370 225
20 shot taken.png
22 move 600 100
24 move 370 225
30 shot hovered.png
32 key I
36 key I
40 key 2
42 ldown 120 420
60 shot away.png
70 close
)";

TEST(Playthrough, TakingTheCanAndWalkingAwayLeavesNothingBehind) {
    TempDir dir;
    const Play play = RunDemo(dir, kOilCan);
    ASSERT_EQ(play.status, 0) << play.output;
    ASSERT_TRUE(Contains(play.trace, "ADDINV          0     \"OilCan\""));

    // The caption under the still pointer follows the can going: it is what a fresh hover of
    // the same point shows, not the can's name any more.
    const auto taken = Shot(dir, "taken.png"), hovered = Shot(dir, "hovered.png");
    EXPECT_TRUE(SameRegion(taken, hovered, 0, 450, 640, 480));

    // Where Tarvo stood by the bench, between the clock and the drawer, only the room's own
    // picture is left (the can is in his pocket, the cursor went with the click).
    const auto away = Shot(dir, "away.png");
    const auto workshop = RoomPicture("WORKSHOP.BMP");
    ASSERT_TRUE(workshop);
    int leftBehind = 0;
    for (int y = 240; y < 372; ++y)
        for (int x = 313; x < 368; ++x)
            leftBehind += !(At(away, x, y) == Shown(*workshop, x, y));
    EXPECT_EQ(leftBehind, 0);
}
