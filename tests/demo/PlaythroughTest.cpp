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
// Tarvo goes out; then scroll the street. Tarvo walks to each thing he uses, so every click
// that sends him waits for him to arrive, and the door's swing for it to come to rest.
constexpr const char* kTour = R"(
2 shot start.png
4 move 270 150
6 shot clock.png
8 move 150 420
10 shot floor.png
12 move 560 200
14 key 4
16 ldown 560 200
# Tarvo walks to the door; it will not open
180 shot stuck.png
182 ldown 320 300
184 rdown 320 240
186 move 300 310
188 ldown 300 310
190 move 370 222
191 ldown 370 222
# he walks back to the bench for the can
400 key I
402 move 256 232
403 shot case.png
404 ldown 256 232
406 move 300 300
407 shot held.png
408 key I
410 move 560 200
411 shot closed.png
412 ldown 560 200
# to the door again, which the oil opens: it swings, then stays open
494 shot swinging.png
600 shot open.png
602 ldown 560 200
640 shot street.png
642 key Right
643 key Right
644 key Right
645 key Right
646 key Right
660 shot scrolled.png
670 close
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

// Take the oil can with the pointer left on it (Tarvo walks to the bench first), hover
// again, open and close the case, then walk away.
constexpr const char* kOilCan = R"(
2 move 370 225
4 key 3
6 ldown 370 225
260 shot taken.png
262 move 600 100
264 move 370 225
270 shot hovered.png
272 key I
276 key I
280 key 2
282 ldown 120 420
560 shot away.png
570 close
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

namespace {

// Tarvo walks across the workshop, back to the bench for the oil can, oils the door, waits for
// it to swing open and goes out (Varnagel follows him to it) into the street, to its back, to its
// front, and along the quay past the crates. The camera follows him, so once the view has caught up
// he stands in the middle of the screen. Each walk ends before the next click.
constexpr const char* kWalk = R"(
2 key W
3 move 100 440
4 ldown 100 440
60 shot workshop-walking.png
260 key 3
261 move 370 222
262 ldown 370 222
460 key I
462 move 256 232
464 ldown 256 232
466 move 300 300
468 key I
470 move 550 200
472 ldown 550 200
620 ldown 550 200
700 key W
701 move 520 352
702 ldown 520 352
780 move 20 20
960 shot street-back.png
962 move 320 470
963 ldown 320 470
1020 move 20 20
1100 shot street-front.png
1102 move 630 462
1103 ldown 630 462
1200 shot quay-walking.png
1400 close
)";

// The rows between which a screen column range differs from the room picture (scrolled by
// `scroll`): the height of what stands there.
int HeightOfWhatStands(const platform::RgbImage& shot, const platform::Surface& room, int scroll,
                       int x0, int x1) {
    int top = -1, bottom = -1;
    for (int y = 0; y < shot.height; ++y)
        for (int x = x0; x < x1; ++x)
            if (!(At(shot, x, y) == Shown(room, x + scroll, y))) {
                if (top < 0) top = y;
                bottom = y;
                break;
            }
    return top < 0 ? 0 : bottom - top + 1;
}

} // namespace

TEST(Playthrough, TarvoWalksAcrossBothRoomsAndThroughTheDoor) {
    TempDir dir;
    const Play play = RunDemo(dir, kWalk);
    ASSERT_EQ(play.status, 0) << play.output;
    EXPECT_FALSE(Contains(play.output, "not found")) << play.output;
    EXPECT_FALSE(Contains(play.output, "Walk bug")) << play.output;
    // The walks in order, each arriving where it was sent; the room changes once, on arrival.
    EXPECT_TRUE(InOrder(play.trace,
                        {"Tarvo walks from 574, 444 to 100, 440", "Tarvo arrives at 100, 440",
                         "Tarvo walks from 100, 440 to 320, 352", "Tarvo arrives at 320, 352",
                         Delivered("ADDINV", 0, "OilCan", "OilCan"),
                         "Tarvo walks from 320, 352 to 430, 344", "Tarvo arrives at 430, 344",
                         Delivered("END", 407, "WorkshopDoor", "NULL"),
                         Delivered("SET", 403, "WorkshopDoor", "WorkshopDoor"),
                         "Varnagel walks from 477, 350 to 430, 344",
                         Delivered("GOTO", 0, "Harbour", "WorkshopDoor"), "Leave BG: Workshop\n",
                         "Tarvo walks from 244, 380 to 520, 352", "Tarvo arrives at 520, 352",
                         "Tarvo arrives at 520, 470", "Tarvo walks from 520, 470 to 830, 462",
                         "Tarvo arrives at 830, 462"}));
    const std::string& t = play.trace;
    EXPECT_EQ(t.find("GOTO ", t.find("GOTO ") + 1), std::string::npos) << "a second GOTO";

    // At the back of the street he is much smaller than at the front. The camera has put him
    // in the middle of the screen: the street scrolled by 520 - 320.
    const auto harbour = RoomPicture("HARBOUR.BMP");
    ASSERT_TRUE(harbour);
    const int back = HeightOfWhatStands(Shot(dir, "street-back.png"), *harbour, 200, 270, 370);
    const int front = HeightOfWhatStands(Shot(dir, "street-front.png"), *harbour, 200, 270, 370);
    EXPECT_GT(back, 90);
    EXPECT_LT(back * 10, front * 7) << back << " at the back, " << front << " at the front";
}

TEST(Playthrough, TheSameReplayGivesTheSameFrames) {
    const struct {
        const char* replay;
        std::vector<const char*> shots;
    } cases[] = {
        {kTour,
         {"clock.png", "case.png", "held.png", "swinging.png", "street.png", "scrolled.png"}},
        {kWalk,
         {"workshop-walking.png", "street-back.png", "street-front.png", "quay-walking.png"}},
    };
    for (const auto& c : cases) {
        TempDir first, second;
        ASSERT_EQ(RunDemo(first, c.replay).status, 0);
        ASSERT_EQ(RunDemo(second, c.replay).status, 0);
        for (const char* name : c.shots) {
            std::ifstream a(first / name, std::ios::binary), b(second / name, std::ios::binary);
            const std::string bytesA((std::istreambuf_iterator<char>(a)), {}),
                bytesB((std::istreambuf_iterator<char>(b)), {});
            EXPECT_FALSE(bytesA.empty()) << name;
            EXPECT_EQ(bytesA, bytesB) << name;
        }
    }
}
