#pragma once
// Conversations on screen: phrases, choices and recorded speech.
#include <cstdint>
#include <vector>

#include "core/CObject.h"

class QMessageObject;

class QDialogInterface : public CObject {
    TARVO_DECLARE_CLASS(QDialogInterface)
public:
    ~QDialogInterface() override;

    void StartDialogue(int number, QMessageObject* partner);
    void StepDialogue(int choice);

    int32_t paused = 0;
    QMessageObject* partner = nullptr;
    // Calls made, for tests, until conversations land.
    std::vector<int> started;
    std::vector<int> steps;
};
