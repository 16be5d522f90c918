#pragma once
// The game's only window: it owns the video system, hands mouse input to the current
// interface in room coordinates, pauses the game in the background and carries the command
// table that the keys are bound to.
#include <memory>

#include "graphics/QVideoSystem.h"
#include "platform/Input.h"

namespace platform {
class Display;
}

// Command identifiers of the key table.
enum Command {
    kCmdSave = 32771,
    kCmdLoad = 32772,
    kCmdNextRoom = 32773,
    kCmdTestDialogue = 32774,
    kCmdNothing = 32775,
    kCmdMap = 32776,
    kCmdOptions = 32777,
    kCmdInventory = 32779,
    kCmdCursorLook = 32780, // .. 32785 for cursor modes 0..5
    kCmdCursorSecond = 32785,
    kCmdCancel = 32786,
    kCmdRelease = 32787,
    kCmdLoadAutosave = 32788,
    kCmdRestart = 32789,
    kCmdDebug = 32790,
    kCmdScrollLeft = 32791,
    kCmdScrollRight = 32792,
    kCmdPause = 32793,
};

// The command bound to a key-down, or 0 when the key has none.
int CommandForKey(int virtualKey);

class CMainWindow {
public:
    // Shows the game on `display` and initialises the video system; Valid() tells whether
    // that worked.
    explicit CMainWindow(platform::Display& display);
    virtual ~CMainWindow();
    CMainWindow(const CMainWindow&) = delete;
    CMainWindow& operator=(const CMainWindow&) = delete;

    bool Valid() const { return valid_; }
    QVideoSystem& Video() { return *video_; }
    platform::Display& Display() { return display_; }

    // Handles one window message (mouse, keys, activation, close).
    void HandleMessage(const platform::WindowMessage& message);
    void OnCommand(int command);
    void OnActivate(int active);

private:
    void SetCursorMode(int mode);
    void ToggleScreen(bool map);
    void ToggleInventory();
    // Closes the panel or the map when one is open.
    void CloseScreen();
    void Cancel();
    void Release();
    void SkipPhrase();
    void Scroll(int delta);
    void TogglePause();

    platform::Display& display_;
    std::unique_ptr<QVideoSystem> video_;
    bool valid_ = false;
};

extern CMainWindow* g_mainWindow;
