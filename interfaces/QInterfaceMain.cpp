#include "interfaces/QInterfaceMain.h"

#include <algorithm>

#include "core/Application.h"
#include "core/QObjectCursor.h"
#include "core/QSystem.h"
#include "graphics/QDebug.h"
#include "graphics/QFlic.h"
#include "graphics/QVideoSystem.h"
#include "interfaces/QObjectCase.h"
#include "interfaces/QObjectStar.h"
#include "platform/Clock.h"
#include "platform/Display.h"
#include "platform/Ini.h"
#include "platform/Trace.h"
#include "resources/FileAccess.h"
#include "resources/QManager.h"
#include "text/QText.h"

TARVO_IMPLEMENT_CLASS(QInterfaceMain, QInterface)

namespace {

// Stores each placement's values into its object, as the room table is read.
void ApplyPlacements(const BgData& data) {
    for (const BgRoom& room : data.rooms)
        for (const BgPlacement& p : room.placements)
            if (QMessageObject* o = g_system->FindById(p.objectId)) {
                o->x = p.x;
                o->y = p.y;
                o->z = p.depth;
                o->walkX = p.walkX;
                o->walkY = p.walkY;
            }
}

} // namespace

QInterfaceMain::QInterfaceMain() {
    objects.push_back(g_system->cursor.get());
    objects.push_back(g_system->inventoryCase.get());
    objects.push_back(g_system->actionMenu.get());
    std::vector<uint8_t> bytes;
    std::string error;
    if (!FileReadAll("backgrnd.bg", bytes)) {
        platform::Trace("Warning: backgrnd.bg is missing: rooms have no objects\n");
    } else if (!ParseBackgrounds(bytes, rooms, error)) {
        platform::Trace("Warning: backgrnd.bg: %s\n", error.c_str());
        rooms = BgData{};
    }
    ApplyPlacements(rooms);
}

QInterfaceMain::~QInterfaceMain() {
    platform::Trace("~QInterfaceMain\n");
}

const BgRoom* QInterfaceMain::RoomRecord(int roomId) const {
    for (const BgRoom& r : rooms.rooms)
        if (r.roomId == static_cast<int16_t>(roomId)) return &r;
    return nullptr;
}

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
    QMessageObject* room = startRoom[0] != '\0' ? g_system->FindByName(startRoom) : nullptr;
    if (room == nullptr || !room->IsRoom()) {
        startError = std::string("BGs.ini: the start room \"") + startRoom +
                     "\" (key StartRoom of [Settings]) names no room of the script";
        return;
    }
    ChangeBG(room->id);
}

QVisibleObject* QInterfaceMain::TopObjectAt(int x, int y) const {
    for (auto it = objects.rbegin(); it != objects.rend(); ++it)
        if ((*it)->HitTest(x, y)) return *it;
    return nullptr;
}

void QInterfaceMain::OnMouseMove(int x, int y) {
    QObjectCursor& cursor = *g_system->cursor;
    if (QFlic* flic = g_manager != nullptr ? g_manager->GetFlic(cursor.resourceId) : nullptr) {
        const platform::Rect frame = flic->BoundingRect();
        cursor.SetPos(x - flic->Width() / 2 - frame.left, y - flic->Height() / 2 - frame.top);
    }
    QMessageObject* previous = hoveredObject;
    hoveredObject = nullptr;
    QVisibleObject* top = cursor.visible ? TopObjectAt(x, y) : nullptr;
    if (top != nullptr) top->OnMouseOver(x, y);
    // The case hears when the pointer leaves it for a thing laid out on it, so that no
    // button stays lit.
    QObjectCase& inventory = *g_system->inventoryCase;
    if (top != &inventory) inventory.OnMouseOut();
    cursor.animate = hoveredObject != nullptr;
    if (!dialogue.IsIdle()) return;
    if (hoveredObject != nullptr && hoveredObject != previous) {
        if (!hoveredObject->displayName.empty())
            ShowText(hoveredObject->displayName, kCaptionColor, kOutlineColor);
        else
            ShowText(hoveredObject->name, kScriptNameColor, kOutlineColor);
    } else if (previous != nullptr && hoveredObject == nullptr) {
        ShowText("", kCaptionColor, kOutlineColor);
    }
}

void QInterfaceMain::OnLeftClick(int x, int y) {
    QObjectCursor& cursor = *g_system->cursor;
    if (!cursor.visible) return;
    if (QVisibleObject* top = TopObjectAt(x, y)) {
        top->OnClick(x, y);
        return;
    }
    QObjectTarvo& tarvo = g_system->tarvo;
    if (cursor.mode == kCursorWalk) {
        if (const QReaction* rest = tarvo.AfterWalk(); rest != nullptr && rest->Contains(GOTO))
            g_system->varnagel.StopWalk();
        tarvo.DropAfterWalk();
        tarvo.WalkTo(x, y);
    } else if (cursor.mode == kCursorSecond) {
        g_system->varnagel.WalkTo(x, y);
    }
}

void QInterfaceMain::OnRightClick(int x, int y) {
    QObjectStar& menu = *g_system->actionMenu;
    if (!menu.active) return;
    QObjectCursor& cursor = *g_system->cursor;
    if (g_system->inventoryCase->visible && cursor.mode == kCursorHolding) {
        // With the case open, a right click puts the held item back.
        cursor.SetVisible(0);
        cursor.resourceId = kCursorFirstPicture + kCursorTake;
        cursor.GiveBack();
        cursor.mode = kCursorTake;
        if (g_directDraw != nullptr) g_directDraw->PostPointerMove();
        cursor.SetVisible(1);
        return;
    }
    if (!menu.visible) {
        QFlic* flic = g_manager != nullptr ? g_manager->GetFlic(menu.resourceId) : nullptr;
        const int w = flic != nullptr ? flic->Width() : 0, h = flic != nullptr ? flic->Height() : 0;
        const int scroll = g_system->scrollOffset;
        const int left = std::clamp(x - scroll - w / 2, 0, std::max(639 - w, 0));
        const int top = std::clamp(y - h / 2, 0, std::max(479 - h, 0));
        menu.x = left + scroll;
        menu.y = top;
    }
    menu.SetVisible(menu.visible ? 0 : 1);
    // The sector under the pointer lights at once, and the name of what the menu covers goes.
    if (g_directDraw != nullptr) g_directDraw->PostPointerMove();
}

void QInterfaceMain::ShowChoices(const std::vector<std::string>& choices, uint32_t color,
                                 uint32_t outlineColor, uint32_t highlightColor) {
    hoveredObject = nullptr;
    RemoveTexts();
    AddText(std::make_unique<QTextChoice>(choices, color, outlineColor, highlightColor));
}

void QInterfaceMain::ShowDescription(const std::string& text, int frame) {
    g_system->actionMenu->active = 0;
    hoveredObject = nullptr;
    RemoveTexts();
    AddText(std::make_unique<QTextDescription>(text, frame));
}

void QInterfaceMain::EndDescription() {
    hoveredObject = nullptr;
    g_system->actionMenu->active = 1;
    RemoveTexts();
}
