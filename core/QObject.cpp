#include "core/QObject.h"

#include "core/QObjectCursor.h"
#include "core/QSystem.h"
#include "graphics/QFlic.h"
#include "graphics/QVideoSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "platform/Display.h"
#include "platform/Surface.h"
#include "resources/QManager.h"
#include "sound/DSengine.h"

using platform::Rect;

TARVO_IMPLEMENT_CLASS(QObject, QMessageObject)

namespace {

int32_t ScrollOffset() {
    return g_system != nullptr ? g_system->scrollOffset : 0;
}

// The part of the room on screen, in room coordinates.
Rect VisibleRoomPart() {
    const int32_t scroll = ScrollOffset();
    return Rect{scroll, 0, scroll + platform::kScreenWidth, platform::kScreenHeight};
}

Rect UnionOf(const std::vector<Rect>& rects) {
    Rect all{};
    bool first = true;
    for (const Rect& r : rects) {
        if (r.IsEmpty()) continue;
        if (first) {
            all = r;
            first = false;
            continue;
        }
        all = Rect{std::min(all.left, r.left), std::min(all.top, r.top),
                   std::max(all.right, r.right), std::max(all.bottom, r.bottom)};
    }
    return all;
}

} // namespace

QObject::QObject() {
    depthFromFrame = 1;
}

void QObject::Dump(std::string& out) const {
    out += "QObject-> ";
    QMessageObject::Dump(out);
}

QFlic* QObject::Animation() const {
    if (resourceId == -1 || g_manager == nullptr) return nullptr;
    return g_manager->GetFlic(resourceId);
}

Rect QObject::FrameArea(const QFlic& flic) const {
    Rect area = UnionOf(flic.FrameRects(kMaskRects));
    if (area.IsEmpty()) area = flic.BoundingRect();
    return platform::Offset(area, x, y);
}

void QObject::Update(int elapsedMs) {
    if (!animate || !visible) return;
    frameClock += elapsedMs;
    QFlic* flic = Animation();
    if (flic == nullptr || flic->FrameCount() <= 1) return;
    // Objects off screen keep their frame and post no END until they are seen again.
    if (platform::Intersect(FrameArea(*flic), VisibleRoomPart()).IsEmpty()) return;
    const int frameTime = std::max(flic->FrameTime(), 1);
    while (frameClock >= frameTime) {
        if (flic->CurrentFrame() == 1 && g_sound != nullptr && g_manager != nullptr)
            g_sound->PlaySound(g_manager->GetSoundName(resourceId));
        flic->SetFrame(-1);
        const int frame = flic->CurrentFrame();
        const uint16_t animation = static_cast<uint16_t>(resourceId);
        if (frame == flic->FrameCount()) g_system->Post(id, END, animation, 0, 0, 0, nullptr);
        if (frame == flic->FrameCount() / 2) g_system->Post(id, HALF, animation, 0, 0, 0, nullptr);
        frameClock -= frameTime;
        // At most one frame per update: a longer lag is dropped, not caught up.
        if (frameClock >= frameTime) frameClock = frameTime - 1;
        flic->AddFrameRects(x, y, kChangeRects);
    }
    // An animation moving under a still pointer: a fresh mouse move keeps the hover right.
    if (g_directDraw != nullptr) {
        const platform::Point p = g_directDraw->PointerPosition();
        if (HitTest(p.x + ScrollOffset(), p.y)) g_directDraw->PostPointerMove();
    }
}

void QObject::RehoverIfPointerIn(const Rect& roomArea) {
    if (g_directDraw == nullptr) return;
    const platform::Point p = g_directDraw->PointerPosition();
    if (roomArea.Contains(p.x + ScrollOffset(), p.y)) g_directDraw->PostPointerMove();
}

void QObject::CatchUpFrames(QFlic& flic, int32_t& clock, int elapsedMs, int atX, int atY) {
    clock += elapsedMs;
    const int frameTime = std::max(flic.FrameTime(), 1);
    while (clock >= frameTime) {
        flic.SetFrame(-1);
        clock -= frameTime;
        flic.AddFrameRects(atX, atY, kChangeRects);
    }
}

