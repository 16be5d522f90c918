#include "screens/QInterfaceMap.h"

#include "core/QSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "platform/Trace.h"

TARVO_IMPLEMENT_CLASS(QInterfaceMap, QInterface)

QInterfaceMap::~QInterfaceMap() {
    platform::Trace("~QInterfaceMap\n");
}

void QInterfaceMap::OpenScreen(int) {
    g_system->currentInterface = this;
}

void QInterfaceMap::Cancel() {
    QInterface::Cancel();
    g_system->currentInterface = g_system->mainInterface.get();
}
