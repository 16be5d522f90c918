#pragma once
// The map: the picture of the script object named "КАРТА" with the places of its record in
// "backgrnd.bg" over it. A place is drawn only while the pointer is over it, with its name as
// the caption; a click on it goes to the place's own click in look mode, so that the script
// decides where it leads. Rooms say whether the map may be opened from them (MAP, NOMAP).
#include <cstdint>

#include "screens/QInterfaceScreen.h"

class QInterfaceMap : public QInterfaceScreen {
    TARVO_DECLARE_CLASS(QInterfaceMap)
public:
    ~QInterfaceMap() override;

    void OnLeftClick(int x, int y) override;
    void OnMouseMove(int x, int y) override;
    void OnRightClick(int, int) override { Cancel(); }
    void Cancel() override;

    // Opens the map over the room (4800; another number only traces), unless the room does
    // not allow it. Without the map's object or its record the map stays shut, traced.
    void OpenScreen(int number);

    QMessageObject* hoveredPlace = nullptr;
    int32_t mapPicture = -1; // the resource of "КАРТА", never taken for a place

private:
    // Whether the listed object can be a place: not the pointer, not the map, not a text,
    // and with an animation to hit.
    bool IsPlace(const QVisibleObject* object) const;
    // Stores a changed hover state of a place and shows or hides it.
    static void ShowHover(QMessageObject& place, int state);
    void ShowCaption(const QMessageObject* place);
};
