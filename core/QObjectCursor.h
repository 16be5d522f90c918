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

class QObjectCursor : public QObject {
    TARVO_DECLARE_CLASS(QObjectCursor)
public:
    // (pointerX, pointerY): the system pointer's position at construction.
    QObjectCursor(int pointerX, int pointerY);
    ~QObjectCursor() override;

    // Takes `object` onto the cursor with cursor picture `picture` (holding mode), giving back
    // what was held before.
    void Take(QMessageObject* object, int32_t picture);
    // Back to the look cursor, giving back what was held.
    void Drop();
    // Makes a held object visible and active again and forgets it.
    void GiveBack();

    QMessageObject* heldObject = nullptr;
    int32_t mode = kCursorLook;
};
