#include "interfaces/QInterfaceSequence.h"

#include "platform/Trace.h"

TARVO_IMPLEMENT_CLASS(QInterfaceSequence, QInterface)

QInterfaceSequence::~QInterfaceSequence() {
    platform::Trace("~QInterfaceSequence\n");
}

// Cut-scenes come with the sequence interface; until then the request is only kept.
void QInterfaceSequence::StartSequence(int id) {
    roomId = id;
    running = 1;
}

void QInterfaceSequence::EndSequence() {
    running = 0;
}
