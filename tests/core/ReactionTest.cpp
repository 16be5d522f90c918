// Matching reactions, CHECK and IF, and the continuations that wait for a walk, a dialogue or
// the end of an animation.
#include <gtest/gtest.h>

#include "interfaces/QInterfaceMain.h"
#include "support/World.h"

using testing_support::ScriptBuilder;
using testing_support::TestWorld;
using testing_support::UseOneLineDialogue;

namespace {

constexpr uint16_t kDoor = 10;
constexpr uint16_t kLamp = 11;
constexpr uint16_t kHall = 100;

ScriptBuilder Base() {
    ScriptBuilder s;
    s.Object(kDoor, "Door");
    s.Object(kLamp, "Lamp");
    s.Room(kHall, "Hall");
    return s;
}

void Deliver(QSystem& w, uint16_t target, uint16_t type, uint16_t p1 = 0, uint16_t p2 = 0,
             QMessageObject* sender = nullptr) {
    w.Post(target, type, p1, p2, 0, 0, sender);
    w.DispatchQueue();
}

} // namespace

TEST(Reactions, AllMatchingReactionsRunInScriptOrder) {
    ScriptBuilder s = Base();
    ScriptBuilder::Send(s.On(kDoor, LOOK), kLamp, STATUS, 1);
    ScriptBuilder::Send(s.On(kDoor, LOOK), kLamp, STATUS, 2);
    TestWorld t;
    QSystem& w = t.Load(s);
    Deliver(w, kDoor, LOOK);
    EXPECT_EQ(t.Obj(kLamp).status, 2);
    EXPECT_EQ(t.Obj(kDoor).handled, 1);
}

TEST(Reactions, StatusAndSenderConditionsSelectReactions) {
    ScriptBuilder s = Base();
    ScriptBuilder::Send(s.On(kDoor, USE, 3), kLamp, STATUS, 30);         // door status 3 only
    ScriptBuilder::Send(s.On(kDoor, USE, -1, kLamp), kLamp, ANIMATE, 0); // sender lamp only
    TestWorld t;
    QSystem& w = t.Load(s);
    Deliver(w, kDoor, USE);
    EXPECT_EQ(t.Obj(kLamp).status, 0);
    EXPECT_EQ(t.Obj(kLamp).animate, 1);
    t.Obj(kDoor).status = 3;
    Deliver(w, kDoor, USE, 0, 0, &t.Obj(kLamp));
    EXPECT_EQ(t.Obj(kLamp).status, 30);
    EXPECT_EQ(t.Obj(kLamp).animate, 0);
}

TEST(Reactions, CheckStopsTheReactionWithoutBeingPosted) {
    ScriptBuilder s = Base();
    auto& r = s.On(kDoor, LOOK);
    ScriptBuilder::Send(r, kLamp, CHECK, 3);
    ScriptBuilder::Send(r, kLamp, HIDE);
    TestWorld t;
    QSystem& w = t.Load(s);
    t.Obj(kLamp).status = 2;
    w.Post(kDoor, LOOK, 0, 0, 0, 0, nullptr);
    w.DispatchQueue();
    EXPECT_EQ(t.Obj(kLamp).visible, 1);
    EXPECT_FALSE(t.Traced("CHECK           3     \"Lamp\" \t\"Door\"\n"));
    t.Obj(kLamp).status = 3;
    Deliver(w, kDoor, LOOK);
    EXPECT_EQ(t.Obj(kLamp).visible, 0);
    EXPECT_TRUE(t.Traced("CHECK           3     \"Lamp\" \t\"Door\"\n"));
}

TEST(Reactions, CheckOfAMissingObjectFails) {
    ScriptBuilder s = Base();
    auto& r = s.On(kDoor, LOOK);
    ScriptBuilder::Send(r, 555, CHECK, 0);
    ScriptBuilder::Send(r, kLamp, HIDE);
    TestWorld t;
    Deliver(t.Load(s), kDoor, LOOK);
    EXPECT_EQ(t.Obj(kLamp).visible, 1);
}

