#pragma once
// Conversations on screen: phrases, choices and recorded speech.
#include <cstdint>
#include <string>
#include <vector>

#include "core/CObject.h"

namespace platform {
class Event;
}
class QMessageObject;

class QDialogInterface : public CObject {
    TARVO_DECLARE_CLASS(QDialogInterface)
public:
    ~QDialogInterface() override;

    void StartDialogue(int number, QMessageObject* partner);
    void StepDialogue(int choice);

    int32_t paused = 0;
    QMessageObject* partner = nullptr;
    // The recorded line now playing and the event its end sets (none without speech).
    std::string speechName;
    platform::Event* speechEnd = nullptr;
    // True while no conversation runs: hover captions are shown only then.
    bool IsIdle() const { return !running; }
    int32_t running = 0;
    // Calls made, for tests, until conversations land.
    std::vector<int> started;
    std::vector<int> steps;
};
