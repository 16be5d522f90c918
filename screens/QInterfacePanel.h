#pragma once
// The options panel.
#include "interfaces/QInterface.h"

class QInterfacePanel : public QInterface {
    TARVO_DECLARE_CLASS(QInterfacePanel)
public:
    ~QInterfacePanel() override;

    // Makes the panel the current interface, opened with picture `number`.
    void OpenScreen(int number);
    void Cancel() override;

    int32_t speedPercent = 0;
};
