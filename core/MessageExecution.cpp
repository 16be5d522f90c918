// What an object does with a delivered message: its matching reactions (with their
// continuations), a dialogue handler, then the built-in effect of the message type.
#include "core/Application.h"
#include "core/QMessageObject.h"
#include "core/QObjectCursor.h"
#include "core/QSystem.h"
#include "dialogue/BigDialogue.h"
#include "graphics/QFlic.h"
#include "graphics/QVideoSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QObjectCase.h"
#include "interfaces/QObjectStar.h"
#include "platform/Display.h"
#include "platform/Ini.h"
#include "resources/QManager.h"
#include "sound/DSengine.h"

namespace {

uint32_t ReactionKey(const QMessage& message) {
    uint32_t key = message.type;
    if (message.type == OBJECTUSE && message.sender != nullptr) key += 65536u * message.sender->id;
    return key;
}

bool Matches(const QReaction& r, const QMessage& m, const QMessageObject& receiver) {
    if (r.type != m.type) return false;
    if (r.status != -1 && static_cast<uint8_t>(r.status) != receiver.status) return false;
    if (r.sender != kAny && (m.sender == nullptr || m.sender->id != r.sender)) return false;
    return true;
}

// CHECK passes when the named object exists and its status equals param1.
bool CheckPasses(const QMessage& check) {
    const QMessageObject* o = g_system->FindById(check.target);
    return o != nullptr && o->status == check.param1;
}

// IF passes when every argument that is not the wildcard equals the handled message's.
bool IfPasses(const QMessage& test, const QMessage& handled) {
    auto same = [](uint16_t want, uint16_t have) { return want == kAny || want == have; };
    return same(test.param1, handled.param1) && same(test.param2, handled.param2) &&
           same(static_cast<uint16_t>(test.param3), static_cast<uint16_t>(handled.param3));
}

void PostCopy(const QMessage& m, QMessageObject* sender) {
    g_system->Post(m.target, m.type, m.param1, m.param2, m.param3, 0, sender);
}

// Type 53: the object named by the message waits for the END of animation param1 with the
// rest of the reaction. False when there is no such object.
void ParkUntilEnd(const QMessage& m, const QReaction& reaction, size_t index) {
    QMessageObject* o = g_system->FindById(m.target);
    if (o == nullptr) return;
    o->deferredReaction = QReaction::Rest(reaction, index);
    o->deferredKey = m.param1;
}

void StartDialogueHandler(uint16_t objectId, uint32_t key, QMessageObject* partner) {
    g_dialogue->Start(objectId, key, -1);
    if (g_system->mainInterface) g_system->mainInterface->dialogue.partner = partner;
}

QObjectTarvo& Walker(uint16_t type) {
    return type == WALKVARN ? static_cast<QObjectTarvo&>(g_system->varnagel) : g_system->tarvo;
}

bool IsWalk(uint16_t type) {
    return type == WALK || type == WALKTO || type == WALKVARN;
}

} // namespace

bool QMessageObject::RunReactions(const QMessage& message) {
    const uint32_t key = ReactionKey(message);
    for (const auto& owned : reactions) {
        const QReaction& reaction = *owned;
        if (!Matches(reaction, message, *this)) continue;
        // Only a dialogue made for this very key runs beside the reaction.
        bool wildcard = false;
        if (g_dialogue != nullptr && g_dialogue->FindDialogue(id, key, wildcard) && !wildcard)
            StartDialogueHandler(id, key, this);
        for (size_t t = 0; t < reaction.messages.size(); ++t) {
            const QMessage& m = reaction.messages[t];
            if (m.type == CHECK && !CheckPasses(m)) break;
            if (m.type == IF && !IfPasses(m, message)) break;
            PostCopy(m, this);
            if (m.type == DIALOG) {
                g_afterDialogue = QReaction::Rest(reaction, t);
                break;
            }
            if (m.type == QM_SETWAIT) {
                ParkUntilEnd(m, reaction, t);
                break;
            }
            if (IsWalk(m.type)) {
                Walker(m.type).SetAfterWalk(static_cast<int>(t), reaction, this);
                break;
            }
        }
        handled = 1;
    }
    if (handled || g_dialogue == nullptr) return false;
    bool wildcard = false;
    if (g_dialogue->FindDialogue(id, key, wildcard) == nullptr) return false;
    StartDialogueHandler(id, key, this);
    if (g_system->mainInterface)
        g_system->mainInterface->dialogue.StartDialogue(message.param1, this);
    handled = 1;
    return true;
}

void QMessageObject::HandleMessage(QMessage& message) {
    handled = 0;
    if (RunReactions(message)) return;
    ApplyBuiltIn(message);
}

void QSystem::RunReaction(std::unique_ptr<QReaction>* holder, QMessageObject* sender) {
    if (holder == nullptr || *holder == nullptr) return;
    // Take the continuation out of its holder first: while it runs, the holder may be given
    // a new one (a DIALOG inside an after-dialogue continuation), which it then keeps.
    const std::unique_ptr<QReaction> r = std::move(*holder);
    for (size_t i = 0; i < r->messages.size(); ++i) {
        const QMessage& m = r->messages[i];
        if (m.type == CHECK && !CheckPasses(m)) return;
        PostCopy(m, sender);
        if (m.type == DIALOG) {
            g_afterDialogue = QReaction::Rest(*r, i);
            return;
        }
        if (m.type == QM_SETWAIT) {
            ParkUntilEnd(m, *r, i);
            return;
        }
        if (IsWalk(m.type)) {
            Walker(m.type).SetAfterWalk(static_cast<int>(i), *r, sender);
            return;
        }
    }
}
