// Delivery of queued messages: order, busy targets, unknown targets, look-ups.
#include <gtest/gtest.h>

#include "interfaces/QObjectCase.h"
#include "interfaces/QObjectStar.h"
#include "support/World.h"

using testing_support::ScriptBuilder;
using testing_support::TestWorld;

namespace {

// Object 10 reacts to LOOK by sending USE to 11, which reacts to USE by sending TAKE to 12.
ScriptBuilder Chain() {
    ScriptBuilder s;
    s.Object(10, "A");
    s.Object(11, "B");
    s.Object(12, "C");
    ScriptBuilder::Send(s.On(10, LOOK), 11, USE);
    ScriptBuilder::Send(s.On(11, USE), 12, TAKE);
    return s;
}

} // namespace

TEST(Dispatch, MessagesPostedDuringAPassAreDeliveredInTheSamePass) {
    TestWorld t;
    QSystem& w = t.Load(Chain());
    w.Post(10, LOOK, 0, 0, 0, 0, nullptr);
    w.DispatchQueue();
    EXPECT_TRUE(w.queue.empty());
    EXPECT_TRUE(t.Traced("TAKE            0     \"C\" \t\"B\"\n"));
}

TEST(Dispatch, BusyTargetsKeepTheirMessagesInOrderWhileOthersPass) {
    TestWorld t;
    QSystem& w = t.Load(Chain());
    QMessageObject& b = t.Obj(11);
    b.busy = 1;
    w.Post(11, STATUS, 1, 0, 0, 0, nullptr);
    w.Post(11, STATUS, 2, 0, 0, 0, nullptr);
    w.Post(12, STATUS, 7, 0, 0, 0, nullptr);
    w.DispatchQueue();
    EXPECT_EQ(t.Obj(12).status, 7);
    EXPECT_EQ(b.status, 0);
    EXPECT_EQ(t.Queued(11), (std::vector<uint16_t>{STATUS, STATUS}));
    b.busy = 0;
    w.DispatchQueue();
    EXPECT_EQ(b.status, 2); // both delivered, in their order
}

TEST(Dispatch, MessagesToUnknownIdsStayQueued) {
    TestWorld t;
    QSystem& w = t.Load(Chain());
    w.Post(999, LOOK, 0, 0, 0, 0, nullptr);
    w.DispatchQueue();
    w.DispatchQueue();
    EXPECT_EQ(t.Queued(999).size(), 1u);
}

TEST(Dispatch, TotalInitGoesToScriptObjectsOnly) {
    ScriptBuilder s = Chain();
    s.Room(100, "Hall");
    for (uint16_t id : {0, 1, 10, 11, 12, 100})
        ScriptBuilder::Send(s.On(id, TOTALINIT), id, STATUS, 9);
    s.On(4097, TOTALINIT);
    TestWorld t;
    QSystem& w = t.Load(s);
    for (uint16_t id : {0, 1, 10, 11, 12, 100})
        EXPECT_EQ(t.Obj(id).status, 9) << id;
    EXPECT_EQ(w.cursor->status, 0);
    EXPECT_EQ(w.loading, 0); // cleared once the main interface has started
    // The engine's own objects follow the script's in the world list.
    ASSERT_EQ(w.objects.size(), 9u);
    EXPECT_EQ(w.objects[6], w.cursor.get());
    EXPECT_EQ(w.objects[7], w.inventoryCase.get());
    EXPECT_EQ(w.objects[8], w.actionMenu.get());
}

TEST(Dispatch, LookUpsTakeTheFirstMatchAndNamesAreCaseSensitive) {
    ScriptBuilder s = Chain();
    s.Object(10, "Duplicate");
    TestWorld t;
    QSystem& w = t.Load(s);
    EXPECT_EQ(w.FindById(10)->name, "A");
    EXPECT_EQ(w.FindByName("B"), w.FindById(11));
    EXPECT_EQ(w.FindByName("b"), nullptr);
    EXPECT_EQ(w.FindById(4097), w.cursor.get());
}

TEST(Dispatch, EngineObjectsHaveTheirFixedValues) {
    TestWorld t;
    QSystem& w = t.Load(Chain());
    EXPECT_EQ(w.cursor->id, 4097);
    EXPECT_EQ(w.cursor->z, 1000);
    EXPECT_EQ(w.cursor->resourceId, 5002);
    EXPECT_EQ(w.cursor->depthFromFrame, 0);
    EXPECT_EQ(w.actionMenu->id, 4098);
    EXPECT_EQ(w.actionMenu->z, 999);
    EXPECT_EQ(w.actionMenu->visible, 0);
    EXPECT_EQ(w.inventoryCase->id, 4099);
    EXPECT_EQ(w.inventoryCase->z, 980);
    EXPECT_EQ(w.inventoryCase->resourceId, 6000);
    EXPECT_EQ(w.tarvo.x, 574);
    EXPECT_EQ(w.tarvo.z, 200);
    EXPECT_EQ(w.varnagel.x, 477);
    EXPECT_EQ(w.varnagel.y, 350);
    EXPECT_EQ(w.varnagel.scaledImageId, -6);
    EXPECT_EQ(w.varnagel.cameraFollows, 0);
    EXPECT_TRUE(w.varnagel.IsKindOf(RUNTIME_CLASS(QObjectTarvo)));
    EXPECT_FALSE(w.tarvo.IsKindOf(RUNTIME_CLASS(QObjectVarnagel)));
    EXPECT_EQ(w.currentInterface, reinterpret_cast<QInterface*>(w.mainInterface.get()));
}

TEST(Dispatch, DestructionTracesInOrder) {
    std::vector<std::string> lines;
    {
        TestWorld t;
        t.Load(Chain());
        delete g_system;
        g_system = nullptr;
        lines = t.trace;
    }
    auto at = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) - lines.begin();
    };
    EXPECT_LT(at("~QSystem\n"), at("~QObjectCase\n"));
    EXPECT_LT(at("~QObjectCase\n"), at("~QObjectStar\n"));
    EXPECT_LT(at("~QObjectStar\n"), at("~QObjectCursor\n"));
    EXPECT_LT(at("~QObjectCursor\n"), at("~QInterfaceMain\n"));
    EXPECT_LT(at("~QInterfaceMain\n"), at("~QInterfaceSequence\n"));
    EXPECT_LT(at("~QInterfaceSequence\n"), at("~QInterfacePanel\n"));
    EXPECT_LT(at("~QInterfacePanel\n"), at("~QInterfaceMap\n"));
    EXPECT_LT(at("~QInterfaceMap\n"), at("~QObjectTarvo\n"));
    EXPECT_LT(at("~QObjectTarvo\n"), static_cast<long>(lines.size()));
}
