#pragma once
// What the options panel and the map share: a full screen built from script objects, shown
// unscrolled with the screens' own pointer, that puts the room's view and cursor back when it
// closes.
#include <cstdint>
#include <string>

#include "interfaces/QInterface.h"

class QMessageObject;
struct BgRoom;

// The pointer picture of the panel and the map.
inline constexpr int32_t kScreenPointer = 4901;
inline constexpr int kMapScreen = 4800;
inline constexpr int kPanelScreen = 4900;

class QInterfaceScreen : public QInterface {
    TARVO_DECLARE_CLASS(QInterfaceScreen)
public:
    // Puts back the room's view and cursor and makes the main interface current; then the
    // base Cancel (texts removed, all redrawn). Only an open screen puts a view and cursor
    // back: a closed one has kept none.
    void Cancel() override;

    bool IsOpen() const { return open_; }

protected:
    // What the screen is made of when it may open with `number`: the script object named
    // `utf8Name` (stored in the game's code page) and its record in "backgrnd.bg". Null, with
    // the reason traced, for another number than `expected`, without the object or its
    // record, and during a cut-scene. Another full screen that is open closes first, so that
    // its view is not taken for the room's.
    const BgRoom* PrepareOpening(int number, int expected, const std::string& utf8Name,
                                 const char* screen, QMessageObject*& object);
    // The world's cursor as the screen's pointer (picture 4901, look mode), the room's view
    // unscrolled, 640 wide; both remembered for Cancel. The cursor is appended to the list.
    void TakeCursorAndView(int32_t animate);
    // This interface current, the time spent opening it not counted as a frame, all redrawn.
    void MakeCurrent();

private:
    bool open_ = false;
    int32_t savedScrollOffset_ = 0;
    int32_t savedRoomWidth_ = 640;
    int32_t savedCursorPicture_ = -1;
    int32_t savedCursorMode_ = 0;
};
