#pragma once
// The map screen.
#include "interfaces/QInterface.h"

class QInterfaceMap : public QInterface {
    TARVO_DECLARE_CLASS(QInterfaceMap)
public:
    ~QInterfaceMap() override;

    // Until the map is built, only traces that it is not available: the main interface stays
    // current.
    void OpenScreen(int number);
    void Cancel() override;
};
