#include "core/QObjectCursor.h"

#include "graphics/QFlic.h"
#include "platform/Trace.h"
#include "resources/QManager.h"

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

QObjectCursor::~QObjectCursor() { platform::Trace("~QObjectCursor\n"); }

void QObjectCursor::GiveBack() {
    if (heldObject == nullptr) return;
    heldObject->SetVisible(1);
    heldObject->active = 1;
    heldObject = nullptr;
}

void QObjectCursor::Take(QMessageObject* object, int32_t picture) {
    resourceId = picture;
    GiveBack();
    mode = kCursorHolding;
    heldObject = object;
    object->visible = 0;
    object->active = 0;
}

void QObjectCursor::Drop() {
    resourceId = kCursorFirstPicture;
    GiveBack();
    mode = kCursorLook;
}
