#include "screens/QInterfaceMap.h"

#include "core/MessageTypes.h"
#include "core/QSystem.h"
#include "graphics/QFlic.h"
#include "interfaces/QInterfaceMain.h"
#include "platform/Trace.h"
#include "resources/QManager.h"
#include "text/QText.h"

TARVO_IMPLEMENT_CLASS(QInterfaceMap, QInterfaceScreen)

namespace {

constexpr const char* kMapName = "КАРТА";
constexpr const char* kScreenName = "map";

// The animation of a resource the game has, without the message box a missing one gives: a
// place without one is never hovered, so moving over the map does not repeat that box.
QFlic* AnimationIfAny(int32_t resource) {
    if (g_manager == nullptr || resource == -1) return nullptr;
    if (!g_manager->IsLoaded(resource) && g_manager->Table().count(resource) == 0) return nullptr;
    return g_manager->GetFlic(resource);
}

} // namespace

QInterfaceMap::~QInterfaceMap() {
    platform::Trace("~QInterfaceMap\n");
}

void QInterfaceMap::OpenScreen(int number) {
    const QObjectBG* room = g_system->currentRoom;
    if (room == nullptr || !room->mapAllowed) {
        platform::Trace("The map is not allowed here\n");
        return;
    }
    QMessageObject* map = nullptr;
    const BgRoom* record = PrepareOpening(number, kMapScreen, kMapName, kScreenName, map);
    if (record == nullptr) return;
    ShowText("", kCaptionColor, kOutlineColor);
    objects.clear();
    hoveredPlace = nullptr;
    objects.push_back(map);
    mapPicture = map->resourceId;
    for (const BgPlacement& p : record->placements) {
        QMessageObject* place = g_system->FindById(p.objectId);
        if (place == nullptr) continue;
        AnimationIfAny(place->resourceId);
        place->z = 1;
        place->x = place->y = 0;
        place->highlightA = place->highlightB = place->userValue = 1;
        place->animate = place->visible;
        objects.push_back(place);
    }
    TakeCursorAndView(0);
    // The script may show or hide places now, knowing the map opens by its sender.
    g_system->Broadcast(INITBG, 0, 0, 0, 0, map);
    MakeCurrent();
}

bool QInterfaceMap::IsPlace(const QVisibleObject* object) const {
    if (object->resourceId == kScreenPointer || object->resourceId == mapPicture ||
        object->resourceId == kTextPicture)
        return false;
    return dynamic_cast<const QMessageObject*>(object) != nullptr &&
           AnimationIfAny(object->resourceId) != nullptr;
}

void QInterfaceMap::ShowHover(QMessageObject& place, int state) {
    if (QFlic* flic = AnimationIfAny(place.resourceId)) {
        flic->SetFrame(1);
        place.visible = state == 2;
        // Places are full-screen frames at (0, 0) with only the place drawn.
        flic->AddFrameRects(0, 0, kMaskRects);
    }
    place.highlightA = place.highlightB = state;
}

void QInterfaceMap::ShowCaption(const QMessageObject* place) {
    if (place == nullptr)
        ShowText("", kCaptionColor, kOutlineColor);
    else if (!place->displayName.empty())
        ShowText(place->displayName, kCaptionColor, kOutlineColor);
    else
        ShowText(place->name, kScriptNameColor, kOutlineColor);
}

void QInterfaceMap::OnMouseMove(int x, int y) {
    QMessageObject* before = hoveredPlace;
    hoveredPlace = nullptr;
    for (size_t i = objects.size(); i-- > 1;) {
        if (!IsPlace(objects[i])) continue;
        auto& place = static_cast<QMessageObject&>(*objects[i]);
        int state = 1;
        if (hoveredPlace == nullptr && place.HitTest(x, y)) {
            hoveredPlace = &place;
            state = 2;
        }
        if (state != place.highlightA) ShowHover(place, state);
    }
    QObjectCursor& cursor = *g_system->cursor;
    cursor.animate = hoveredPlace != nullptr;
    cursor.visible = 1;
    cursor.SetPos(x, y);
    if (hoveredPlace != nullptr && hoveredPlace != before) ShowCaption(hoveredPlace);
    if (before != nullptr && hoveredPlace == nullptr) ShowCaption(nullptr);
}

void QInterfaceMap::OnLeftClick(int x, int y) {
    if (objects.size() < 2) return;
    for (size_t i = objects.size(); i-- > 1;) {
        if (!IsPlace(objects[i]) || !objects[i]->HitTest(x, y)) continue;
        objects[i]->OnClick(x, y); // in look mode: the script decides where it leads
        return;
    }
}

void QInterfaceMap::Cancel() {
    hoveredPlace = nullptr;
    QInterfaceScreen::Cancel();
}
