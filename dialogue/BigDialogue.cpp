#include "dialogue/BigDialogue.h"

#include "platform/Trace.h"

BigDialogue* g_dialogue = nullptr;

BigDialogue::~BigDialogue() {
    platform::Trace("~BigDialogue\n");
}

const DialogueHandler* BigDialogue::FindDialogue(uint16_t, uint32_t, bool) const {
    // No conversation tables are loaded until the interpreter lands: no handler exists.
    return nullptr;
}

void BigDialogue::Start(const DialogueHandler&, int) {
    ++startCount;
}
