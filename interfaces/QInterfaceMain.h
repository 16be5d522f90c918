#pragma once
// The in-room screen: hover feedback, clicks into script messages, the action menu, the room
// change, and the dialogue interface it hosts.
#include <cstdint>
#include <string>

#include "interfaces/QDialogInterface.h"
#include "interfaces/QInterface.h"

class QMessageObject;

class QInterfaceMain : public QInterface {
    TARVO_DECLARE_CLASS(QInterfaceMain)
public:
    // Appends the cursor, the case and the action menu of the world to the list.
    QInterfaceMain();
    ~QInterfaceMain() override;

    void Start() override;

    virtual void ShowDescription(const std::string& text, int frame);
    virtual void EndDescription();
    // Enters the room with id `roomId`.
    void ChangeBG(int roomId);

    QMessageObject* hoveredObject = nullptr;
    int16_t currentRoomId = -1;
    QDialogInterface dialogue;

    // Descriptions asked for, for tests, until text objects land: (text, frame).
    std::vector<std::pair<std::string, int>> descriptions;
};
