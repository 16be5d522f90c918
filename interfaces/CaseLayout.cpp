// Laying out the open case: the page's items at their places and the strap over them, and
// putting back what the case changed on them when they leave the page.
#include <algorithm>

#include "core/QSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QObjectCase.h"
#include "interfaces/QObjectStar.h"
#include "platform/Cp1251.h"
#include "platform/Trace.h"
#include "resources/QManager.h"

namespace {

constexpr int32_t kItemDepth = kCaseDepth + 1;
constexpr int32_t kStrapDepth = kCaseDepth + 2;

std::vector<QVisibleObject*>& MainList() {
    return g_system->mainInterface->objects;
}

// The engine's own screens never go into the case: laying them out would move them.
bool IsEngineObject(const QMessageObject* o) {
    return o == g_system->cursor.get() || o == g_system->inventoryCase.get() ||
           o == g_system->actionMenu.get();
}

// Takes an object out of the main list, keeping the first animated entry where it was.
bool TakeFromList(const QVisibleObject* object) {
    std::vector<QVisibleObject*>& list = MainList();
    const auto it = std::find(list.begin(), list.end(), object);
    if (it == list.end()) return false;
    int32_t& firstAnimated = g_system->mainInterface->firstAnimated;
    if (it - list.begin() < firstAnimated) --firstAnimated;
    list.erase(it);
    return true;
}

// A field goes back to its earlier value unless a script changed it while it was shown.
void Restore(int32_t& field, int32_t given, int32_t before) {
    if (field == given) field = before;
}

} // namespace

std::string CaseStrapName() {
    return platform::Utf8ToCp1251("Полоска в чемодане");
}

bool QObjectCase::Holds(uint16_t itemId) const {
    return std::find(items.begin(), items.end(), itemId) != items.end();
}

void QObjectCase::RemoveItem(uint16_t itemId) {
    std::erase(items, itemId);
    // Several entries may go at once: step back until the page shows something again.
    const auto count = static_cast<int32_t>(items.size());
    while (firstShown > 0 && firstShown >= count)
        firstShown = std::max(firstShown - kCaseItemsPerPage, 0);
}

QObjectCase::Shown* QObjectCase::ShownOf(const QMessageObject& object) {
    for (Shown& s : shownItems_)
        if (s.object == &object) return &s;
    return nullptr;
}

const QObjectCase::Shown* QObjectCase::ShownOf(const QMessageObject& object) const {
    return const_cast<QObjectCase*>(this)->ShownOf(object);
}

bool QObjectCase::IsLaidOut(const QMessageObject& object) const {
    return ShownOf(object) != nullptr;
}

ShowFlags QObjectCase::RoomFlags(const QMessageObject& object) const {
    if (const Shown* s = ShownOf(object)) return s->before.flags;
    return ShowFlags{object.visible, object.active};
}

bool QObjectCase::TakeBack(QMessageObject& object, const ShowFlags& room) {
    Shown* s = ShownOf(object);
    if (s == nullptr) return false;
    s->before.flags = room;
    s->given.flags = ShowFlags{1, 1};
    object.SetVisible(1);
    object.active = 1;
    return true;
}

QObjectCase::State QObjectCase::StateOf(const QMessageObject& o) {
    return State{o.x, o.y, o.z, o.depthFromFrame, o.walkX, o.walkY, {o.visible, o.active}};
}

QObjectCase::Shown QObjectCase::Show(QMessageObject& o, const State& given, bool listed) {
    Shown s{&o, StateOf(o), given, listed};
    o.x = given.x;
    o.y = given.y;
    o.z = given.z;
    o.depthFromFrame = given.depthFromFrame;
    o.walkX = given.walkX;
    o.walkY = given.walkY;
    o.visible = given.flags.visible;
    o.active = given.flags.active;
    MainList().push_back(&o);
    if (g_manager != nullptr && o.resourceId != -1) g_manager->GetFlic(o.resourceId);
    return s;
}

