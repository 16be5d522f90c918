#include "screens/QInterfaceMap.h"

#include "core/QSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "platform/Trace.h"

TARVO_IMPLEMENT_CLASS(QInterfaceMap, QInterface)

QInterfaceMap::~QInterfaceMap() {
    platform::Trace("~QInterfaceMap\n");
}

// The screen has no pictures or controls yet: made current, it would take every click and
// key while showing nothing. Until it is built, opening it leaves the rooms in charge.
void QInterfaceMap::OpenScreen(int number) {
    platform::Trace("Map %d: this screen is not available yet\n", number);
}

void QInterfaceMap::Cancel() {
    QInterface::Cancel();
    g_system->currentInterface = g_system->mainInterface.get();
}
