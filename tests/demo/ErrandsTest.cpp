// The demo's evening played to its end from a replay: every thing is picked up or handed over,
// the case turns to its second page, and each use changes the world (the door opens, the
// watchman gives up his herring, the cat moves off the key, the drawer opens, the lamp stops
// stuttering).
#include "demo/Playthrough.h"

using namespace demo_play;

namespace {

constexpr const char* kEvening = R"(
# Harbour Street, by the crates: talk the watchman round (the lines skipped with Space): the
# herring? the cat? goodnight. He hands the herring over; give it to the cat
880 key T
882 move 535 320
884 ldown 535 320
1110 key Space
1120 key Space
1130 move 320 442
1132 ldown 320 442
1140 key Space
1150 key Space
1160 key Space
1170 move 321 442
1172 ldown 321 442
1180 key Space
1190 key Space
1200 key Space
1210 key Space
1220 key Space
1230 key Space
1240 key Space
1250 key Space
1260 move 320 466
1262 ldown 320 466
1270 key Space
1280 key Space
1290 key Space
1296 key G
1300 key I
1302 move 396 232
1304 ldown 396 232
1306 key I
1308 move 218 342
1310 ldown 218 342
# take the key from the crate
1460 key G
1461 move 383 347
1463 ldown 383 347
# back along the street and in through the door, once it has swung open
1560 key W
1561 ldown 20 420
1820 key U
1821 move 80 250
1823 ldown 80 250
# The workshop: the key opens the drawer; take the packet of mantles from it
2080 key I
2082 move 396 232
2084 ldown 396 232
2085 key I
2087 move 394 255
2088 ldown 394 255
2180 key G
2181 move 394 258
2183 ldown 394 258
2220 key I
2222 move 424 418
2223 shot page1.png
2224 ldown 424 418
2226 move 136 157
2227 shot page2.png
2228 ldown 136 157
2230 key I
2232 move 550 200
2233 ldown 550 200
2370 shot before.png
# Harbour Street: walk to the lamp, take the mantle out again and fit it
2372 key W
2373 ldown 630 420
2640 key G
2641 move 320 240
2642 rdown 320 240
2643 move 316 243
2645 ldown 316 243
2647 move 424 418
2648 ldown 424 418
2650 move 136 157
2651 ldown 136 157
2653 move 544 399
2655 ldown 544 399
2657 move 394 178
2659 ldown 394 178
2720 shot mended.png
2722 ldown 320 300
2980 close
)";

} // namespace

TEST(Playthrough, TheEveningsErrandsCanAllBeDone) {
    TempDir dir;
    const Play play = RunDemo(dir, std::string(kOutToTheCrates) + kEvening);
    ASSERT_EQ(play.status, 0) << play.output;
    EXPECT_TRUE(InOrder(
        play.trace,
        {Delivered("CURSOR", 460, "OilCan", "OilCan"),
         Delivered("SET", 403, "WorkshopDoor", "WorkshopDoor"),
         Delivered("GOTO", 0, "Harbour", "WorkshopDoor"),
         Delivered("ADDINV", 0, "Herring", "Varnagel"),
         Delivered("CURSOR", 465, "Herring", "Herring"),
         Delivered("OBJECTUSE", 0, "Cat", "Herring"), Delivered("DELINV", 0, "Herring", "Cat"),
         Delivered("SET", 415, "Cat", "Cat"), Delivered("ADDINV", 0, "Key", "Key"),
         Delivered("END", 418, "StreetDoor", "NULL"),
         Delivered("GOTO", 0, "Workshop", "StreetDoor"), Delivered("OBJECTUSE", 0, "Drawer", "Key"),
         Delivered("ADDINV", 0, "Mantle", "Drawer"), Delivered("CURSOR", 467, "Mantle", "Mantle"),
         Delivered("END", 407, "WorkshopDoor", "NULL"),
         Delivered("GOTO", 0, "Harbour", "WorkshopDoor"),
         Delivered("OBJECTUSE", 0, "Lamp", "Mantle"), Delivered("STATUS", 1, "Lamp", "Lamp"),
         Delivered("SHOWDESCRIPTION", 1, "LampMended", "Lamp")}));
    // Seven things carried: the mantle alone on the second page, in its first place, where
    // the first page shows the notebook; the other places of the second page are empty.
    const auto page1 = Shot(dir, "page1.png"), page2 = Shot(dir, "page2.png");
    EXPECT_FALSE(SameRegion(page1, page2, 120, 145, 152, 172));
    EXPECT_FALSE(SameRegion(page1, page2, 240, 145, 272, 172));
    // At the street door Tarvo stands while it swings open: his standing animation plays there,
    // not his walk on the spot.
    const size_t arrived = play.trace.find("Tarvo arrives at 244, 380");
    ASSERT_NE(arrived, std::string::npos);
    const size_t open = play.trace.find(Delivered("END", 418, "StreetDoor", "NULL"), arrived);
    EXPECT_TRUE(Contains(play.trace.substr(arrived, open - arrived),
                         Delivered("END", 200, "Tarvo", "NULL")));
    // Once mended the lamp no longer stutters: it stays on its steady glow.
    const size_t mended = play.trace.find(Delivered("STATUS", 1, "Lamp", "Lamp"));
    EXPECT_EQ(play.trace.find(Delivered("SET", 411, "Lamp", "Lamp"), mended), std::string::npos);
}