void QObjectCase::PutBack(Shown& s) {
    QMessageObject& o = *s.object;
    Restore(o.x, s.given.x, s.before.x);
    Restore(o.y, s.given.y, s.before.y);
    Restore(o.z, s.given.z, s.before.z);
    Restore(o.depthFromFrame, s.given.depthFromFrame, s.before.depthFromFrame);
    Restore(o.walkX, s.given.walkX, s.before.walkX);
    Restore(o.walkY, s.given.walkY, s.before.walkY);
    // An item on the cursor stays hidden; it gets its flags back when it is given back.
    if (g_system->cursor->heldObject != &o) {
        Restore(o.visible, s.given.flags.visible, s.before.flags.visible);
        Restore(o.active, s.given.flags.active, s.before.flags.active);
    }
    if (!s.wasListed) TakeFromList(&o);
}

void QObjectCase::PutBackItems() {
    for (Shown& s : shownItems_)
        PutBack(s);
    shownItems_.clear();
}

void QObjectCase::LayOut() {
    PutBackItems();
    // The page: each place's object, once (an id listed twice shows in its first place).
    std::vector<std::pair<QMessageObject*, int>> page;
    const auto count = static_cast<int32_t>(items.size());
    for (int32_t i = std::max(firstShown, 0); i < std::min(firstShown + kCaseItemsPerPage, count);
         ++i) {
        QMessageObject* o = g_system->FindById(items[static_cast<size_t>(i)]);
        if (o == nullptr || IsEngineObject(o)) continue;
        if (std::any_of(page.begin(), page.end(), [&](const auto& p) { return p.first == o; }))
            continue;
        page.emplace_back(o, i - firstShown);
    }
    // Objects of the room go to the end of the list with the others; the entries before the
    // case are those it covers, which stop animating while it is open.
    std::vector<bool> listed;
    for (const auto& p : page)
        listed.push_back(TakeFromList(p.first));
    std::vector<QVisibleObject*>& list = MainList();
    const auto self = std::find(list.begin(), list.end(), this);
    g_system->mainInterface->firstAnimated =
        self != list.end() ? static_cast<int32_t>(self - list.begin()) : 0;
    const QObjectCursor& cursor = *g_system->cursor;
    for (size_t k = 0; k < page.size(); ++k) {
        QMessageObject& o = *page[k].first;
        const platform::Point place = kCasePlaces[page[k].second];
        const bool held = cursor.heldObject == &o;
        const State given{
            place.x + x, place.y, kItemDepth, 0, -1, -1, held ? ShowFlags{0, 0} : ShowFlags{1, 1}};
        Shown s = Show(o, given, listed[k]);
        // A held item comes back to what it had before it was taken, not to hidden.
        if (held) s.before.flags = cursor.RestingFlags();
        shownItems_.push_back(s);
    }
}

QMessageObject* QObjectCase::FindStrap() {
    QMessageObject* strap = g_system->FindByName(CaseStrapName());
    if (strap == nullptr && !strapWarned_) {
        platform::Trace("Warning: the script has no object \"Полоска в чемодане\": the case "
                        "opens without its strap\n");
        strapWarned_ = true;
    }
    return strap != nullptr && !IsEngineObject(strap) ? strap : nullptr;
}

void QObjectCase::ShowStrap() {
    if (shownStrap_) return;
    QMessageObject* strap = FindStrap();
    if (strap == nullptr || IsLaidOut(*strap)) return;
    const bool listed = TakeFromList(strap);
    const State given{
        x, strap->y, kStrapDepth, 0, strap->walkX, strap->walkY, {strap->visible, strap->active}};
    shownStrap_ = Show(*strap, given, listed);
}

void QObjectCase::PutBackStrap() {
    if (!shownStrap_) return;
    PutBack(*shownStrap_);
    shownStrap_.reset();
}
