// How the characters look: the perspective scale, the scaled picture drawn in the dirty
// rectangles, the one-pixel hit test, the depth, and the animation clock.
#include "Walkers.h"

using namespace walk_world;

TEST_F(Walking, ThePerspectiveScalesByTheRowOfTheFeet) {
    const struct {
        RoomPerspective p;
        int row;
        double scale;
    } cases[] = {
        {{0.5, 0.5, 200, 400, 1.0}, 100, 0.5},  // above the top row: the base
        {{0.5, 0.5, 200, 400, 1.0}, 300, 0.75}, // half way
        {{0.5, 0.5, 200, 400, 0.9}, 400, 0.9},  // never above the largest
        {{0.5, 0.5, 200, 400, 2.0}, 700, 1.2},  // rows count up to 480
        {{0.6, 0.3, 300, 300, 2.0}, 100, 0.9},  // one row: the bottom row's scale everywhere
        {{0.6, -0.3, 300, 300, 2.0}, 400, 0.6},
    };
    for (const auto& c : cases) {
        g_system->perspectives["Hall"] = c.p;
        EXPECT_DOUBLE_EQ(tarvo().GetScale(c.row), c.scale) << c.row;
    }
    g_system->perspectives.erase("Hall");
    EXPECT_DOUBLE_EQ(tarvo().GetScale(300), 1.0); // a room without a perspective
}

TEST_F(Walking, TheScaledPictureIsDrawnAndHitWhereTheFeetAre) {
    g_system->perspectives["Hall"] = RoomPerspective{0.5, 0.0, 0, 480, 0.5};
    Place(tarvo(), {200, 600}); // below the screen: the feet go to its last row
    EXPECT_EQ(Feet(tarvo()), (Point{200, 480}));
    Place(tarvo(), {200, 400});
    EXPECT_EQ(tarvo().scaledWidth, 10);
    EXPECT_EQ(tarvo().scaledHeight, 20);
    EXPECT_EQ(Point(tarvo().x, tarvo().y), (Point{195, 380}));
    tarvo().UpdateDepth();
    EXPECT_EQ(tarvo().z, 400);

    platform::Surface back(640, 480);
    back.Fill(0x1234);
    world.video.InvalidateAll();
    tarvo().Draw(back);
    // The block, columns 4..15 of the frame, is columns 2..7 of the scaled picture.
    EXPECT_EQ(back.At(197, 390), kInk);
    EXPECT_EQ(back.At(202, 381), kInk);
    EXPECT_EQ(back.At(196, 390), 0x1234); // transparent
    EXPECT_EQ(back.At(199, 399), 0x1234); // the clip box leaves out the last row
    EXPECT_EQ(tarvo().HitTest(199, 390), 1);
    EXPECT_EQ(tarvo().HitTest(195, 390), 0);
    EXPECT_EQ(tarvo().HitTest(199, 401), 0);
    tarvo().active = 0;
    EXPECT_EQ(tarvo().HitTest(199, 390), 0);
}

TEST_F(Walking, TalkingSwitchesAnimationsAndPostsHalfAndEnd) {
    Send(0, SAY);
    EXPECT_EQ(tarvo().resourceId, 201);
    EXPECT_EQ(tarvo().standing, 0);
    g_system->queue.clear();
    std::vector<std::pair<uint16_t, int>> posted; // (type, frame)
    for (int frame = 2; frame <= 11; ++frame) {
        tarvo().Update(100);
        for (const QMessage& m : g_system->queue)
            if (m.target == 0) {
                posted.emplace_back(m.type, frame);
                EXPECT_EQ(m.param1, 201);
            }
        g_system->queue.clear();
    }
    // Ten frames: HALF on frame 5, END on frame 10 (the eleventh update shows frame 1).
    EXPECT_EQ(posted, (std::vector<std::pair<uint16_t, int>>{{HALF, 5}, {END, 10}}));
    Send(0, SAID);
    EXPECT_EQ(tarvo().resourceId, 200);
    EXPECT_EQ(tarvo().standing, 1);
}

TEST_F(Walking, AStandingAnimationRestsOnItsFirstFrameForTenSeconds) {
    g_manager->Adopt(200, Blocks(3));
    Send(0, SET, 200);
    QFlic& flic = *g_manager->GetFlic(200);
    tarvo().Update(100);
    tarvo().Update(100);
    EXPECT_EQ(flic.CurrentFrame(), 3);
    tarvo().Update(100);
    EXPECT_EQ(flic.CurrentFrame(), 1);
    for (int i = 0; i < 100; ++i)
        tarvo().Update(100);
    EXPECT_EQ(flic.CurrentFrame(), 1);
    tarvo().Update(100);
    tarvo().Update(100);
    EXPECT_EQ(flic.CurrentFrame(), 2);
}

TEST_F(Walking, WhileWalkingTheDepthIsTheRowOfTheWalkersFeet) {
    tarvo().WalkTo(150, 450);
    for (int i = 0; i < 12; ++i) {
        Tick();
        tarvo().UpdateDepth();
        EXPECT_EQ(tarvo().z, tarvo().Walker()->GetPosition().y);
        EXPECT_EQ(tarvo().z, tarvo().footY);
    }
}
