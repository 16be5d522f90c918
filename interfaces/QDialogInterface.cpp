#include "interfaces/QDialogInterface.h"

#include "platform/Trace.h"

TARVO_IMPLEMENT_CLASS(QDialogInterface, CObject)

QDialogInterface::~QDialogInterface() {
    platform::Trace("~QDialogInterface\n");
}

void QDialogInterface::StartDialogue(int number, QMessageObject* who) {
    // Conversations on screen come with the dialogue interface; the request is kept.
    started.push_back(number);
    partner = who;
}

void QDialogInterface::StepDialogue(int choice) {
    steps.push_back(choice);
}
