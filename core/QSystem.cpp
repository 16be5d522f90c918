#include "core/QSystem.h"

#include <cstdio>

#include "core/Application.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QInterfaceSequence.h"
#include "interfaces/QObjectCase.h"
#include "interfaces/QObjectStar.h"
#include "platform/Trace.h"
#include "screens/QInterfaceMap.h"
#include "screens/QInterfacePanel.h"

TARVO_IMPLEMENT_CLASS(QSystem, CObject)

QSystem* g_system = nullptr;
std::unique_ptr<QReaction> g_afterDialogue;
uint32_t g_clockMark = 0;
platform::Profile* g_profile = nullptr;
int32_t g_frameCount = 0;
int32_t g_appActive = 1;

RoomPerspective ParsePerspective(const std::string& value) {
    RoomPerspective p;
    int top = p.topRow, bottom = p.bottomRow;
    // Numbers missing at the end keep their defaults: sscanf stops at the first one absent.
    const int read = std::sscanf(value.c_str(), "%lf %lf %d %d %lf", &p.scaleBase, &p.scaleGradient,
                                 &top, &bottom, &p.scaleMax);
    if (read >= 3) p.topRow = static_cast<int16_t>(top);
    if (read >= 4) p.bottomRow = static_cast<int16_t>(bottom);
    return p;
}

QSystem::QSystem() = default;

QSystem::~QSystem() {
    platform::Trace("~QSystem\n");
    queue.clear();
    inventoryCase.reset();
    actionMenu.reset();
    cursor.reset();
    plainObjects.clear();
    rooms.clear();
    objects.clear();
    currentRoom = nullptr;
    currentInterface = nullptr;
    mainInterface.reset();
    sequenceInterface.reset();
    panelInterface.reset();
    mapInterface.reset();
    // The two characters (members) and then the perspective records go with the object.
}

void QSystem::Post(uint16_t target, uint16_t type, uint16_t p1, uint16_t p2, int16_t p3,
                   uint32_t extra, QMessageObject* sender) {
    queue.emplace_back(target, type, p1, p2, p3, sender, extra);
}

void QSystem::Broadcast(uint16_t type, uint16_t p1, uint16_t p2, int16_t p3, uint32_t extra,
                        QMessageObject* sender) {
    for (QMessageObject* o : objects)
        Post(o->id, type, p1, p2, p3, extra, sender);
}

void QSystem::DispatchQueue() {
    // Messages posted while this runs are appended and so delivered in the same pass.
    for (auto it = queue.begin(); it != queue.end();) {
        QMessageObject* target = nullptr;
        for (QMessageObject* o : objects) {
            if (o->id == it->target && !o->busy) {
                target = o;
                break;
            }
        }
        if (target == nullptr) {
            ++it; // busy or unknown target: the message waits in its place
            continue;
        }
        target->TraceMessage(*it, true);
        target->HandleMessage(*it);
        it = queue.erase(it);
    }
}

QMessageObject* QSystem::FindById(uint16_t id) const {
    for (QMessageObject* o : objects)
        if (o->id == id) return o;
    return nullptr;
}

QMessageObject* QSystem::FindByName(const std::string& name) const {
    for (QMessageObject* o : objects)
        if (o->name == name) return o;
    return nullptr;
}

const RoomPerspective* QSystem::PerspectiveOf(const std::string& roomName) const {
    auto it = perspectives.find(roomName);
    return it != perspectives.end() ? &it->second : nullptr;
}