TEST(Reactions, IfComparesTheArgumentsThatAreNotWildcards) {
    ScriptBuilder s = Base();
    auto& r = s.On(kDoor, USE);
    ScriptBuilder::Send(r, kDoor, IF, 5, 0xFFFF, -1);
    ScriptBuilder::Send(r, kLamp, HIDE);
    TestWorld t;
    QSystem& w = t.Load(s);
    Deliver(w, kDoor, USE, 4, 77);
    EXPECT_EQ(t.Obj(kLamp).visible, 1);
    Deliver(w, kDoor, USE, 5, 77);
    EXPECT_EQ(t.Obj(kLamp).visible, 0);
}

TEST(Continuations, DialogParksTheRestUntilTheDialogueEnds) {
    ScriptBuilder s = Base();
    auto& r = s.On(kDoor, TALK);
    ScriptBuilder::Send(r, kDoor, DIALOG, 7);
    ScriptBuilder::Send(r, kLamp, HIDE);
    TestWorld t;
    UseOneLineDialogue(kDoor, TALK);
    QSystem& w = t.Load(s);
    Deliver(w, kDoor, TALK);
    EXPECT_EQ(w.mainInterface->dialogue.number, 7);
    ASSERT_TRUE(g_afterDialogue);
    EXPECT_EQ(g_afterDialogue->messages.size(), 1u);
    EXPECT_EQ(t.Obj(kLamp).visible, 1);
    w.mainInterface->dialogue.StepDialogue(-1); // the line is over, and so is the dialogue
    EXPECT_FALSE(g_afterDialogue);
    w.DispatchQueue();
    EXPECT_EQ(t.Obj(kLamp).visible, 0);
}

TEST(Continuations, AHolderRefilledWhileItsContinuationRunsKeepsTheNewOne) {
    ScriptBuilder s = Base();
    auto& r = s.On(kDoor, TALK);
    ScriptBuilder::Send(r, kDoor, DIALOG, 1);
    ScriptBuilder::Send(r, kDoor, DIALOG, 2); // the continuation starts a second dialogue
    ScriptBuilder::Send(r, kLamp, HIDE);
    TestWorld t;
    UseOneLineDialogue(kDoor, TALK);
    QSystem& w = t.Load(s);
    Deliver(w, kDoor, TALK);
    w.RunReaction(&g_afterDialogue, &t.Obj(kDoor));
    ASSERT_TRUE(g_afterDialogue);
    ASSERT_EQ(g_afterDialogue->messages.size(), 1u);
    EXPECT_EQ(g_afterDialogue->messages[0].type, HIDE);
}

TEST(Continuations, Type53WaitsForTheEndOfThatAnimation) {
    ScriptBuilder s = Base();
    auto& r = s.On(kDoor, USE);
    ScriptBuilder::Send(r, kLamp, QM_SETWAIT, 120);
    ScriptBuilder::Send(r, kLamp, STATUS, 4);
    TestWorld t;
    QSystem& w = t.Load(s);
    Deliver(w, kDoor, USE);
    QMessageObject& lamp = t.Obj(kLamp);
    EXPECT_EQ(lamp.resourceId, 120); // the 53 itself switched the animation
    ASSERT_TRUE(lamp.deferredReaction);
    EXPECT_EQ(lamp.deferredKey, 120);
    Deliver(w, kLamp, END, 119);
    EXPECT_EQ(lamp.status, 0);
    Deliver(w, kLamp, END, 120);
    EXPECT_EQ(lamp.status, 4);
    EXPECT_FALSE(lamp.deferredReaction);
}

