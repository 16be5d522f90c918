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
# still holding the can: through the door
33 ldown 550 200
# Harbour Street: walk right twice, take the herring from the boat and give it to the cat
41 key W
42 ldown 630 420
125 ldown 600 420
200 key G
201 move 360 340
203 ldown 360 340
216 key I
218 move 396 232
220 ldown 396 232
222 key I
224 move 228 342
226 ldown 228 342
270 key G
271 move 383 347
273 ldown 383 347
# back along the street and in through the door
290 key W
291 ldown 20 420
370 key U
371 move 80 250
373 ldown 80 250
# The workshop: the key opens the drawer; take the packet of mantles from it
381 key I
383 move 396 232
385 ldown 396 232
386 key I
388 move 394 255
389 ldown 394 255
393 key G
394 move 394 258
396 ldown 394 258
399 key I
401 move 424 418
402 shot page1.png
403 ldown 424 418
405 move 136 157
406 shot page2.png
407 ldown 136 157
409 key I
411 move 550 200
412 ldown 550 200
420 shot before.png
# Harbour Street: walk to the lamp, take the mantle out again and fit it
421 key W
422 ldown 630 420
505 key G
506 move 320 240
507 rdown 320 240
508 move 316 243
510 ldown 316 243
512 move 424 418
513 ldown 424 418
515 move 136 157
516 ldown 136 157
518 move 544 399
520 ldown 544 399
522 move 394 178
524 ldown 394 178
530 shot mended.png
532 ldown 320 300
760 close
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
         Delivered("GOTO", 0, "Workshop", "StreetDoor"), Delivered("OBJECTUSE", 0, "Drawer", "Key"),
         Delivered("ADDINV", 0, "Mantle", "Drawer"), Delivered("CURSOR", 467, "Mantle", "Mantle"),
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
