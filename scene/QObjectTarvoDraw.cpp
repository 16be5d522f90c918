// How the characters look: perspective scale, the scaled picture, the animation clock, the
// hit test and the depth.
#include <algorithm>
#include <cmath>

#include "core/QSystem.h"
#include "graphics/QFlic.h"
#include "graphics/QVideoSystem.h"
#include "platform/Display.h"
#include "platform/Surface.h"
#include "resources/QManager.h"
#include "scene/QObjectTarvo.h"
#include "screens/QInterfacePanel.h"
#include "walk/Walk.h"

using platform::Rect;

namespace {

constexpr int32_t kStandStill = -10000; // the standing animation rests on its first frame
constexpr int kFrameTimeWithoutAnimation = 100;

int32_t ScrollOffset() {
    return g_system != nullptr ? g_system->scrollOffset : 0;
}

int32_t Scaled(double scale, int size) {
    return static_cast<int32_t>(std::trunc(scale * size));
}

} // namespace

int GameSpeedPercent() {
    if (g_system == nullptr || !g_system->panelInterface) return 100;
    return g_system->panelInterface->speedPercent;
}

double QObjectTarvo::GetScale(int row) const {
    if (g_system == nullptr || g_system->currentRoom == nullptr) return 1.0;
    const RoomPerspective* p = g_system->PerspectiveOf(g_system->currentRoom->name);
    if (p == nullptr) return 1.0;
    // Equal rows would divide by zero: the whole room then has the bottom row's scale.
    double s = p->scaleGradient;
    if (p->bottomRow != p->topRow)
        s = p->scaleGradient * (std::min(row, 480) - p->topRow) / (p->bottomRow - p->topRow);
    return std::min(p->scaleBase + std::max(s, 0.0), p->scaleMax);
}

Rect QObjectTarvo::ScreenRect() const {
    const int left = x - ScrollOffset();
    return Rect{left, y, left + scaledWidth, y + scaledHeight};
}

void QObjectTarvo::MarkShownArea() const {
    if (g_video != nullptr) g_video->AddDirtyRect(ScreenRect());
    RehoverIfPointerIn(Rect{x, y, x + scaledWidth, y + scaledHeight});
}

void QObjectTarvo::SetPos(int newX, int newY) {
    newY = std::min(newY, 480);
    MarkShownArea();
    scale = GetScale(newY);
    const QFlic* flic = Animation();
    scaledWidth = Scaled(scale, flic != nullptr ? flic->Width() : 0);
    scaledHeight = Scaled(scale, flic != nullptr ? flic->Height() : 0);
    footX = newX;
    footY = newY;
    x = newX - scaledWidth / 2;
    y = newY - scaledHeight;
    FollowCamera(newX);
    MarkShownArea();
}

void QObjectTarvo::Update(int elapsedMs) {
    if (!animate) return;
    if (walking) elapsedMs *= GameSpeedPercent() / 34 + 1;
    frameClock += elapsedMs;
    QFlic* flic = Animation();
    // A walk goes on even without a walk animation to show, so that it always ends.
    if (flic != nullptr && flic->IsStill() && !walking) return;
    if (flic == nullptr && !walking) return;
    const int frameTime =
        std::max(flic != nullptr ? flic->FrameTime() : kFrameTimeWithoutAnimation, 1);
    while (frameClock >= frameTime) {
        if (QFlic* current = Animation(); current != nullptr && !current->IsStill()) {
            current->SetFrame(-1);
            const int frame = current->CurrentFrame();
            const auto animation = static_cast<uint16_t>(resourceId);
            if (frame == current->FrameCount())
                g_system->Post(id, END, animation, 0, 0, 0, nullptr);
            if (frame == current->FrameCount() / 2)
                g_system->Post(id, HALF, animation, 0, 0, 0, nullptr);
            if (standing && frame == 1) frameClock = kStandStill;
        }
        WalkTick();
        frameClock -= frameTime;
        if (g_video != nullptr) g_video->AddDirtyRect(ScreenRect());
    }
    // A character walking under a still pointer: a fresh mouse move keeps the hover right.
    if (g_directDraw != nullptr) {
        const platform::Point p = g_directDraw->PointerPosition();
        if (HitTest(p.x + ScrollOffset(), p.y)) g_directDraw->PostPointerMove();
    }
}

void QObjectTarvo::UpdateDepth() {
    if (!animate || !visible || !depthFromFrame) return;
    if (walking && walker_) {
        z = walker_->GetPosition().y;
        return;
    }
    const QFlic* flic = Animation();
    z = y + Scaled(scale, flic != nullptr ? flic->Height() : 0);
}

int QObjectTarvo::HitTest(int px, int py) {
    if (!active || g_manager == nullptr || !g_manager->IsLoaded(scaledImageId)) return 0;
    platform::Surface* image = g_manager->GetPicture(scaledImageId);
    const QFlic* flic = Animation();
    if (image == nullptr || flic == nullptr) return 0;
    const int fx = px - x, fy = py - y;
    if (!Rect{0, 0, scaledWidth, scaledHeight}.Contains(fx, fy)) return 0;
    if (fx >= image->Width() || fy >= image->Height()) return 0;
    image->Lock();
    const platform::Pixel pixel = image->At(fx, fy);
    image->Unlock();
    return pixel != flic->ColorKey() ? 1 : 0;
}

void QObjectTarvo::Draw(platform::Surface& target) {
    if (!visible || resourceId == -1 || g_manager == nullptr || g_video == nullptr) return;
    const QFlic* flic = Animation();
    if (flic == nullptr || flic->Surface() == nullptr) return;
    const int32_t w = Scaled(scale, flic->Width()), h = Scaled(scale, flic->Height());
    if (w != scaledWidth || h != scaledHeight || !g_manager->IsLoaded(scaledImageId)) {
        g_manager->FreeResource(scaledImageId);
        scaledWidth = w;
        scaledHeight = h;
        g_manager->CreatePicture(scaledImageId, w, h);
    }
    platform::Surface* image = g_manager->GetPicture(scaledImageId);
    if (image == nullptr || w <= 0 || h <= 0) return;
    image->SetColorKey(flic->ColorKey());
    image->Blt(Rect{0, 0, w, h}, *flic->Surface(), Rect{0, 0, flic->Width(), flic->Height()});

    const int32_t scroll = ScrollOffset();
    // The clip box leaves out the scaled image's last column and row.
    const Rect clip{std::max(scroll, x), y < 1 ? 0 : y, std::min(x + w - 1, scroll + 640),
                    y + h - 1 > 479 ? 480 : y + h - 1};
    for (const Rect& dirty : g_video->DirtyRects())
        for (const Rect& m : flic->FrameRects(kMaskRects)) {
            const Rect scaled{Scaled(scale, m.left) + x, y + Scaled(scale, m.top),
                              Scaled(scale, m.right) + x, y + Scaled(scale, m.bottom)};
            const Rect part = platform::Intersect(
                platform::Intersect(scaled, platform::Offset(dirty, scroll, 0)), clip);
            if (part.IsEmpty()) continue;
            target.BltFast(part.left - scroll, part.top, *image, platform::Offset(part, -x, -y),
                           platform::kBltSrcColorKey | platform::kBltWait);
        }
}
