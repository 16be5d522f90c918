#pragma once
// The options panel.
#include "interfaces/QInterface.h"

class QInterfacePanel : public QInterface {
    TARVO_DECLARE_CLASS(QInterfacePanel)
public:
    ~QInterfacePanel() override;

    // Until the panel is built, only traces that it is not available: the main interface
    // stays current.
    void OpenScreen(int number);
    void Cancel() override;

    int32_t speedPercent = 0;
};
