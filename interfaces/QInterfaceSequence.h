#pragma once
// Cut-scene sequences that take over the screen and return to the room.
#include "interfaces/QInterface.h"

class QInterfaceSequence : public QInterface {
    TARVO_DECLARE_CLASS(QInterfaceSequence)
public:
    ~QInterfaceSequence() override;

    void StartSequence(int roomId);
    void EndSequence();

    int32_t roomId = -1;
    int32_t running = 0;
};
