#include "interfaces/QObjectStar.h"

#include "platform/Trace.h"

TARVO_IMPLEMENT_CLASS(QObjectStar, QObject)

QObjectStar::QObjectStar() {
    id = 4098;
    resourceId = 5000;
    z = 999;
    visible = 0;
    depthFromFrame = 0;
    active = 1;
}

QObjectStar::~QObjectStar() {
    platform::Trace("~QObjectStar\n");
}
