#include "interfaces/QObjectCase.h"

#include "platform/Trace.h"

TARVO_IMPLEMENT_CLASS(QObjectCase, QObject)

QObjectCase::QObjectCase() {
    id = 4099;
    resourceId = 6000;
    z = 980;
    visible = 0;
    depthFromFrame = 0;
}

QObjectCase::~QObjectCase() {
    platform::Trace("~QObjectCase\n");
}

void QObjectCase::Refresh() {
    if (!visible) return;
    SetVisible(0);
    SetVisible(1);
}
