#include "scene/QObjectBG.h"

#include "core/QSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QInterfaceSequence.h"

TARVO_IMPLEMENT_CLASS(QObjectBG, QObject)

QObjectBG::QObjectBG() = default;

void QObjectBG::ApplyBuiltIn(QMessage& m) {
    switch (m.type) {
    case SET:
        resourceId = m.param1; // the room's picture: no sound, no redraw
        return;
    case QM_SETWAIT:
        return; // a room has no animation to switch; the parked rest still waits for END
    default:
        break;
    }
    QMessageObject::ApplyBuiltIn(m);
    switch (m.type) {
    case GOTO:
        g_system->tarvo.StopWalk();
        g_system->varnagel.StopWalk();
        if (g_system->mainInterface) g_system->mainInterface->ChangeBG(id);
        break;
    case SETSEQ:
        if (g_system->sequenceInterface) g_system->sequenceInterface->StartSequence(id);
        break;
    case ENDSEQ:
        if (g_system->sequenceInterface) g_system->sequenceInterface->EndSequence();
        break;
    case MAP: mapAllowed = m.param1 != 0; break;
    case NOMAP: mapAllowed = 0; break;
    case QM_AMBIENCE: ambience = m.param1 == kAny ? -1 : m.param1; break;
    case QM_MUSIC: music = m.param1 == kAny ? -1 : m.param1; break;
    default: break;
    }
}
