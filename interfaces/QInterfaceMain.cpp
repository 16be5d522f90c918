#include "interfaces/QInterfaceMain.h"

#include "core/Application.h"
#include "core/QSystem.h"
#include "graphics/QDebug.h"
#include "interfaces/QObjectCase.h"
#include "interfaces/QObjectStar.h"
#include "platform/Clock.h"
#include "platform/Ini.h"
#include "platform/Trace.h"

TARVO_IMPLEMENT_CLASS(QInterfaceMain, QInterface)

QInterfaceMain::QInterfaceMain() {
    objects.push_back(g_system->cursor.get());
    objects.push_back(g_system->inventoryCase.get());
    objects.push_back(g_system->actionMenu.get());
}

QInterfaceMain::~QInterfaceMain() { platform::Trace("~QInterfaceMain\n"); }

void QInterfaceMain::Start() {
    g_system->DispatchQueue();
    g_system->loading = 0;
    if (g_debug != nullptr) objects.push_back(g_debug);
    objects.push_back(&g_system->tarvo);
    objects.push_back(&g_system->varnagel);
    hoveredObject = nullptr;
    char startRoom[101];
    platform::GetPrivateProfileString("Settings", "StartRoom", "", startRoom, sizeof startRoom,
                                      ".\\BGs.ini");
    currentRoomId = -1;
    platform::Trace("Load phase 3: %d\n", static_cast<int>(platform::NowMs() - g_clockMark));
    g_clockMark = platform::NowMs();
    if (QMessageObject* room = g_system->FindByName(startRoom)) ChangeBG(room->id);
}

void QInterfaceMain::ChangeBG(int roomId) {
    // The room change proper (objects, picture, sounds, walk areas) comes with rooms; until
    // then entering a room makes it current and nothing more.
    QMessageObject* room = g_system->FindById(static_cast<uint16_t>(roomId));
    if (room == nullptr || !room->IsRoom()) return;
    g_system->currentRoom = static_cast<QObjectBG*>(room);
    currentRoomId = static_cast<int16_t>(roomId);
}

void QInterfaceMain::ShowDescription(const std::string& text, int frame) {
    g_system->actionMenu->active = 0;
    hoveredObject = nullptr;
    RemoveTexts();
    descriptions.emplace_back(text, frame);
    shownText = text;
}

void QInterfaceMain::EndDescription() {
    hoveredObject = nullptr;
    g_system->actionMenu->active = 1;
    RemoveTexts();
}
