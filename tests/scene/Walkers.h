#pragma once
// A small game in which the characters can walk: two rooms with pictures and walk areas (the
// hall's is a U, the yard has none), a door in the hall that leads to the yard, and walk
// animations with their step tables that move 10 pixels a frame, 4 frames of 100 ms.
#include <gtest/gtest.h>

#include "core/BgFormat.h"
#include "core/QObjectCursor.h"
#include "graphics/QFlic.h"
#include "interfaces/QInterfaceMain.h"
#include "resources/QManager.h"
#include "screens/QInterfacePanel.h"
#include "support/Assets.h"
#include "support/WalkAreas.h"
#include "support/WalkCycles.h"
#include "support/World.h"
#include "walk/Walk.h"

namespace walk_world {

using namespace testing_support;
using platform::Point;
using platform::Rect;

constexpr uint16_t kDoor = 10, kHall = 100, kYard = 101;
constexpr platform::Pixel kKey = 0xF81F;
constexpr platform::Pixel kInk = 0x07E0;
constexpr int kFrameWidth = 20, kFrameHeight = 40;

// `count` frames of 20 x 40, a block of ink (a shade per frame) over the key colour.
inline std::unique_ptr<QFlic> Blocks(int count, int frameTime = 100) {
    std::vector<platform::Surface> frames;
    std::vector<std::vector<Rect>> masks, changes;
    for (int k = 0; k < count; ++k) {
        platform::Surface s(kFrameWidth, kFrameHeight);
        s.Fill(kKey);
        s.Fill(Rect{4, 0, 16, 40}, static_cast<platform::Pixel>(kInk + k));
        frames.push_back(std::move(s));
        masks.push_back({Rect{4, 0, 16, 40}});
        changes.push_back({Rect{4, 0, 16, 40}});
    }
    return QFlic::FromFrames(std::move(frames), frameTime, kKey, masks, changes);
}

inline std::string Qrc() {
    std::string qrc = "1 = hall.bmp\n2 = yard.bmp\n";
    for (int base : {200, 300}) {
        qrc += std::to_string(base) + " == hero.flc\n";
        qrc += std::to_string(base + 1) + " == hero-talk.flc\n";
        for (int d = 0; d < walk::kDirectionCount; ++d) {
            std::string suffix = walk::kDirections[static_cast<size_t>(d)].suffix;
            qrc += std::to_string(base + 10 + d) + " == hero" + suffix + "flc\n";
        }
    }
    return qrc;
}

class Walking : public ::testing::Test {
protected:
    Walking() : dir(true) {
        const auto text = [](const std::vector<uint8_t>& b) {
            return std::string(b.begin(), b.end());
        };
        dir.Write("resource.qrc", Qrc());
        WritePicture(dir, "hall.bmp", 640, 480, 40, 40, 40);
        WritePicture(dir, "yard.bmp", 640, 480, 60, 60, 60);
        dir.Write("hall.cvx", text(walk::WriteWalkArea(walk_testing::RoomU())));
        WriteUniformCycle(dir, "hero", 10, 4, Point{10, 40});
        dir.Write("bgs.ini", "[Settings]\nStartRoom=Hall\nHall=1.0 0.0 0 480 1.0\n"
                             "[Yard]\nHall=Gate\n");
        BgData bg;
        bg.rooms.push_back(BgRoom{kHall, 1, {{kDoor, 450, 150, 10, 470, 300}}});
        bg.rooms.push_back(BgRoom{kYard, 0, {}});
        dir.Write("backgrnd.bg", text(WriteBackgrounds(bg)));
        delete g_manager;
        g_manager = new QManager;
        for (int32_t cursor = 5002; cursor <= 5007; ++cursor)
            g_manager->Adopt(cursor, Blocks(1));
        for (int base : {200, 300}) {
            g_manager->Adopt(base, Blocks(1));
            g_manager->Adopt(base + 1, Blocks(10));
            for (int d = 0; d < walk::kDirectionCount; ++d)
                g_manager->Adopt(base + 10 + d, Blocks(4));
        }
        ScriptBuilder s;
        ScriptBuilder::Send(s.On(0, TOTALINIT), 0, QM_BASEANIM, 200);
        ScriptBuilder::Send(s.On(1, TOTALINIT), 1, QM_BASEANIM, 300);
        s.Object(kDoor, "Door");
        ScriptBuilder::Send(ScriptBuilder::Send(s.On(kDoor, USE), kDoor, WALK), kYard, GOTO);
        s.Room(kHall, "Hall");
        s.Room(kYard, "Yard");
        ScriptBuilder::Send(s.On(kHall, TOTALINIT), kHall, SET, 1);
        ScriptBuilder::Send(s.On(kYard, TOTALINIT), kYard, SET, 2);
        world.Load(s);
        Place(tarvo(), {150, 400});
        Place(varnagel(), {160, 420});
    }

    QObjectTarvo& tarvo() { return g_system->tarvo; }
    QObjectTarvo& varnagel() { return g_system->varnagel; }
    static Point Feet(const QObjectTarvo& c) { return Point{c.footX, c.footY}; }
    void Place(QObjectTarvo& c, Point p) {
        g_system->Post(c.id, QM_SETPOS, static_cast<uint16_t>(p.x), static_cast<uint16_t>(p.y), 0,
                       0, nullptr);
        g_system->DispatchQueue();
    }
    void Send(uint16_t target, uint16_t type, uint16_t param1 = 0) {
        g_system->Post(target, type, param1, 0, 0, 0, nullptr);
        g_system->DispatchQueue();
    }
    // One main-loop pass of `ms` for both characters, then the queue.
    void Tick(int ms = 20) {
        tarvo().Update(ms);
        varnagel().Update(ms);
        g_system->DispatchQueue();
    }
    // Passes until neither character walks; their count (at most `limit`).
    int TickUntilStill(int ms = 20, int limit = 5000) {
        int passes = 0;
        while ((tarvo().walking || varnagel().walking) && passes < limit) {
            Tick(ms);
            ++passes;
        }
        return passes;
    }
    int TraceCount(const std::string& prefix) const {
        int n = 0;
        for (const auto& line : world.trace)
            n += line.rfind(prefix, 0) == 0;
        return n;
    }

    TempDir dir;
    TestWorld world;
};

} // namespace walk_world
