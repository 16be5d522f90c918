#pragma once
// The game's own mouse cursor. Its mode decides what a click on an object means; in the
// holding mode it carries an inventory object. Its x, y are screen coordinates.
#include "core/QObject.h"

enum CursorMode {
    kCursorLook = 0,
    kCursorWalk = 1,
    kCursorUse = 2,
    kCursorTake = 3,
    kCursorTalk = 4,
    kCursorSecond = 5,
    kCursorHolding = 6,
};

inline constexpr int32_t kCursorFirstPicture = 5002;

// Whether an object is drawn and whether it takes the mouse.
struct ShowFlags {
    int32_t visible = 1;
    int32_t active = 1;
    friend bool operator==(const ShowFlags&, const ShowFlags&) = default;
};

class QObjectCursor : public QObject {
    TARVO_DECLARE_CLASS(QObjectCursor)
public:
    // (pointerX, pointerY): the system pointer's position at construction.
    QObjectCursor(int pointerX, int pointerY);
    ~QObjectCursor() override;

    // Drawn at its screen position, clipped to the screen and the dirty rectangles.
    void Draw(platform::Surface& target) override;
    // Catches up every frame due; no END, HALF or sound.
    void Update(int elapsedMs) override;
    // (x, y) in room coordinates; the cursor keeps screen coordinates. Pans the room music.
    void SetPos(int x, int y) override;
    int HitTest(int, int) override { return 0; }
    void OnMouseOver(int, int) override {}
    void OnClick(int, int) override {}
    void SetVisible(int flag) override;
    void UpdateDepth() override {}
    // Select mode m (0..5): its picture, the held object given back.
    void SelectMode(int mode);

    // Takes `object` onto the cursor with cursor picture `picture` (holding mode), giving back
    // what was held before. The object is hidden and passive while held.
    void Take(QMessageObject* object, int32_t picture);
    // Back to the look cursor, giving back what was held.
    void Drop();
    // Puts a held object back where it came from and forgets it: shown again in the open case
    // when it lies on the page there, otherwise with the visibility and activity it had
    // before it was taken (an item a script hid in its room stays hidden there).
    void GiveBack();
    // The flags the held object goes back to.
    const ShowFlags& RestingFlags() const { return resting_; }

    QMessageObject* heldObject = nullptr;
    int32_t mode = kCursorLook;

private:
    ShowFlags resting_;
};
