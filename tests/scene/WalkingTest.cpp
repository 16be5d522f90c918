// The characters walking: paths in the room's walk area, one step per animation frame, the
// walk animation by direction, continuations run once on arrival, the game speed.
#include "Walkers.h"

using namespace walk_world;

TEST_F(Walking, UsingTheDoorWalksThereAlongThePathThenChangesTheRoomOnce) {
    Place(tarvo(), {150, 250}); // at the top of the left arm: the notch is in the way
    world.trace.clear();
    Send(kDoor, USE);
    ASSERT_EQ(tarvo().walking, 1);
    EXPECT_EQ(tarvo().busy, 1);
    EXPECT_EQ(world.Queued(0), std::vector<uint16_t>{QM_WALKED}); // waits while he walks
    // Down the left arm to the band's first rib, then straight to the door: the second
    // rib's midpoint is not needed once past the notch's corner.
    EXPECT_EQ(tarvo().Walker()->Path(), (std::vector<Point>{{150, 250}, {250, 390}, {470, 300}}));
    std::vector<int32_t> animations;
    while (tarvo().walking) {
        if (animations.empty() || animations.back() != tarvo().resourceId)
            animations.push_back(tarvo().resourceId);
        EXPECT_EQ(g_system->currentRoom, &world.Obj(kHall)) << "the room changed on the way";
        Tick();
    }
    EXPECT_EQ(animations, (std::vector<int32_t>{213, 212})); // south-east, then east
    EXPECT_EQ(g_system->currentRoom, &world.Obj(kYard));
    EXPECT_EQ(TraceCount("Tarvo arrives at 470, 300"), 1);
    EXPECT_EQ(TraceCount("GOTO "), 1);
    EXPECT_EQ(tarvo().resourceId, 200); // standing again, after the room change
    EXPECT_EQ(tarvo().standing, 1);
    EXPECT_EQ(tarvo().busy, 0);
    for (int i = 0; i < 20; ++i)
        Tick();
    EXPECT_EQ(TraceCount("GOTO "), 1);
}

TEST_F(Walking, ShortWalksAndUnseenCharactersDoNotWalk) {
    const struct {
        Point to;
        bool visible;
        bool walks;
        Point feetAfter;
    } cases[] = {
        {{154, 400}, true, false, {150, 400}}, // 4 pixels: 16 < 25
        {{150, 405}, true, true, {150, 400}},  // 5 pixels
        {{450, 420}, false, false, {450, 420}},
    };
    for (const auto& c : cases) {
        Place(tarvo(), {150, 400});
        tarvo().visible = c.visible ? 1 : 0;
        tarvo().WalkTo(c.to.x, c.to.y);
        EXPECT_EQ(tarvo().walking, c.walks ? 1 : 0) << c.to.x << "," << c.to.y;
        EXPECT_EQ(Feet(tarvo()), c.feetAfter) << c.to.x << "," << c.to.y;
        tarvo().StopWalk();
    }
}

TEST_F(Walking, AClickOnAWallStopsAtTheNearestPointOfTheArea) {
    g_system->cursor->SelectMode(kCursorWalk);
    g_system->mainInterface->OnLeftClick(320, 280); // in the notch, nearest its bottom
    ASSERT_EQ(tarvo().walking, 1);
    TickUntilStill();
    EXPECT_EQ(Feet(tarvo()), (Point{320, 320}));
}

TEST_F(Walking, TheGameSpeedMakesTheWalkTwiceOrThreeTimesAsFast) {
    const struct {
        uint16_t percent;
        int factor;
    } cases[] = {{0, 1}, {33, 1}, {34, 2}, {67, 2}, {68, 3}, {100, 3}};
    int normal = 0;
    for (const auto& c : cases) {
        Place(tarvo(), {150, 400});
        g_system->panelInterface->speedPercent = c.percent;
        tarvo().WalkTo(150 + 200, 400);
        const int passes = TickUntilStill();
        if (c.factor == 1) normal = passes;
        EXPECT_NEAR(passes, normal / c.factor, 1) << c.percent;
        EXPECT_EQ(Feet(tarvo()), (Point{350, 400}));
    }
}

TEST_F(Walking, StoppingLeavesTheCharacterStandingWhereHeIsAndDropsTheRest) {
    Send(kDoor, USE);
    for (int i = 0; i < 40; ++i)
        Tick();
    ASSERT_EQ(tarvo().walking, 1);
    const Point midway = Feet(tarvo());
    world.trace.clear();
    tarvo().StopWalk();
    EXPECT_EQ(tarvo().walking, 0);
    EXPECT_EQ(tarvo().busy, 0);
    EXPECT_EQ(tarvo().resourceId, 200);
    EXPECT_EQ(Feet(tarvo()), midway);
    EXPECT_TRUE(world.Traced("Warning 1: Tarvo->after_walk is lost!\n"));
    EXPECT_TRUE(world.Traced("Warning 2: Tarvo->after_walk is lost!\n"));
    for (int i = 0; i < 10; ++i)
        Tick();
    EXPECT_EQ(g_system->currentRoom, &world.Obj(kHall)); // the GOTO never comes
}

TEST_F(Walking, AFloorClickDropsTheDoorAndStopsVarnagelWhoFollowedToIt) {
    // WALKTO with a room change waiting: Varnagel walks to the door too.
    world.Obj(kDoor).reactions[0]->messages[0].type = WALKTO;
    Send(kDoor, USE);
    ASSERT_EQ(tarvo().walking, 1);
    ASSERT_EQ(varnagel().walking, 1);
    for (int i = 0; i < 10; ++i)
        Tick();
    g_system->cursor->SelectMode(kCursorWalk);
    g_system->mainInterface->OnLeftClick(120, 440);
    EXPECT_EQ(tarvo().AfterWalk(), nullptr);
    EXPECT_EQ(varnagel().walking, 0);
    TickUntilStill();
    EXPECT_EQ(Feet(tarvo()), (Point{120, 440}));
    EXPECT_EQ(g_system->currentRoom, &world.Obj(kHall));
}

TEST_F(Walking, WithoutARoomChangeTheCharacterStandsOnArrival) {
    QReaction rest;
    rest.messages = {QMessage(kDoor, WALK, 0, 0, 0), QMessage(kDoor, HIDE, 0, 0, 0)};
    tarvo().SetAfterWalk(0, rest, &world.Obj(kDoor));
    tarvo().WalkTo(200, 440);
    while (tarvo().walking)
        tarvo().Update(20);
    EXPECT_EQ(tarvo().resourceId, 200); // at once, before the rest has run
    EXPECT_EQ(world.Obj(kDoor).visible, 1);
    g_system->DispatchQueue();
    g_system->DispatchQueue();
    EXPECT_EQ(world.Obj(kDoor).visible, 0);
}

TEST_F(Walking, EveryRoomEntryLoadsBothWalkAreas) {
    EXPECT_EQ(tarvo().Walker()->AreaName(), "hall.cvx");
    EXPECT_EQ(varnagel().Walker()->AreaName(), "hall.cvx");
    EXPECT_EQ(tarvo().Walker()->Area().convexes.size(), 3u);
    Send(kYard, GOTO);
    EXPECT_TRUE(tarvo().Walker()->Area().Empty()); // the yard has none: straight walks
    EXPECT_TRUE(varnagel().Walker()->Area().Empty());
    // A new base animation makes a new walker, which loads the current room's area.
    g_system->mainInterface->ChangeBG(kHall);
    Send(1, QM_BASEANIM, 300);
    EXPECT_EQ(varnagel().Walker()->AreaName(), "hall.cvx");
}
