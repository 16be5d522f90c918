#include "interfaces/QInterfaceSequence.h"

#include <algorithm>

#include "core/Application.h"
#include "core/QSystem.h"
#include "graphics/QDebug.h"
#include "graphics/QVideoSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "platform/Clock.h"
#include "platform/Surface.h"
#include "platform/Trace.h"
#include "resources/QManager.h"
#include "sound/DSengine.h"
#include "text/QText.h"

TARVO_IMPLEMENT_CLASS(QInterfaceSequence, QInterface)

namespace {

std::string SoundOf(int32_t resource) {
    return g_manager != nullptr ? g_manager->GetSoundName(resource) : std::string();
}

void LoadCompanionSound(const QMessageObject& o) {
    if (g_sound != nullptr) g_sound->LoadSound(SoundOf(o.resourceId), kSoundEffects);
}

} // namespace

QInterfaceSequence::~QInterfaceSequence() {
    platform::Trace("~QInterfaceSequence\n");
}

void QInterfaceSequence::OnLeftClick(int x, int y) {
    for (QVisibleObject* o : objects) {
        if (o->resourceId != kTextPicture) continue;
        o->OnClick(x, y);
        return;
    }
}

void QInterfaceSequence::ReleaseScene() {
    for (QVisibleObject* entry : objects) {
        // The debug overlay's picture is its own, not the scene's.
        if (dynamic_cast<QMessageObject*>(entry) == nullptr) continue;
        if (g_manager != nullptr) g_manager->FreeResource(entry->resourceId);
        if (g_sound != nullptr) g_sound->RemoveSound(SoundOf(entry->resourceId));
    }
}

void QInterfaceSequence::BeginSequence(int id) {
    QMessageObject* found = g_system->FindById(static_cast<uint16_t>(id));
    if (found == nullptr || !found->IsRoom()) {
        platform::Trace("Warning: sequence %d names no room\n", id);
        return;
    }
    auto& room = static_cast<QObjectBG&>(*found);
    if (!Playing()) {
        mainScrollOffset_ = g_system->scrollOffset;
        mainScrollTarget_ = g_system->scrollTarget;
        mainRoomWidth_ = g_system->roomWidth;
    }
    RemoveTexts();
    ReleaseScene();
    objects.clear();
    if (g_debug != nullptr) objects.push_back(g_debug);
    roomId = id;
    const BgRoom* record =
        g_system->mainInterface ? g_system->mainInterface->RoomRecord(id) : nullptr;
    if (record == nullptr)
        platform::Trace("Warning: backgrnd.bg has no record for sequence %d\n", id);
    const uint32_t start = platform::NowMs();
    objects.push_back(&room);
    LoadCompanionSound(room);
    const platform::Surface* picture =
        g_manager != nullptr ? g_manager->GetPicture(room.resourceId) : nullptr;
    g_system->roomWidth = picture != nullptr ? std::max(picture->Width(), 640) : 640;
    g_system->scrollOffset = g_system->scrollTarget = 0;
    for (size_t i = 0; record != nullptr && i < record->placements.size(); ++i) {
        QMessageObject* o = g_system->FindById(record->placements[i].objectId);
        if (o == nullptr) continue;
        if (g_manager != nullptr && o->resourceId != -1) g_manager->GetFlic(o->resourceId);
        objects.push_back(o);
        LoadCompanionSound(*o);
    }
    g_system->countedLoadTime = static_cast<int32_t>(platform::NowMs() - start);
    g_system->currentInterface = this;
    if (g_video != nullptr) {
        g_video->lastFrameTime = platform::NowMs();
        g_video->InvalidateAll();
    }
}

void QInterfaceSequence::Cancel() {
    if (!Playing()) return;
    RemoveTexts();
    ReleaseScene();
    objects.clear();
    objects.shrink_to_fit();
    roomId = -1;
    g_system->currentInterface = g_system->mainInterface.get();
    // The scene may have used the room's own picture, freed with the rest: loaded again, it
    // would reset the view, so it is loaded now and the view put back after it.
    if (g_system->currentRoom != nullptr && g_manager != nullptr)
        g_manager->GetPicture(g_system->currentRoom->resourceId);
    g_system->scrollOffset = mainScrollOffset_;
    g_system->scrollTarget = mainScrollTarget_;
    g_system->roomWidth = mainRoomWidth_;
    QInterface::Cancel();
}

void QInterfaceSequence::AdvanceScene(int elapsedMs) {
    // By index: an update may post messages but never changes this list; phrases are passed
    // by PassPhrase instead of their own clock.
    for (size_t i = 0; i < objects.size(); ++i)
        if (objects[i]->resourceId != kTextPicture) objects[i]->Update(elapsedMs);
    // Depths as a drawn frame leaves them, so that the scene ends the same either way.
    for (QVisibleObject* o : objects)
        o->UpdateDepth();
    // Nothing is drawn while skipping: the marks the updates made would only pile up.
    if (g_video != nullptr) g_video->InvalidateAll();
}

void QInterfaceSequence::PassPhrase() {
    QText* text = ShownText();
    if (text != nullptr && dynamic_cast<QTextPhrase*>(text) != nullptr) text->OnClick(0, 0);
}

void QInterfaceSequence::Skip() {
    if (!Playing() || g_system->currentInterface != this) return;
    const int32_t skipped = roomId;
    platform::Trace("Sequence %d skipped\n", skipped);
    for (int step = 0; step < kSkipSteps; ++step) {
        g_system->DispatchQueue();
        // The scene ended itself (or ended and another began).
        if (g_system->currentInterface != this || roomId != skipped) return;
        if (QuitRequested()) return; // the scene ended the game
        PassPhrase();
        AdvanceScene(kSkipStepMs);
    }
    platform::Trace("Warning: sequence %d did not end within %d skipped frames: ended\n", skipped,
                    kSkipSteps);
    Cancel();
}