TEST(Continuations, WalkHandsTheRestToTheCharacterUntilHeArrives) {
    ScriptBuilder s = Base();
    auto& r = s.On(kDoor, LOOK);
    ScriptBuilder::Send(r, kDoor, SAY);
    ScriptBuilder::Send(r, kDoor, WALK);
    ScriptBuilder::Send(r, kHall, GOTO);
    TestWorld t;
    QSystem& w = t.Load(s);
    t.Obj(kDoor).walkX = 300;
    t.Obj(kDoor).walkY = 400;
    t.trace.clear();
    Deliver(w, kDoor, LOOK);
    // SAY and WALK go out at once; GOTO only once Tarvo has arrived and handles QM_WALKED.
    auto at = [&](const std::string& prefix) {
        for (size_t i = 0; i < t.trace.size(); ++i)
            if (t.trace[i].rfind(prefix, 0) == 0) return static_cast<long>(i);
        return -1L;
    };
    ASSERT_GE(at("WALK "), 0);
    EXPECT_LT(at("SAY"), at("WALK "));
    EXPECT_LT(at("WALK "), at("QM_WALKED"));
    EXPECT_LT(at("QM_WALKED"), at("GOTO"));
    // Without a walk cycle Tarvo is put at the walk point at once, so the rest runs.
    EXPECT_EQ(platform::Point(w.tarvo.footX, w.tarvo.footY), (platform::Point{300, 400}));
    EXPECT_EQ(w.tarvo.AfterWalk(), nullptr);
    EXPECT_EQ(w.currentRoom, static_cast<QObjectBG*>(&t.Obj(kHall)));
}

TEST(Continuations, QueuedWalkedWaitsWhileTheCharacterIsBusy) {
    ScriptBuilder s = Base();
    ScriptBuilder::Send(ScriptBuilder::Send(s.On(kDoor, USE), kDoor, WALKVARN), kLamp, HIDE);
    TestWorld t;
    QSystem& w = t.Load(s);
    const QReaction& reaction = *t.Obj(kDoor).reactions[0];
    w.varnagel.SetAfterWalk(0, reaction, &t.Obj(kDoor));
    w.varnagel.busy = 1; // walking
    w.DispatchQueue();
    ASSERT_NE(w.varnagel.AfterWalk(), nullptr);
    EXPECT_EQ(t.Queued(1), std::vector<uint16_t>{QM_WALKED});
    w.varnagel.busy = 0; // arrived
    w.DispatchQueue();
    EXPECT_EQ(w.varnagel.AfterWalk(), nullptr);
    w.DispatchQueue();
    EXPECT_EQ(t.Obj(kLamp).visible, 0);
}

TEST(Continuations, StopWalkDropsThePendingContinuationWithWarnings) {
    ScriptBuilder s = Base();
    ScriptBuilder::Send(ScriptBuilder::Send(s.On(kDoor, USE), kDoor, WALKVARN), kLamp, HIDE);
    TestWorld t;
    QSystem& w = t.Load(s);
    w.varnagel.SetAfterWalk(0, *t.Obj(kDoor).reactions[0], &t.Obj(kDoor));
    w.varnagel.busy = 1;
    w.varnagel.StopWalk();
    EXPECT_EQ(w.varnagel.AfterWalk(), nullptr);
    EXPECT_EQ(w.varnagel.busy, 0);
    EXPECT_TRUE(t.Traced("Warning 1: Varnagel->after_walk is lost!\n"));
    EXPECT_TRUE(t.Traced("Warning 2: Varnagel->after_walk is lost!\n"));
    EXPECT_TRUE(t.Queued(1).empty()); // the QM_WALKED was readdressed to nobody
    w.DispatchQueue();
    EXPECT_EQ(t.Obj(kLamp).visible, 1);
}

TEST(Continuations, WalkEffectOnlyWhenNoReactionTookTheMessage) {
    ScriptBuilder s = Base();
    ScriptBuilder::Send(s.On(kLamp, WALK), kLamp, STATUS, 1);
    TestWorld t;
    QSystem& w = t.Load(s);
    for (uint16_t id : {kDoor, kLamp}) {
        t.Obj(id).walkX = 100 + id;
        t.Obj(id).walkY = 200;
    }
    auto feet = [&] { return platform::Point{w.tarvo.footX, w.tarvo.footY}; };
    const platform::Point before = feet();
    Deliver(w, kLamp, WALK);
    EXPECT_EQ(feet(), before);
    Deliver(w, kDoor, WALK); // without a walk cycle Tarvo is put at the walk point at once
    EXPECT_EQ(feet(), (platform::Point{110, 200}));
    t.Obj(kDoor).walkX = -1;
    t.Obj(kLamp).walkX = 50;
    Deliver(w, kDoor, WALK);
    EXPECT_EQ(feet(), (platform::Point{110, 200})); // no walk point: no walk
}
