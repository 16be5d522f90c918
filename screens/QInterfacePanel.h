#pragma once
// The options panel.
#include "interfaces/QInterface.h"

class QInterfacePanel : public QInterface {
    TARVO_DECLARE_CLASS(QInterfacePanel)
public:
    // Reads the settings from the application profile (section "Options").
    QInterfacePanel();
    ~QInterfacePanel() override;

    // Until the panel is built, only traces that it is not available: the main interface
    // stays current.
    void OpenScreen(int number);
    void Cancel() override;

    uint16_t speed = 26;         // 1..26, profile key "Speed"
    uint16_t speedPercent = 100; // (speed - 1) * 100 / 25: the characters walk faster by it
};