void QObject::SetPos(int newX, int newY) {
    QFlic* flic = Animation();
    if (flic == nullptr) return;
    flic->AddFrameRects(x, y, kMaskRects);
    flic->AddFrameRects(newX, newY, kMaskRects);
    const bool moves = newX != x || newY != y;
    if (moves) RehoverIfPointerIn(FrameArea(*flic));
    x = newX;
    y = newY;
    if (moves) RehoverIfPointerIn(FrameArea(*flic));
}

int QObject::HitTest(int px, int py) {
    if (!active) return 0;
    QFlic* flic = Animation();
    if (flic == nullptr || flic->Surface() == nullptr) return 0;
    const int fx = px - x, fy = py - y;
    if (!flic->BoundingRect().Contains(fx, fy)) return 0;
    platform::Surface& surface = *flic->Surface();
    const int sx = fx - flic->DrawOffset().x, sy = fy - flic->DrawOffset().y;
    static constexpr int kOffsets[9][2] = {{0, 0}, {-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                           {1, 0}, {-1, 1},  {0, 1},  {1, 1}};
    int hit = 0;
    surface.Lock();
    for (const auto& d : kOffsets) {
        const int tx = sx + d[0], ty = sy + d[1];
        if (tx < 0 || ty < 0 || tx >= surface.Width() || ty >= surface.Height()) continue;
        if (surface.At(tx, ty) != flic->ColorKey()) {
            hit = 1;
            break;
        }
    }
    surface.Unlock();
    return hit;
}

void QObject::OnMouseOver(int, int) {
    if (g_system != nullptr && g_system->mainInterface)
        g_system->mainInterface->hoveredObject = this;
}

void QObject::OnClick(int, int) {
    g_system->tarvo.StopWalk();
    g_system->varnagel.StopWalk();
    const QObjectCursor& cursor = *g_system->cursor;
    uint16_t type = LOOK;
    QMessageObject* sender = this;
    switch (cursor.mode) {
    case kCursorLook:
        type = LOOK;
        break;
    case kCursorWalk:
        type = WALK;
        break;
    case kCursorUse:
        type = USE;
        break;
    case kCursorTake:
        type = TAKE;
        break;
    case kCursorTalk:
        type = TALK;
        break;
    case kCursorSecond:
        type = OBJECTUSE;
        sender = &g_system->varnagel;
        break;
    case kCursorHolding:
        type = OBJECTUSE;
        sender = cursor.heldObject;
        break;
    default:
        return;
    }
    g_system->Post(id, type, 0, 0, 0, 0, sender);
}

void QObject::SetVisible(int flag) {
    QFlic* flic = nullptr;
    if (g_system != nullptr && g_system->mainInterface) {
        for (const QVisibleObject* o : g_system->mainInterface->objects) {
            if (o->resourceId == resourceId) {
                flic = Animation();
                break;
            }
        }
    }
    if (flic != nullptr) {
        flic->AddFrameRects(x, y, kMaskRects);
        if ((flag != 0) != (visible != 0)) RehoverIfPointerIn(FrameArea(*flic));
    }
    visible = flag;
}

void QObject::UpdateDepth() {
    if (!animate || !visible || !depthFromFrame) return;
    QFlic* flic = Animation();
    if (flic == nullptr) return;
    z = 1;
    for (const Rect& r : flic->FrameRects(kMaskRects))
        z = std::max(z, y + r.bottom);
}

void QObject::Draw(platform::Surface& target) {
    if (!visible || resourceId == -1) return;
    QFlic* flic = Animation();
    if (flic == nullptr || flic->Surface() == nullptr || g_video == nullptr) return;
    const int32_t scroll = ScrollOffset();
    const Rect area = platform::Intersect(FrameArea(*flic), VisibleRoomPart());
    if (area.IsEmpty()) return;
    // The surface's pixel (0, 0) lies at this room position.
    const int32_t originX = x + flic->DrawOffset().x, originY = y + flic->DrawOffset().y;
    for (const Rect& dirty : g_video->DirtyRects()) {
        const Rect part = platform::Intersect(platform::Offset(dirty, scroll, 0), area);
        if (part.IsEmpty()) continue;
        target.BltFast(part.left - scroll, part.top, *flic->Surface(),
                       platform::Offset(part, -originX, -originY),
                       platform::kBltSrcColorKey | platform::kBltWait);
    }
}
