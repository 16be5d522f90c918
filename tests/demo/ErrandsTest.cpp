// The demo's evening played to its end from a replay: every thing is picked up, the case
// turns to its second page, and each use changes the world (the door opens, the cat moves
// off the key, the drawer opens, the lamp stops stuttering).
#include "demo/Playthrough.h"

using namespace demo_play;

namespace {

constexpr const char* kEvening = R"(
# The workshop: take the oil can (the action menu's take), take it out of the case, oil the door
2 move 320 240
3 rdown 320 240
5 move 300 310
7 ldown 300 310
9 move 370 222
11 ldown 370 222
14 key I
16 move 256 232
19 ldown 256 232
21 move 300 300
23 key I
25 move 550 200
28 ldown 550 200
# still holding the can, once the door has swung open: through it
64 ldown 550 200
# Harbour Street: walk right twice, take the herring from the boat and give it to the cat
72 key W
73 ldown 630 420
156 ldown 600 420
231 key G
232 move 360 340
234 ldown 360 340
247 key I
249 move 396 232
251 ldown 396 232
253 key I
255 move 228 342
257 ldown 228 342
301 key G
302 move 383 347
304 ldown 383 347
# back along the street and in through the door, once it has swung open
321 key W
322 ldown 20 420
401 key U
402 move 80 250
404 ldown 80 250
# The workshop: the key opens the drawer; take the packet of mantles from it
456 key I
458 move 396 232
460 ldown 396 232
461 key I
463 move 394 255
464 ldown 394 255
468 key G
469 move 394 258
471 ldown 394 258
474 key I
476 move 424 418
477 shot page1.png
478 ldown 424 418
480 move 136 157
481 shot page2.png
482 ldown 136 157
484 key I
486 move 550 200
487 ldown 550 200
524 shot before.png
# Harbour Street: walk to the lamp, take the mantle out again and fit it
525 key W
526 ldown 630 420
609 key G
610 move 320 240
611 rdown 320 240
612 move 316 243
614 ldown 316 243
616 move 424 418
617 ldown 424 418
619 move 136 157
620 ldown 136 157
622 move 544 399
624 ldown 544 399
626 move 394 178
628 ldown 394 178
634 shot mended.png
636 ldown 320 300
864 close
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
    // Once mended the lamp no longer stutters: it stays on its steady glow.
    const size_t mended = play.trace.find(Delivered("STATUS", 1, "Lamp", "Lamp"));
    EXPECT_EQ(play.trace.find(Delivered("SET", 411, "Lamp", "Lamp"), mended), std::string::npos);
}
