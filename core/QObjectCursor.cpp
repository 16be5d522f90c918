#include "core/QObjectCursor.h"

#include <algorithm>

#include "core/QSystem.h"
#include "graphics/QFlic.h"
#include "graphics/QVideoSystem.h"
#include "interfaces/QObjectCase.h"
#include "platform/Trace.h"
#include "resources/QManager.h"
#include "sound/DSengine.h"

TARVO_IMPLEMENT_CLASS(QObjectCursor, QObject)

QObjectCursor::QObjectCursor(int pointerX, int pointerY) {
    id = 4097;
    name = "Cursor";
    x = static_cast<int16_t>(pointerX);
    y = static_cast<int16_t>(pointerY);
    z = 1000;
    resourceId = kCursorFirstPicture;
    depthFromFrame = 0;
    if (g_manager != nullptr)
        if (QFlic* flic = g_manager->GetFlic(resourceId)) flic->SetFrame(-1);
}

QObjectCursor::~QObjectCursor() {
    platform::Trace("~QObjectCursor\n");
}

void QObjectCursor::GiveBack() {
    if (mode != kCursorHolding || heldObject == nullptr) return;
    QMessageObject& object = *heldObject;
    heldObject = nullptr;
    QObjectCase* inventory = g_system != nullptr ? g_system->inventoryCase.get() : nullptr;
    if (inventory != nullptr && inventory->TakeBack(object, resting_)) return;
    object.SetVisible(resting_.visible);
    object.active = resting_.active;
}

void QObjectCursor::Take(QMessageObject* object, int32_t picture) {
    resourceId = picture;
    GiveBack();
    mode = kCursorHolding;
    heldObject = object;
    // Taken out of the open case, the object keeps the flags it has in its room.
    const QObjectCase* inventory = g_system != nullptr ? g_system->inventoryCase.get() : nullptr;
    resting_ = inventory != nullptr ? inventory->RoomFlags(*object)
                                    : ShowFlags{object->visible, object->active};
    object->visible = 0;
    object->active = 0;
}

void QObjectCursor::Drop() {
    resourceId = kCursorFirstPicture;
    GiveBack();
    mode = kCursorLook;
}

namespace {
int Scroll() {
    return g_system != nullptr ? g_system->scrollOffset : 0;
}
} // namespace

void QObjectCursor::Draw(platform::Surface& target) {
    if (!visible) return;
    QFlic* flic = Animation();
    if (flic == nullptr || flic->Surface() == nullptr || g_video == nullptr) return;
    const platform::Rect clip{std::max(x, 0), std::max(y, 0), std::min(x + flic->Width() - 1, 640),
                              std::min(y + flic->Height() - 1, 480)};
    const int originX = x + flic->DrawOffset().x, originY = y + flic->DrawOffset().y;
    for (const platform::Rect& dirty : g_video->DirtyRects()) {
        const platform::Rect part = platform::Intersect(dirty, clip);
        if (part.IsEmpty()) continue;
        target.BltFast(part.left, part.top, *flic->Surface(),
                       platform::Offset(part, -originX, -originY),
                       platform::kBltSrcColorKey | platform::kBltWait);
    }
}

void QObjectCursor::Update(int elapsedMs) {
    if (!visible || !animate) return;
    // The cursor lives in screen coordinates: undo the scroll that the rectangles take off.
    if (QFlic* flic = Animation()) CatchUpFrames(*flic, frameClock, elapsedMs, x + Scroll(), y);
}

void QObjectCursor::SetPos(int roomX, int roomY) {
    if (g_sound != nullptr && g_manager != nullptr && g_system != nullptr)
        g_sound->PanSound(g_manager->GetSoundName(g_system->currentMusic), roomX,
                          g_system->roomWidth);
    QFlic* flic = Animation();
    if (flic == nullptr) return;
    flic->AddFrameRects(x + Scroll(), y, kMaskRects);
    flic->AddFrameRects(roomX, roomY, kMaskRects);
    x = roomX - Scroll();
    y = roomY;
}

void QObjectCursor::SetVisible(int flag) {
    if (QFlic* flic = Animation()) flic->AddFrameRects(x + Scroll(), y, kMaskRects);
    visible = flag;
}

void QObjectCursor::SelectMode(int m) {
    SetVisible(0);
    resourceId = kCursorFirstPicture + m;
    GiveBack();
    mode = m;
    SetVisible(1);
}
