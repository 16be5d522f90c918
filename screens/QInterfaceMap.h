#pragma once
// The map screen.
#include "interfaces/QInterface.h"

class QInterfaceMap : public QInterface {
    TARVO_DECLARE_CLASS(QInterfaceMap)
public:
    ~QInterfaceMap() override;

    void OpenScreen(int number);
    void Cancel() override;
};
