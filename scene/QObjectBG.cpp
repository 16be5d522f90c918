#include "scene/QObjectBG.h"

#include <algorithm>

#include "core/QSystem.h"
#include "graphics/QVideoSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QInterfaceSequence.h"
#include "platform/Ini.h"
#include "platform/Surface.h"
#include "resources/QManager.h"

TARVO_IMPLEMENT_CLASS(QObjectBG, QObject)

namespace {

// The name of the object of room `section` through which one arrives from room `from`.
std::string EntryPoint(const std::string& section, const std::string& from) {
    char value[99];
    platform::GetPrivateProfileString(section, from, "", value, sizeof value, ".\\bgs.ini");
    return value;
}

} // namespace

QObjectBG::QObjectBG() {
    z = 0; // drawn first, under everything in the room
    depthFromFrame = 0;
}

void QObjectBG::Draw(platform::Surface& target) {
    if (!visible || g_manager == nullptr || g_video == nullptr) return;
    platform::Surface* picture = g_manager->GetPicture(resourceId);
    if (picture == nullptr) return;
    const int scroll = g_system->scrollOffset;
    for (const platform::Rect& dirty : g_video->DirtyRects()) {
        const platform::Rect part = platform::Intersect(dirty, platform::Rect{0, 0, 640, 480});
        if (part.IsEmpty()) continue;
        target.BltFast(part.left, part.top, *picture, platform::Offset(part, scroll, 0),
                       platform::kBltWait);
    }
}

void QObjectBG::EnterFrom(int previousRoomId) {
    const QMessageObject* previous = g_system->FindById(static_cast<uint16_t>(previousRoomId));
    std::string entry = previous != nullptr ? EntryPoint(name, previous->name) : std::string();
    for (size_t i = 0; entry.empty() && i < g_system->rooms.size(); ++i)
        entry = EntryPoint(name, g_system->rooms[i]->name);
    if (entry.empty()) return;
    const QMessageObject* point = g_system->FindByName(entry);
    if (point != nullptr) {
        g_system->tarvo.z = 0;
        g_system->varnagel.z = 0;
        g_system->Post(0, QM_SETPOS, static_cast<uint16_t>(point->walkX),
                       static_cast<uint16_t>(point->walkY), 0, 0, this);
        g_system->Post(1, QM_SETPOS, static_cast<uint16_t>(point->walkX),
                       static_cast<uint16_t>(point->walkY - 2), 0, 0, this);
        const int max = std::max(g_system->roomWidth - 640, 0);
        g_system->scrollOffset = std::clamp(point->walkX - 320, 0, max);
    }
    if (g_video != nullptr) g_video->InvalidateAll();
    SavedGame autosave = g_system->CaptureGame();
    if (point != nullptr) {
        // The autosave holds the characters where they are being put, not where they stood
        // in the room they left: loading it must bring the player to this entry.
        autosave.tarvoFoot = SavedFoot{point->walkX, point->walkY};
        autosave.varnagelFoot = SavedFoot{point->walkX, point->walkY - 2};
    }
    g_system->WriteGame("autosave.dat", autosave);
}

void QObjectBG::ApplyBuiltIn(QMessage& m) {
    switch (m.type) {
    case SET:
        resourceId = m.param1; // the room's picture for its next entry: no sound, no redraw
        return;
    case QM_SETWAIT:
        return; // a room has no animation to switch; the parked rest still waits for END
    default:
        break;
    }
    QMessageObject::ApplyBuiltIn(m);
    switch (m.type) {
    case GOTO: {
        g_system->tarvo.StopWalk();
        g_system->varnagel.StopWalk();
        if (!g_system->mainInterface) break;
        const int previous = g_system->mainInterface->currentRoomId;
        g_system->mainInterface->ChangeBG(id);
        EnterFrom(previous);
        break;
    }
    case SETSEQ:
        if (g_system->sequenceInterface) g_system->sequenceInterface->BeginSequence(id);
        break;
    case ENDSEQ:
        if (g_system->sequenceInterface) g_system->sequenceInterface->Cancel();
        break;
    case MAP:
        mapAllowed = m.param1 != 0;
        break;
    case NOMAP:
        mapAllowed = 0;
        break;
    case QM_AMBIENCE:
        ambience = m.param1;
        break;
    case QM_MUSIC:
        music = m.param1;
        break;
    default:
        break;
    }
}
