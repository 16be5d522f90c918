// The characters' messages and walks; their drawing is in QObjectTarvoDraw.cpp.
#include "scene/QObjectTarvo.h"

#include <algorithm>

#include "core/QSystem.h"
#include "graphics/QFlic.h"
#include "graphics/QVideoSystem.h"
#include "platform/Trace.h"
#include "resources/QManager.h"
#include "walk/Walk.h"

TARVO_IMPLEMENT_CLASS(QObjectTarvo, QObject)
TARVO_IMPLEMENT_CLASS(QObjectVarnagel, QObjectTarvo)

namespace {

constexpr int kWalkAnimations = 10;    // walk animation of direction d: base + 10 + d
constexpr int64_t kShortestWalk2 = 25; // walks shorter than 5 pixels do not start

void InvalidateAll() {
    if (g_video != nullptr) g_video->InvalidateAll();
}

} // namespace

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

void QObjectTarvo::NewWalker() {
    // Both walkers scale by the first character's perspective, which is the room's.
    walker_ = std::make_unique<Walk>(baseAnimation + kWalkAnimations, [](int row) {
        return g_system != nullptr ? g_system->tarvo.GetScale(row) : 1.0;
    });
    if (g_system != nullptr && g_system->currentRoom != nullptr && g_manager != nullptr)
        walker_->LoadWalkArea(g_manager->GetFileName(g_system->currentRoom->resourceId));
}

void QObjectTarvo::HandleMessage(QMessage& message) {
    switch (message.type) {
    case QM_BASEANIM:
        baseAnimation = message.param1;
        NewWalker();
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

void QObjectTarvo::FollowCamera(int footRoomX) const {
    if (!cameraFollows || g_system == nullptr) return;
    g_system->scrollTarget = std::clamp(footRoomX - 320, 0, std::max(g_system->roomWidth - 640, 0));
}

void QObjectTarvo::FollowWalker() {
    if (!walker_) return;
    if (g_video != nullptr) g_video->AddDirtyRect(ScreenRect());
    const platform::Point feet = walker_->GetPosition();
    scale = GetScale(feet.y);
    const platform::Point draw = walker_->GetDrawPosition();
    x = draw.x;
    y = draw.y;
    footX = feet.x;
    footY = feet.y;
    FollowCamera(footX);
    const QFlic* flic = Animation();
    if (g_video == nullptr || flic == nullptr) return;
    const int scroll = g_system != nullptr ? g_system->scrollOffset : 0;
    g_video->AddDirtyRect(platform::Rect{x - scroll, y,
                                         x - scroll + static_cast<int>(scale * flic->Width()),
                                         y + static_cast<int>(scale * flic->Height())});
}

void QObjectTarvo::ShowWalkAnimation() {
    const int32_t animation = baseAnimation + kWalkAnimations + walker_->GetDirection();
    // A game without this walk animation shows the character gliding in the picture it has
    // rather than a "not found" box for every frame of the walk.
    if (g_manager != nullptr && g_manager->Table().count(animation) == 0 &&
        !g_manager->IsLoaded(animation))
        return;
    resourceId = animation;
    if (QFlic* flic = Animation()) flic->SetFrame(1);
}

void QObjectTarvo::WalkTo(int targetX, int targetY) {
    if (!visible || !walker_) {
        SetPos(targetX, targetY);
        return;
    }
    const platform::Point start = walking ? walker_->GetPosition() : platform::Point{footX, footY};
    const int64_t dx = int64_t{targetX} - start.x, dy = int64_t{targetY} - start.y;
    if (dx * dx + dy * dy < kShortestWalk2) return;
    walker_->FindPath(start, platform::Point{targetX, targetY});
    walking = 1;
    ShowWalkAnimation();
    FollowWalker();
    InvalidateAll();
    busy = 1;
    standing = 0;
    frameClock = 0;
    const platform::Point end = walker_->GetTarget();
    platform::Trace("%s walks from %d, %d to %d, %d (%zu path points)\n", WarningName(), start.x,
                    start.y, end.x, end.y, walker_->Path().size());
}

void QObjectTarvo::WalkTick() {
    if (!walking || !walker_) return;
    switch (walker_->Step()) {
    case walk::kStepped:
        FollowWalker();
        break;
    case walk::kTurned:
        ShowWalkAnimation();
        // Placed at once on the path point with the new animation's anchor, so that the
        // first frame of the new direction does not show where the old one would have been.
        FollowWalker();
        InvalidateAll();
        if (const QFlic* flic = Animation()) frameClock = flic->FrameTime();
        break;
    default:
        Arrive();
        break;
    }
}

void QObjectTarvo::Arrive() {
    walking = 0;
    const platform::Point target = walker_->GetTarget();
    SetPos(target.x, target.y);
    platform::Trace("%s arrives at %d, %d\n", WarningName(), footX, footY);
    QMessage stand(id, SET, static_cast<uint16_t>(baseAnimation), 1, 0);
    // With a room change waiting, the character stands up only after it, so that the old
    // room never shows it standing at the door.
    if (afterWalk_ && afterWalk_->Contains(GOTO))
        afterWalk_->messages.push_back(stand);
    else
        HandleMessage(stand);
    busy = 0;
    InvalidateAll();
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
    if (walker_) {
        const platform::Point draw = walker_->GetDrawPosition();
        x = draw.x;
        y = draw.y;
    }
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
