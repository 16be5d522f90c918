#pragma once
// The application's quit message: the script can end the game (SYSTEM 242) and the main
// loop leaves when it sees the request.
void PostQuitMessage();
bool QuitRequested();
void ClearQuitRequest();

#include <cstdint>

// Milliseconds mark of the last load phase / frame-rate measure, and frames rendered.
extern uint32_t g_clockMark;
extern int32_t g_frameCount;
// 1 while the application is in the foreground.
extern int32_t g_appActive;

namespace platform {
class Profile;
}
// The application profile with the player's settings; null when there is none (headless
// runs keep the defaults, so that they repeat exactly). Set by start-up, not owned.
extern platform::Profile* g_profile;
