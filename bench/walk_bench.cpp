// Walking: the path search across a walk area of 64 convexes, and one frame of two scaled
// characters walking (their step, depth and scaled drawing), beside the memcpy of one frame.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FrameCopy.h"
#include "core/QSystem.h"
#include "graphics/QFlic.h"
#include "graphics/QVideoSystem.h"
#include "platform/Display.h"
#include "resources/QManager.h"
#include "walk/PathSearch.h"
#include "walk/Walk.h"
#include "walk/WalkText.h"

using platform::Point;
using platform::Rect;

namespace {

constexpr int kColumns = 64;

// A comb: 64 columns 9 pixels wide standing on a band, every other one a tall tooth. The
// line from the top of the first tooth to the top of the last crosses every gap between
// teeth, so the search goes through all 64 convexes (one per column).
std::string CombText() {
    auto x = [](int i) { return 20 + 9 * i; };
    auto top = [](int i) { return i % 2 == 0 ? 100 : 300; };
    std::vector<Point> points{{x(0), 340}, {x(0), top(0)}};
    for (int i = 0; i < kColumns; ++i) {
        points.push_back({x(i + 1), top(i)});
        if (i + 1 < kColumns) points.push_back({x(i + 1), top(i + 1)});
    }
    for (int i = kColumns; i >= 1; --i)
        points.push_back({x(i), 340});
    std::map<std::pair<int, int>, size_t> index;
    std::string text;
    auto number = [&text](int64_t v) {
        text += ' ';
        text += std::to_string(v);
    };
    for (size_t p = 0; p < points.size(); ++p) {
        index[{points[p].x, points[p].y}] = p;
        text += "point";
        number(points[p].x);
        number(points[p].y);
        text += '\n';
    }
    text += "outline\n";
    for (int i = 0; i < kColumns; ++i) {
        std::vector<Point> loop{{x(i), top(i)}, {x(i + 1), top(i)}};
        if (top(i) < 300 && i + 1 < kColumns) loop.push_back({x(i + 1), 300});
        loop.push_back({x(i + 1), 340});
        loop.push_back({x(i), 340});
        if (top(i) < 300 && i > 0) loop.push_back({x(i), 300});
        text += "convex points";
        for (const Point& p : loop)
            number(static_cast<int64_t>(index.at({p.x, p.y})));
        text += '\n';
    }
    return text;
}

void BM_FindPathThrough64Convexes(benchmark::State& state) {
    walk::WalkArea area;
    std::string error;
    if (!walk::WalkAreaFromText(CombText(), area, error) || area.convexes.size() != kColumns) {
        error.insert(0, "the comb does not build: ");
        state.SkipWithError(error.c_str());
        return;
    }
    walk::PathSearch search(area, [](const std::string&) {});
    const Point from{24, 110}, to{20 + 9 * 62 + 4, 110};
    size_t points = 0;
    for (auto _ : state) {
        const walk::Path path = search.FindPath(from, to);
        points = path.points.size();
        benchmark::DoNotOptimize(points);
    }
    state.counters["path points"] = static_cast<double>(points);
}

// Two characters walking back and forth across a room with a perspective, drawn scaled: the
// walk files in a temporary folder, the animations made in memory.
struct WalkingScene {
    WalkingScene() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarvo-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        std::ofstream("resource.qrc") << "1 = room.bmp\n200 == hero.flc\n"
                                      << WalkEntries(210) << "300 == hero.flc\n"
                                      << WalkEntries(310);
        for (const walk::Direction& d : walk::kDirections)
            WriteTables(std::string("hero") + d.suffix, d.angle);
        std::string error;
        platform::DisplayOptions options;
        options.headless = true;
        display = platform::Display::Create(options, error);
        video.Init(display.get());
        g_video = &video;
        manager = std::make_unique<QManager>();
        g_manager = manager.get();
        world = std::make_unique<QSystem>();
        g_system = world.get();
        for (int32_t id : {200, 300})
            for (int32_t a = id; a <= id + 17; ++a)
                manager->Adopt(a, Frames());
        room.name = "Room";
        room.resourceId = 1;
        world->currentRoom = &room;
        world->perspectives["Room"] = RoomPerspective{0.6, 0.5, 200, 480, 1.1};
        for (QObjectTarvo* c : {&world->tarvo, static_cast<QObjectTarvo*>(&world->varnagel)}) {
            QMessage base(c->id, QM_BASEANIM, static_cast<uint16_t>(c == &world->tarvo ? 200 : 300),
                          0, 0);
            c->HandleMessage(base);
        }
        world->tarvo.SetPos(60, 300);
        world->varnagel.SetPos(580, 460);
    }
    ~WalkingScene() {
        world.reset();
        g_system = nullptr;
        manager.reset();
        g_manager = nullptr;
        g_video = nullptr;
        std::filesystem::current_path(previous);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    static std::string WalkEntries(int first) {
        std::string text;
        for (int d = 0; d < walk::kDirectionCount; ++d) {
            text += std::to_string(first + d);
            text += " == hero";
            text += walk::kDirections[static_cast<size_t>(d)].suffix;
            text += "flc\n";
        }
        return text;
    }
    // 8 frames moving 10 pixels each along the direction (and one to the right, so that the
    // walks up and down can turn onto a path), the feet at (55, 190).
    static void WriteTables(const std::string& stem, double angle) {
        walk::StepTable off, leg;
        off.header = leg.header = 0;
        const Point step{static_cast<int32_t>(std::lround(10 * std::cos(angle)) + 1),
                         static_cast<int32_t>(std::lround(-10 * std::sin(angle)))};
        off.records.assign(9, step);
        leg.records.assign(9, Point{55, 190});
        for (const auto& [name, table] : {std::pair{stem + "off", &off}, {stem + "leg", &leg}}) {
            const std::vector<uint8_t> bytes = walk::WriteStepTable(*table);
            std::ofstream(name, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
    }
    static std::unique_ptr<QFlic> Frames() {
        std::vector<platform::Surface> frames;
        std::vector<std::vector<Rect>> masks;
        for (int f = 0; f < 8; ++f) {
            platform::Surface s(110, 210);
            s.Fill(0xF81F);
            s.Fill(Rect{30, 10 + f, 80, 190}, static_cast<platform::Pixel>(0x07E0 + f));
            frames.push_back(std::move(s));
            masks.push_back({Rect{30, 10, 80, 100}, Rect{30, 100, 80, 198}});
        }
        return QFlic::FromFrames(std::move(frames), 100, 0xF81F, masks, masks);
    }
    // One frame of 40 ms: both characters step (a frame of their walk at the default speed),
    // turning back at the ends, then take their depth and are drawn into the dirty areas.
    void Frame() {
        for (QObjectTarvo* c : {&world->tarvo, static_cast<QObjectTarvo*>(&world->varnagel)}) {
            if (!c->walking) {
                c->WalkTo(c->footX < 320 ? 580 : 60, c->footY < 380 ? 460 : 300);
                ++walks;
            }
            c->Update(40);
            c->UpdateDepth();
        }
        world->tarvo.Draw(*video.Back());
        world->varnagel.Draw(*video.Back());
        video.InvalidateAll(); // keeps the dirty list from growing; the characters add theirs
    }

    int walks = 0;
    std::string folder;
    std::filesystem::path previous;
    std::unique_ptr<platform::Display> display;
    QVideoSystem video;
    std::unique_ptr<QManager> manager;
    std::unique_ptr<QSystem> world;
    QObjectBG room;
};

void BM_StepTwoWalkingScaledCharacters(benchmark::State& state) {
    WalkingScene scene;
    int frames = 0;
    for (auto _ : state) {
        scene.Frame();
        ++frames;
    }
    // Frames per walk started (of either character): they really walk across the room.
    state.counters["frames per walk"] = frames / std::max(scene.walks, 1);
}

} // namespace

BENCHMARK(BM_MemcpyFrame);
BENCHMARK(BM_FindPathThrough64Convexes);
BENCHMARK(BM_StepTwoWalkingScaledCharacters);
