#pragma once
// The inventory case: the carried items by object id, shown six to a page over the room. Its
// buttons pick up Varnagel as the cursor, open the options panel or the map, close the case
// and page forward and back; the items themselves are script objects that the player clicks.
//
// While an item is laid out in the open case the case owns its place, its depth (fixed above
// the case, whatever its frame would say), its walk point (none) and its visibility (shown,
// unless it is on the cursor): an item hidden in its room still shows in the case. When the
// item leaves the page (the case closes, the page turns, the item leaves the inventory) each
// of these comes back as it was, unless a script changed it meanwhile.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/QObject.h"
#include "core/QObjectCursor.h"
#include "platform/Types.h"

class QFlic;

inline constexpr int kCaseButtons = 6;
inline constexpr int kCaseItemsPerPage = 6;
// Buttons: Varnagel as the cursor, the options panel, the map, close, next and previous page.
enum CaseButton {
    kCaseVarnagel = 0,
    kCasePanel = 1,
    kCaseMap = 2,
    kCaseClose = 3,
    kCaseNextPage = 4,
    kCasePreviousPage = 5,
};
// Screen positions of the top-left corners of the six places of a page.
inline constexpr platform::Point kCasePlaces[kCaseItemsPerPage] = {
    {120, 145}, {240, 145}, {360, 145}, {100, 220}, {240, 220}, {380, 220}};
inline constexpr int32_t kCaseDepth = 980;
inline constexpr int32_t kCasePicture = 6000;
inline constexpr int32_t kCaseFirstHighlight = 6001;
inline constexpr int32_t kCaseCloseArea = 6009;
// The script object drawn over the laid-out items, in Windows-1251 as the script stores it.
std::string CaseStrapName();

class QObjectCase : public QObject {
    TARVO_DECLARE_CLASS(QObjectCase)
public:
    QObjectCase();
    ~QObjectCase() override;

    void Draw(platform::Surface& target) override;
    // Animates the highlight of the hot button.
    void Update(int elapsedMs) override;
    // An open case takes every click and hover that nothing above it takes.
    int HitTest(int, int) override { return visible ? 1 : 0; }
    // Finds the hot button; the case never becomes the hovered object.
    void OnMouseOver(int x, int y) override;
    // The pointer is over something else: no button is hot.
    void OnMouseOut();
    void OnClick(int x, int y) override;
    // Opens (laying out the page and the strap) or closes the case.
    void SetVisible(int flag) override;

    // Lays out the page from firstShown again.
    void LayOut();
    // Hides and shows the case again so that it is laid out anew, when it is open.
    void Refresh();
    // Removes the entries equal to `id`, stepping back a page when the shown one empties.
    void RemoveItem(uint16_t id);
    bool Holds(uint16_t id) const;

    // The button under the screen point, by the close-area picture and then the highlights'
    // rectangles; -1 for none.
    int ButtonAt(int screenX, int screenY) const;

    // The flags an item has in its room: while it is laid out, those it had before the case
    // showed it; otherwise its own.
    ShowFlags RoomFlags(const QMessageObject& object) const;
    // Gives a held item back into the open case when it lies on the page: shown there again,
    // with `room` as the flags it goes back to later. False when it is not laid out.
    bool TakeBack(QMessageObject& object, const ShowFlags& room);
    bool IsLaidOut(const QMessageObject& object) const;

    int32_t hotButton = -1;
    int32_t firstShown = 0;
    std::vector<uint16_t> items;

private:
    // The fields the case changes on an object it shows.
    struct State {
        int32_t x = 0, y = 0, z = 0, depthFromFrame = 0, walkX = 0, walkY = 0;
        ShowFlags flags;
    };
    // An object the case shows: what it had before, what the case gave it, and whether it
    // was in the main list already (a room's object), so that it stays there afterwards.
    struct Shown {
        QMessageObject* object = nullptr;
        State before;
        State given;
        bool wasListed = false;
    };

    static State StateOf(const QMessageObject& object);
    // Gives the object the state `given` and appends it to the main list.
    Shown Show(QMessageObject& object, const State& given, bool wasListed);
    void PutBack(Shown& shown);
    void PutBackItems();
    void ShowStrap();
    void PutBackStrap();
    // The strap object, or null (with a warning the first time) when the script has none.
    QMessageObject* FindStrap();
    Shown* ShownOf(const QMessageObject& object);
    const Shown* ShownOf(const QMessageObject& object) const;
    QFlic* Highlight(int button) const;
    void MarkHighlight(int button) const;
    void PressButton(int button);
    void HoldView();
    void ReleaseView();

    std::vector<Shown> shownItems_;
    std::optional<Shown> shownStrap_;
    bool strapWarned_ = false;
    int32_t heldScrollTarget_ = 0;
};
