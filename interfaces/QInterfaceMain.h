#pragma once
// The in-room screen: hover feedback, clicks into script messages or walks, the action menu,
// the room change, the texts shown, and the dialogue interface it hosts.
#include <cstdint>
#include <string>
#include <vector>

#include "core/BgFormat.h"
#include "interfaces/QDialogInterface.h"
#include "interfaces/QInterface.h"

class QMessageObject;

class QInterfaceMain : public QInterface {
    TARVO_DECLARE_CLASS(QInterfaceMain)
public:
    // Appends the world's cursor, case and action menu to the list and reads "backgrnd.bg".
    QInterfaceMain();
    ~QInterfaceMain() override;

    // Delivers the queue, ends loading and enters the start room. A start room that names no
    // room leaves startError set.
    void Start() override;
    void OnLeftClick(int x, int y) override;
    void OnMouseMove(int x, int y) override;
    void OnRightClick(int x, int y) override;

    virtual void ShowChoices(const std::vector<std::string>& choices, uint32_t color,
                             uint32_t outlineColor, uint32_t highlightColor);
    virtual void ShowDescription(const std::string& text, int frame);
    virtual void EndDescription();

    // Enters the room with script id `roomId`: the left room's objects go, the new room's
    // come with its picture and sounds, and every object hears of it.
    void ChangeBG(int roomId);
    // The placements of a room, or null when "backgrnd.bg" has no record for it.
    const BgRoom* RoomRecord(int roomId) const;

    QMessageObject* hoveredObject = nullptr;
    int16_t currentRoomId = -1;
    BgData rooms;
    QDialogInterface dialogue;
    std::string startError;

private:
    // The object under the pointer, searching from the top of the drawing order.
    QVisibleObject* TopObjectAt(int x, int y) const;
    void LeaveRoom(int roomId);
    void SwitchRoomSound(int32_t wanted, int32_t& playing, int category);
};
