// Frame composition: 30 animated, colour-keyed sprites over a room picture, redrawn by
// their small change rectangles, and the same screen redrawn whole; a memcpy of one
// 640x480x2 frame beside them for scale.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "FrameCopy.h"
#include "core/QSystem.h"
#include "graphics/QFlic.h"
#include "graphics/QVideoSystem.h"
#include "interfaces/QInterface.h"
#include "platform/Clock.h"
#include "platform/Display.h"
#include "resources/QManager.h"

using platform::Rect;
using platform::Surface;

namespace {

constexpr int kSprites = 30;
constexpr int kSpriteSize = 48;

std::unique_ptr<QFlic> Sprite(int seed) {
    std::vector<Surface> frames;
    std::vector<std::vector<Rect>> masks;
    for (int f = 0; f < 2; ++f) {
        Surface s(kSpriteSize, kSpriteSize);
        for (int y = 0; y < kSpriteSize; ++y)
            for (int x = 0; x < kSpriteSize; ++x) {
                const int dx = x - 24, dy = y - 24;
                const bool inside = dx * dx + dy * dy < 22 * 22;
                s.Set(x, y,
                      inside ? static_cast<platform::Pixel>(seed * 977 + x * 31 + y + f) : 0xF81F);
            }
        frames.push_back(std::move(s));
        masks.push_back({Rect{2, 2, 46, 46}});
    }
    return QFlic::FromFrames(std::move(frames), 1, 0xF81F, masks, masks);
}

// A world with one room and 30 sprites on the current interface, drawn by a headless display.
struct Scene {
    Scene() : clock(20) {
        platform::SetClock(&clock);
        std::string error;
        platform::DisplayOptions options;
        options.headless = true;
        display = platform::Display::Create(options, error);
        video.Init(display.get());
        g_video = &video;
        g_manager = &manager;
        g_system = &world;
        Surface* picture = manager.CreatePicture(1, 640, 480);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                picture->Set(x, y, static_cast<platform::Pixel>(x ^ y));
        room.resourceId = 1;
        ui.objects.push_back(&room);
        for (int i = 0; i < kSprites; ++i) {
            manager.Adopt(100 + i, Sprite(i));
            auto o = std::make_unique<QObject>();
            o->resourceId = 100 + i;
            o->x = 20 + (i % 6) * 100;
            o->y = 20 + (i / 6) * 90;
            ui.objects.push_back(o.get());
            sprites.push_back(std::move(o));
        }
        world.currentInterface = &ui;
    }
    ~Scene() {
        world.currentInterface = nullptr;
        g_system = nullptr;
        g_manager = nullptr;
        g_video = nullptr;
        platform::SetClock(nullptr);
    }
    void Frame() {
        clock.Advance();
        video.RenderFrame();
    }

    platform::VirtualClock clock;
    std::unique_ptr<platform::Display> display;
    QVideoSystem video;
    QManager manager;
    QSystem world;
    QInterface ui;
    QObjectBG room;
    std::vector<std::unique_ptr<QObject>> sprites;
};

void BM_RenderSpritesSmallDirtyAreas(benchmark::State& state) {
    Scene scene;
    scene.Frame(); // the first frame is drawn whole
    for (auto _ : state)
        scene.Frame();
}

void BM_RenderFullRedraw(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        scene.video.InvalidateAll();
        scene.Frame();
    }
}

} // namespace

BENCHMARK(BM_MemcpyFrame);
BENCHMARK(BM_RenderSpritesSmallDirtyAreas);
BENCHMARK(BM_RenderFullRedraw);
