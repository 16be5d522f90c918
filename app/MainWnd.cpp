#include "app/MainWnd.h"

#include <algorithm>

#include "app/Game.h"
#include "core/Application.h"
#include "core/QObjectCursor.h"
#include "core/QSystem.h"
#include "graphics/QDebug.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QInterfaceSequence.h"
#include "interfaces/QObjectCase.h"
#include "interfaces/QObjectStar.h"
#include "platform/Clock.h"
#include "platform/Display.h"
#include "platform/Surface.h"
#include "platform/Trace.h"
#include "platform/VirtualKeys.h"
#include "resources/QManager.h"
#include "screens/QInterfaceMap.h"
#include "screens/QInterfacePanel.h"
#include "screens/QInterfaceScreen.h"
#include "sound/DSengine.h"
#include "text/QText.h"

namespace vk = platform::vk;
using platform::WindowMessageType;

CMainWindow* g_mainWindow = nullptr;

int CommandForKey(int key) {
    switch (key) {
    case vk::F2:
        return kCmdSave;
    case vk::F3:
        return kCmdLoad;
    case vk::F4:
        return kCmdLoadAutosave;
    case vk::F5:
        return kCmdRelease;
    case vk::F9:
        return kCmdRestart;
    case vk::Tab:
    case 'M':
        return kCmdMap;
    case 'O':
        return kCmdOptions;
    case 'I':
        return kCmdInventory;
    case '1':
    case 'L':
        return kCmdCursorLook;
    case '2':
    case 'W':
        return kCmdCursorLook + 1;
    case '4':
    case 'U':
        return kCmdCursorLook + 2;
    case '3':
    case 'G':
        return kCmdCursorLook + 3;
    case '5':
    case 'T':
        return kCmdCursorLook + 4;
    case '6':
    case 'C':
        return kCmdCursorLook + 5;
    case vk::Escape:
        return kCmdCancel;
    case vk::Left:
        return kCmdScrollLeft;
    case vk::Right:
        return kCmdScrollRight;
    case vk::Pause:
        return kCmdPause;
    default:
        break;
    }
    // The debug overlay is bound to the backquote character, not to a key.
    return platform::CharacterForKey(key) == 0x60 ? kCmdDebug : 0;
}

CMainWindow::CMainWindow(platform::Display& display) : display_(display) {
    g_mainWindow = this;
    video_ = std::make_unique<QVideoSystem>();
    g_video = video_.get();
    valid_ = video_->Init(&display) != 0;
}

CMainWindow::~CMainWindow() {
    platform::Trace("~CMainWindow\n");
    video_.reset();
    if (g_mainWindow == this) g_mainWindow = nullptr;
}

void CMainWindow::HandleMessage(const platform::WindowMessage& m) {
    QInterface* ui = g_system != nullptr ? g_system->currentInterface : nullptr;
    const int roomX = m.x + (g_system != nullptr ? g_system->scrollOffset : 0);
    switch (m.type) {
    case WindowMessageType::MouseMove:
        if (ui != nullptr) ui->OnMouseMove(roomX, m.y);
        break;
    case WindowMessageType::LeftButtonDown:
        if (ui != nullptr) ui->OnLeftClick(roomX, m.y);
        break;
    case WindowMessageType::RightButtonDown:
        if (ui != nullptr) ui->OnRightClick(roomX, m.y);
        break;
    case WindowMessageType::KeyDown:
        if (m.key == vk::Backspace && g_manager != nullptr) g_manager->PurgeResources();
        if (m.key == vk::Space) SkipPhrase();
        if (const int command = CommandForKey(m.key)) OnCommand(command);
        break;
    case WindowMessageType::Activate:
        OnActivate(m.active);
        break;
    case WindowMessageType::Close:
        PostQuitMessage();
        break; // the window goes, and with it the game
    case WindowMessageType::Screenshot:
        break; // handled by the main loop
    }
}

void CMainWindow::OnActivate(int active) {
    if (!g_appActive && active) {
        // Back in the foreground: surfaces restored if lost, the time away is not one long
        // frame, and all is redrawn.
        for (platform::Surface* s : {video_->Front(), video_->Back()})
            if (s != nullptr && s->IsLost()) s->Restore();
        video_->lastFrameTime = platform::NowMs();
        video_->InvalidateAll();
    }
    if ((active != 0) != (g_appActive != 0)) TogglePause();
    g_appActive = active;
}

void CMainWindow::TogglePause() {
    if (g_system == nullptr) return;
    if (g_sound != nullptr) {
        if (g_system->paused)
            g_sound->ResumeAll();
        else
            g_sound->PauseAll();
    }
    g_system->paused = !g_system->paused;
}

