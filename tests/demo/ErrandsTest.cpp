// The demo's evening played to its end from a replay: every thing is picked up, the case
// turns to its second page, and each use changes the world (the door opens, the cat moves
// off the key, the drawer opens, the lamp stops stuttering).
#include "demo/Playthrough.h"

using namespace demo_play;

namespace {

constexpr const char* kEvening = R"(
# Tarvo walks to each thing he uses: every click that sends him waits for him to arrive (and
# in the street for the view, which follows him), and a door for its swing.
# The workshop: take the oil can (the action menu's take), take it out of the case, oil the door
2 move 320 240
3 rdown 320 240
5 move 300 310
7 ldown 300 310
9 move 370 222
11 ldown 370 222
220 key I
222 move 256 232
225 ldown 256 232
227 move 300 300
229 key I
231 move 550 200
234 ldown 550 200
# still holding the can, once the door has swung open: through it
370 ldown 550 200
# Harbour Street: walk right twice, take the herring from the boat and give it to the cat
380 key W
381 ldown 630 420
660 ldown 600 420
880 key G
881 move 360 340
883 ldown 360 340
1000 key I
1002 move 396 232
1004 ldown 396 232
1006 key I
1008 move 228 342
1010 ldown 228 342
1160 key G
1161 move 383 347
1163 ldown 383 347
# back along the street and in through the door, once it has swung open
1260 key W
1261 ldown 20 420
1520 key U
1521 move 80 250
1523 ldown 80 250
# The workshop: the key opens the drawer; take the packet of mantles from it
1780 key I
1782 move 396 232
1784 ldown 396 232
1785 key I
1787 move 394 255
1788 ldown 394 255
1880 key G
1881 move 394 258
1883 ldown 394 258
1920 key I
1922 move 424 418
1923 shot page1.png
1924 ldown 424 418
1926 move 136 157
1927 shot page2.png
1928 ldown 136 157
1930 key I
1932 move 550 200
1933 ldown 550 200
2070 shot before.png
# Harbour Street: walk to the lamp, take the mantle out again and fit it
2072 key W
2073 ldown 630 420
2340 key G
2341 move 320 240
2342 rdown 320 240
2343 move 316 243
2345 ldown 316 243
2347 move 424 418
2348 ldown 424 418
2350 move 136 157
2351 ldown 136 157
2353 move 544 399
2355 ldown 544 399
2357 move 394 178
2359 ldown 394 178
2420 shot mended.png
2422 ldown 320 300
2680 close
)";

} // namespace

TEST(Playthrough, TheEveningsErrandsCanAllBeDone) {
    TempDir dir;
    const Play play = RunDemo(dir, kEvening);
    ASSERT_EQ(play.status, 0) << play.output;
    EXPECT_TRUE(InOrder(
        play.trace,
        {Delivered("CURSOR", 460, "OilCan", "OilCan"),
         Delivered("SET", 403, "WorkshopDoor", "WorkshopDoor"),
         Delivered("GOTO", 0, "Harbour", "WorkshopDoor"),
         Delivered("ADDINV", 0, "Herring", "Herring"),
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
