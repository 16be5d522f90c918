#pragma once
// The conversation interpreter's entry points used by message handling. Handlers are looked
// up by object id and reaction key.
#include <cstdint>

struct DialogueHandler {
    uint16_t objectId = 0;
    uint32_t key = 0;
    bool wildcard = false;
    int entry = 0;
};

class BigDialogue {
public:
    ~BigDialogue();

    // The handler for (object id, reaction key); wildcard handlers only when allowed. Never
    // one for END or HALF.
    const DialogueHandler* FindDialogue(uint16_t objectId, uint32_t key, bool allowWildcard) const;
    void Start(const DialogueHandler& handler, int entry);

    int startCount = 0;
};

extern BigDialogue* g_dialogue;