void CMainWindow::OnCommand(int command) {
    if (g_system == nullptr) return;
    QSystem& w = *g_system;
    const bool menuActive = w.actionMenu && w.actionMenu->active;
    if (command >= kCmdCursorLook && command <= kCmdCursorSecond) {
        if (menuActive && w.currentInterface == w.mainInterface.get())
            SetCursorMode(command - kCmdCursorLook);
        return;
    }
    switch (command) {
    case kCmdSave:
        CloseScreen();
        w.Save("save.dat");
        break;
    case kCmdLoad:
        CloseScreen();
        w.Restore("save.dat");
        break;
    case kCmdLoadAutosave:
        CloseScreen();
        w.Restore("autosave.dat");
        break;
    case kCmdNextRoom:
        w.mainInterface->ChangeBG(w.mainInterface->currentRoomId + 1);
        break;
    case kCmdTestDialogue:
        w.mainInterface->dialogue.StartDialogue(10000, nullptr);
        break;
    case kCmdMap:
        if (menuActive) ToggleScreen(true);
        break;
    case kCmdOptions:
        if (menuActive) ToggleScreen(false);
        break;
    case kCmdInventory:
        if (menuActive) ToggleInventory();
        break;
    case kCmdCancel:
        Cancel();
        break;
    case kCmdRelease:
        Release();
        break;
    case kCmdRestart:
        RestartGame();
        break;
    case kCmdDebug:
        if (g_debug != nullptr) g_debug->enabled = !g_debug->enabled;
        break;
    case kCmdScrollLeft:
        Scroll(-6);
        break;
    case kCmdScrollRight:
        Scroll(6);
        break;
    case kCmdPause:
        TogglePause();
        break;
    default:
        break;
    }
}

void CMainWindow::SetCursorMode(int mode) {
    g_system->cursor->SelectMode(mode);
}

void CMainWindow::ToggleScreen(bool map) {
    QSystem& w = *g_system;
    w.inventoryCase->SetVisible(0);
    if (map) {
        if (w.currentInterface == w.mapInterface.get())
            w.mapInterface->Cancel();
        else
            w.mapInterface->OpenScreen(4800);
    } else {
        if (w.currentInterface == w.panelInterface.get())
            w.panelInterface->Cancel();
        else
            w.panelInterface->OpenScreen(4900);
    }
}

// The panel and the map show their own pointer over an unscrolled view: saved from there,
// the game would keep their pointer, and loaded, the room's view would be theirs. They close
// first, as the panel's own save and load buttons close it.
void CMainWindow::CloseScreen() {
    if (auto* screen = dynamic_cast<QInterfaceScreen*>(g_system->currentInterface))
        screen->Cancel();
}

void CMainWindow::ToggleInventory() {
    QSystem& w = *g_system;
    w.currentInterface->Cancel();
    w.inventoryCase->SetVisible(!w.inventoryCase->visible);
}

void CMainWindow::Cancel() {
    QSystem& w = *g_system;
    w.inventoryCase->SetVisible(0);
    // A cut-scene is not cancelled half-way: it is played to its end at once.
    if (w.currentInterface == w.sequenceInterface.get())
        w.sequenceInterface->Skip();
    else
        w.currentInterface->Cancel();
}

void CMainWindow::Release() {
    QSystem& w = *g_system;
    w.mainInterface->dialogue.paused = 0;
    w.cursor->SetVisible(1);
    w.actionMenu->active = 1;
    for (QObjectTarvo* c :
         {static_cast<QObjectTarvo*>(&w.tarvo), static_cast<QObjectTarvo*>(&w.varnagel)}) {
        c->active = 1;
        c->SetVisible(1);
    }
    video_->InvalidateAll();
}

void CMainWindow::SkipPhrase() {
    // Space does what a click on the spoken line does, wherever the pointer is.
    QInterface* ui = g_system != nullptr ? g_system->currentInterface : nullptr;
    QText* shown = ui != nullptr ? ui->ShownText() : nullptr;
    if (shown != nullptr && shown->IsKindOf(RUNTIME_CLASS(QTextPhrase))) shown->OnClick(0, 0);
}

void CMainWindow::Scroll(int delta) {
    QSystem& w = *g_system;
    // The open case covers the room and is laid out where the view stood.
    if (w.inventoryCase->visible) return;
    const int max = w.roomWidth - 640;
    if (delta < 0 && w.scrollOffset <= 0) return;
    if (delta > 0 && w.scrollOffset >= max) return;
    w.scrollOffset = std::clamp(w.scrollOffset + delta, 0, std::max(max, 0));
    // The view stays where the key put it: the frame moves the offset toward the target, so
    // the target moves along (the camera follows the character again when he walks).
    w.scrollTarget = w.scrollOffset;
    video_->InvalidateAll();
}
