#include "scene/QObjectTarvo.h"

#include <algorithm>
#include <cmath>

#include "core/QSystem.h"
#include "graphics/QFlic.h"
#include "graphics/QVideoSystem.h"
#include "platform/Trace.h"
#include "resources/QManager.h"

TARVO_IMPLEMENT_CLASS(QObjectTarvo, QObject)
TARVO_IMPLEMENT_CLASS(QObjectVarnagel, QObjectTarvo)

QObjectTarvo::QObjectTarvo() {
    x = footX = 574;
    y = footY = 444;
    z = 200;
}

QObjectTarvo::~QObjectTarvo() {
    platform::Trace("~QObjectTarvo\n");
}

QObjectVarnagel::QObjectVarnagel() {
    x = footX = 477;
    y = footY = 350;
    scaledImageId = -6;
    cameraFollows = 0;
}

double QObjectTarvo::GetScale(int row) const {
    if (g_system == nullptr || g_system->currentRoom == nullptr) return 1.0;
    const RoomPerspective* p = g_system->PerspectiveOf(g_system->currentRoom->name);
    if (p == nullptr) return 1.0;
    double s = 0.0;
    // Equal rows would divide by zero: such a room has no gradient, only its base scale.
    if (p->bottomRow != p->topRow)
        s = p->scaleGradient * (std::min(row, 480) - p->topRow) / (p->bottomRow - p->topRow);
    return std::min(p->scaleBase + std::max(s, 0.0), p->scaleMax);
}

platform::Rect QObjectTarvo::ScreenRect() const {
    const int left = x - (g_system != nullptr ? g_system->scrollOffset : 0);
    return platform::Rect{left, y, left + scaledWidth, y + scaledHeight};
}

void QObjectTarvo::MarkShownArea() const {
    if (g_video != nullptr) g_video->AddDirtyRect(ScreenRect());
    if (const QFlic* flic = Animation()) {
        flic->AddFrameRects(x, y, kMaskRects);
        RehoverIfPointerIn(FrameArea(*flic));
    }
}

void QObjectTarvo::SetPos(int newX, int newY) {
    newY = std::min(newY, 480);
    MarkShownArea();
    scale = GetScale(newY);
    const QFlic* flic = Animation();
    const int frameW = flic != nullptr ? flic->Width() : 0;
    const int frameH = flic != nullptr ? flic->Height() : 0;
    scaledWidth = static_cast<int32_t>(std::trunc(scale * frameW));
    scaledHeight = static_cast<int32_t>(std::trunc(scale * frameH));
    footX = newX;
    footY = newY;
    x = newX - scaledWidth / 2;
    y = newY - scaledHeight;
    if (cameraFollows && g_system != nullptr)
        g_system->scrollTarget = std::clamp(newX - 320, 0, std::max(g_system->roomWidth - 640, 0));
    MarkShownArea();
}

void QObjectTarvo::HandleMessage(QMessage& message) {
    switch (message.type) {
    case QM_BASEANIM:
        baseAnimation = message.param1;
        message.type = SET;
        break;
    case SAY:
        message.type = SET;
        message.param1 = static_cast<uint16_t>(baseAnimation + 1);
        message.param2 = 1;
        break;
    case SAID:
    case QM_RESTOREANIM:
        message.type = SET;
        message.param1 = static_cast<uint16_t>(baseAnimation);
        message.param2 = 1;
        break;
    case WALK:
        return; // characters do not walk to themselves
    case QM_WALKED:
        if (afterWalk_) {
            QMessageObject* sender = afterWalkSender_;
            afterWalkSender_ = nullptr;
            g_system->RunReaction(&afterWalk_, sender);
        }
        break;
    default:
        break;
    }
    const bool switchesAnimation = message.type == SET || message.type == QM_SETWAIT;
    if (switchesAnimation) standing = (message.param1 == static_cast<uint16_t>(baseAnimation));
    QMessageObject::HandleMessage(message);
    if (switchesAnimation && !g_system->loading) SetPos(footX, footY);
}

void QObjectTarvo::WalkTo(int targetX, int targetY) {
    walkRequests.push_back(platform::Point{targetX, targetY});
    // Until walk areas and paths exist the character arrives at once: placed at the target,
    // never busy, so a pending continuation runs at the next dispatch.
    SetPos(targetX, targetY);
}

void QObjectTarvo::StopWalk() {
    walking = 0;
    busy = 0;
    for (QMessage& m : g_system->queue) {
        if (m.type != QM_WALKED || m.target != id) continue;
        m.target = kNoId; // never delivered
        if (afterWalk_) platform::Trace("Warning 1: %s->after_walk is lost!\n", WarningName());
    }
    if (afterWalk_) {
        platform::Trace("Warning 2: %s->after_walk is lost!\n", WarningName());
        afterWalk_.reset();
        afterWalkSender_ = nullptr;
    }
    if (standing) return;
    QMessage stand(id, SET, static_cast<uint16_t>(baseAnimation), 1, 0);
    HandleMessage(stand);
}

void QObjectTarvo::SetAfterWalk(int index, const QReaction& reaction, QMessageObject* sender) {
    afterWalk_.reset();
    StopWalk();
    g_system->Post(id, QM_WALKED, 0, 0, 0, 0, nullptr);
    afterWalk_ = QReaction::Rest(reaction, static_cast<size_t>(index));
    afterWalkSender_ = sender;
}
