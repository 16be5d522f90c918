#include "screens/QInterfacePanel.h"

#include "core/QSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "platform/Trace.h"

TARVO_IMPLEMENT_CLASS(QInterfacePanel, QInterface)

QInterfacePanel::~QInterfacePanel() {
    platform::Trace("~QInterfacePanel\n");
}

void QInterfacePanel::OpenScreen(int) {
    g_system->currentInterface = this;
}

void QInterfacePanel::Cancel() {
    QInterface::Cancel();
    g_system->currentInterface = g_system->mainInterface.get();
}
