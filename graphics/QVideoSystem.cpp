#include "graphics/QVideoSystem.h"

#include <algorithm>

#include "core/QSystem.h"
#include "core/QVisibleObject.h"
#include "interfaces/QInterfaceMain.h"
#include "platform/Clock.h"
#include "platform/Display.h"
#include "platform/Trace.h"

using platform::Rect;

platform::PixelShifts g_pixelShifts;
platform::Display* g_directDraw = nullptr;
QVideoSystem* g_video = nullptr;

namespace {
constexpr Rect kScreen{0, 0, platform::kScreenWidth, platform::kScreenHeight};
}

QVideoSystem::~QVideoSystem() {
    platform::Trace("~QVideoSystem\n");
    back_.reset();
    dirty_.clear();
    if (g_video == this) g_video = nullptr;
    g_directDraw = nullptr;
    display_ = nullptr;
}

int QVideoSystem::Init(platform::Display* display) {
    if (display == nullptr) return 0;
    display_ = display;
    g_directDraw = display;
    g_pixelShifts = platform::ShiftsFromFormat(display->Format());
    back_ = display->CreateSurface(platform::kScreenWidth, platform::kScreenHeight);
    if (!back_) return 0;
    lastFrameTime = platform::NowMs();
    dirty_.push_back(kScreen);
    return 1;
}

platform::Surface* QVideoSystem::Front() const {
    return display_ != nullptr ? &display_->Front() : nullptr;
}

void QVideoSystem::InvalidateAll() {
    dirty_.clear();
    dirty_.push_back(kScreen);
}

void QVideoSystem::AddDirtyRect(const Rect& rect) {
    dirty_.push_back(rect);
}

void QVideoSystem::Scroll() {
    QSystem& world = *g_system;
    if (world.currentInterface != world.mainInterface.get()) return;
    if (world.scrollOffset == world.scrollTarget) return;
    const int32_t max = world.roomWidth - platform::kScreenWidth;
    int32_t offset = world.scrollOffset;
    if (offset < world.scrollTarget && offset != max) {
        offset = std::min(offset + 4, world.scrollTarget);
    } else if (offset > 0 && offset > world.scrollTarget) {
        offset = std::max(offset - 4, world.scrollTarget);
    } else {
        return; // at a limit: no movement and no redraw
    }
    world.scrollOffset = std::max(0, std::min(offset, max));
    InvalidateAll();
}

void QVideoSystem::SortByDepth(std::vector<QVisibleObject*>& list) {
    // Selection sort taking the first strictly smaller entry: objects of equal depth keep the
    // order this leaves them in from frame to frame, which drawing and hit tests depend on.
    for (size_t i = 0; i < list.size(); ++i) {
        size_t smallest = i;
        for (size_t j = i + 1; j < list.size(); ++j)
            if (list[j]->z < list[smallest]->z) smallest = j;
        if (smallest != i) std::swap(list[i], list[smallest]);
    }
}

void QVideoSystem::RenderFrame() {
    const uint32_t now = platform::NowMs();
    const uint32_t frameStart = lastFrameTime;
    const int elapsed = static_cast<int>(now - frameStart);
    if (g_system != nullptr && g_system->currentInterface != nullptr) {
        QInterface& ui = *g_system->currentInterface;
        if (!g_system->paused) {
            Scroll();
            for (size_t i = static_cast<size_t>(std::max(ui.firstAnimated, 0));
                 i < ui.objects.size(); ++i)
                ui.objects[i]->Update(elapsed);
        }
        for (QVisibleObject* o : ui.objects)
            o->UpdateDepth();
        SortByDepth(ui.objects);
        ui.AfterUpdate();
        if (back_) // nothing to draw into before Init
            for (QVisibleObject* o : ui.objects)
                o->Draw(*back_);
    }
    dirty_.clear();
    if (lastFrameTime == frameStart) lastFrameTime = now;
    if (display_ != nullptr && back_) {
        display_->Front().BltFast(0, 0, *back_, kScreen, platform::kBltWait);
        display_->Present();
    }
}
