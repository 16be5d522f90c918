// The built-in effect of each message type on the receiving object, applied after its
// reactions ran.
#include <cstring>

#include "core/Application.h"
#include "core/QMessageObject.h"
#include "core/QObjectCursor.h"
#include "core/QSystem.h"
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

bool g_quit = false;

void InvalidateAll() {
    if (g_video != nullptr) g_video->InvalidateAll();
}

// SET and type 53 on an object: switch to animation `id`, moving the companion sound along
// and marking the old frame's area, where the object stands, for redraw. While loading only
// the number is recorded.
void SwitchAnimation(QMessageObject& o, const QMessage& m) {
    if (g_system->loading) {
        o.resourceId = m.param1;
    } else {
        if (g_sound != nullptr && g_manager != nullptr) {
            g_sound->RemoveSound(g_manager->GetSoundName(o.resourceId));
            g_sound->LoadSound(g_manager->GetSoundName(m.param1), kSoundEffects);
        }
        QFlic* old = (g_manager != nullptr && o.resourceId != -1) ? g_manager->GetFlic(o.resourceId)
                                                                  : nullptr;
        if (old != nullptr && g_video != nullptr) {
            const int left = o.x + old->DrawOffset().x - g_system->scrollOffset;
            const int top = o.y + old->DrawOffset().y;
            g_video->AddDirtyRect(
                platform::Rect{left, top, left + old->Width(), top + old->Height()});
        }
        o.resourceId = m.param1;
        if (QFlic* now = g_manager != nullptr ? g_manager->GetFlic(o.resourceId) : nullptr)
            now->SetFrame(1);
        o.frameClock = 0;
    }
    if (m.param2 == 1) {
        if (QFlic* now = g_manager != nullptr ? g_manager->GetFlic(o.resourceId) : nullptr)
            now->SetFrame(1);
        InvalidateAll();
        o.frameClock = 0;
    } else if (m.param2 == 2 && g_manager != nullptr) {
        g_manager->GetFlic(o.resourceId);
    }
}

// An item that leaves the inventory while on the cursor leaves the cursor too, as if the
// script had dropped it (back to the look cursor).
void RemoveFromInventory(QObjectCase& c, QMessageObject& item) {
    c.RemoveItem(item.id);
    QObjectCursor& cursor = *g_system->cursor;
    if (cursor.mode != kCursorHolding || cursor.heldObject != &item) return;
    cursor.Drop();
    InvalidateAll();
    if (g_directDraw != nullptr) g_directDraw->PostPointerMove();
}

void ShowDescription(const QMessageObject& o, const QMessage& m) {
    char text[499];
    platform::GetPrivateProfileString("all", o.name, "", text, sizeof text, ".\\invntr.txt");
    if (g_system->mainInterface) g_system->mainInterface->ShowDescription(text, m.param1);
}

void WalkToWalkPoint(QObjectTarvo& who, const QMessageObject& o) {
    if (o.walkX != -1) who.WalkTo(o.walkX, o.walkY);
}

void CursorTakes(QMessageObject& o, const QMessage& m) {
    QObjectCursor& cursor = *g_system->cursor;
    if (m.param1 == kAny)
        cursor.Drop();
    else
        cursor.Take(&o, m.param1);
    InvalidateAll();
    if (g_directDraw != nullptr) g_directDraw->PostPointerMove();
}

void ApplySystem40(uint16_t value) {
    if (value == 0)
        g_system->actionMenu->active = 0;
    else if (value == 1)
        g_system->actionMenu->active = 1;
    else if (value == 242)
        PostQuitMessage();
}

} // namespace

void PostQuitMessage() {
    g_quit = true;
}
bool QuitRequested() {
    return g_quit;
}
void ClearQuitRequest() {
    g_quit = false;
}

void QMessageObject::ApplyBuiltIn(QMessage& m) {
    QObjectCase* inventory = g_system->inventoryCase.get();
    switch (m.type) {
    case QM_SETPOS:
        SetPos(m.param1, m.param2);
        break;
    case WALK:
        if (!handled) WalkToWalkPoint(g_system->tarvo, *this);
        break;
    case END:
        if (deferredReaction && deferredKey == m.param1)
            g_system->RunReaction(&deferredReaction, this);
        break;
    case SET:
    case QM_SETWAIT:
        SwitchAnimation(*this, m);
        break;
    case SHOW:
        SetVisible(m.param1);
        break;
    case HIDE:
        SetVisible(0);
        break;
    case DIALOG:
        if (g_system->mainInterface)
            g_system->mainInterface->dialogue.StartDialogue(m.param1, this);
        break;
    case ZBUFFER:
        depthFromFrame = m.param1;
        if (m.param2 != kAny) z = m.param2;
        break;
    case ANIMATE:
        animate = m.param1;
        break;
    case STATUS:
        status = static_cast<uint8_t>(m.param1 & 0xFF);
        break;
    case ADDINV:
        if (inventory == nullptr) break;
        inventory->items.push_back(id);
        inventory->Refresh();
        break;
    case DELINV:
        if (inventory == nullptr) break;
        RemoveFromInventory(*inventory, *this);
        inventory->Refresh();
        break;
    case SETINV:
        if (inventory == nullptr || m.sender == nullptr) break;
        std::replace(inventory->items.begin(), inventory->items.end(), m.sender->id, id);
        inventory->Refresh();
        break;
    case SYSTEM:
        g_system->cursor->SetVisible(m.param1);
        g_system->actionMenu->active = m.param1;
        break;
    case SYSTEM2:
        ApplySystem40(m.param1);
        break;
    case CURSOR:
        CursorTakes(*this, m);
        break;
    case OBJECTUSE:
        if (!handled && m.sender != nullptr && m.sender->id == 1)
            WalkToWalkPoint(g_system->varnagel, *this);
        break;
    case ACTIVE:
        active = m.param1;
        break;
    case PASSIVE:
        active = 0;
        break;
    case QM_ENABLE:
        active = 1;
        SetVisible(1);
        break;
    case QM_DISABLE:
        active = 0;
        SetVisible(0);
        break;
    case SHOWDESCRIPTION:
        ShowDescription(*this, m);
        break;
    case WALKTO:
        if (walkX == -1) break;
        g_system->tarvo.WalkTo(walkX, walkY);
        if (const QReaction* rest = g_system->tarvo.AfterWalk();
            rest != nullptr && rest->Contains(GOTO))
            g_system->varnagel.WalkTo(walkX, walkY);
        break;
    case WALKVARN:
        WalkToWalkPoint(g_system->varnagel, *this);
        break;
    case CONTINUE:
        if (g_system->mainInterface) g_system->mainInterface->dialogue.Continue();
        break;
    default:
        break;
    }
}
