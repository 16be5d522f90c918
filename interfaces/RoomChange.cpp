// Entering a room: the left room's objects leave the screen, resources are purged, the new
// picture, sounds and objects come in, and every object hears of both.
#include "core/QSystem.h"
#include "graphics/QFlic.h"
#include "graphics/QVideoSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QObjectCase.h"
#include "platform/Clock.h"
#include "platform/Trace.h"
#include "resources/QManager.h"
#include "sound/DSengine.h"
#include "walk/Walk.h"

namespace {

int Since(uint32_t t) {
    return static_cast<int>(platform::NowMs() - t);
}

bool Lists(const BgRoom* room, uint16_t id) {
    if (room == nullptr) return false;
    for (const BgPlacement& p : room->placements)
        if (p.objectId == id) return true;
    return false;
}

std::string SoundOf(int32_t resource) {
    return g_manager != nullptr ? g_manager->GetSoundName(resource) : std::string();
}

} // namespace

void QInterfaceMain::LeaveRoom(int roomId) {
    const BgRoom* left = RoomRecord(roomId);
    for (auto it = objects.begin(); it != objects.end();) {
        QMessageObject* o = dynamic_cast<QMessageObject*>(*it);
        if (o != nullptr && o->id == static_cast<uint16_t>(roomId)) {
            it = objects.erase(it);
        } else if (o != nullptr && Lists(left, o->id)) {
            if (g_sound != nullptr) g_sound->RemoveSound(SoundOf(o->resourceId));
            it = objects.erase(it);
        } else {
            ++it;
        }
    }
}

void QInterfaceMain::SwitchRoomSound(int32_t wanted, int32_t& playing, int category) {
    if (wanted == playing || g_sound == nullptr) return;
    g_sound->RemoveSound(SoundOf(playing));
    const std::string name = SoundOf(wanted);
    g_sound->LoadSound(name, category);
    g_sound->PlaySound(name, true);
    playing = wanted;
}

void QInterfaceMain::ChangeBG(int roomId) {
    const uint32_t t0 = platform::NowMs();
    g_system->currentInterface->Cancel();
    uint32_t t1 = t0;
    if (currentRoomId != -1) {
        if (currentRoomId == roomId) return;
        // The case lays its items out over the room it was opened in: it closes first.
        if (g_system->inventoryCase->visible) g_system->inventoryCase->SetVisible(0);
        QMessageObject* left = g_system->FindById(static_cast<uint16_t>(currentRoomId));
        platform::Trace("Leave BG: %s\n", left != nullptr ? left->name.c_str() : "");
        g_system->Broadcast(QM_LEAVEBG, 0, 0, 0, 0, left);
        if (g_manager != nullptr) g_manager->PurgeResources();
        platform::Trace("Load time 2: %d\n", Since(t0));
        t1 = platform::NowMs();
        LeaveRoom(currentRoomId);
    }
    currentRoomId = static_cast<int16_t>(roomId);
    const BgRoom* record = RoomRecord(roomId);
    if (record == nullptr)
        platform::Trace("Warning: backgrnd.bg has no record for room %d\n", roomId);
    g_system->countedLoadTime = static_cast<int32_t>(platform::NowMs());

    QMessageObject* found = g_system->FindById(static_cast<uint16_t>(roomId));
    QObjectBG* room =
        found != nullptr && found->IsRoom() ? static_cast<QObjectBG*>(found) : nullptr;
    g_system->currentRoom = room;
    if (room != nullptr) {
        if (g_manager != nullptr) g_manager->GetPicture(room->resourceId);
        objects.push_back(room);
    }
    platform::Trace("Load time 4: %d\n", Since(t1));
    const uint32_t t2 = platform::NowMs();

    if (room != nullptr) {
        SwitchRoomSound(room->ambience, g_system->currentAmbience, kSoundEffects);
        SwitchRoomSound(room->music, g_system->currentMusic, kSoundMusic);
    }
    if (record != nullptr) {
        for (const BgPlacement& p : record->placements) {
            QMessageObject* o = g_system->FindById(p.objectId);
            if (o == nullptr) continue;
            objects.push_back(o);
            if (g_sound != nullptr) g_sound->LoadSound(SoundOf(o->resourceId), kSoundEffects);
            if ((o->visible || o->active) && g_manager != nullptr && o->resourceId != -1)
                g_manager->GetFlic(o->resourceId);
        }
    }
    platform::Trace("Load time 6: %d\n", Since(t2));
    const uint32_t t3 = platform::NowMs();
    g_system->countedLoadTime = static_cast<int32_t>(platform::NowMs()) - g_system->countedLoadTime;
    if (g_video != nullptr) g_video->lastFrameTime = platform::NowMs();
    hoveredObject = nullptr;
    for (QObjectTarvo* character :
         {&g_system->tarvo, static_cast<QObjectTarvo*>(&g_system->varnagel)})
        if (character->Walker() != nullptr && room != nullptr && g_manager != nullptr)
            character->Walker()->LoadWalkArea(g_manager->GetFileName(room->resourceId));
    // The characters keep their feet where they stood; only their size follows the room.
    g_system->tarvo.SetPos(g_system->tarvo.footX, g_system->tarvo.footY);
    g_system->varnagel.SetPos(g_system->varnagel.footX, g_system->varnagel.footY);
    g_system->Broadcast(INITBG, 0, 0, 0, 0, room);
    platform::Trace("Load time 7: %d\n", Since(t3));
    platform::Trace("Load time total: %d\n", Since(t0));
    platform::Trace("Load time counted: %d\n", g_system->countedLoadTime);
}
