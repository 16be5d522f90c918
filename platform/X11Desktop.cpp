// What the X server itself says about the desktop and the game's window. Desktop fullscreen
// is the window manager's work: without one, a window asked to go fullscreen keeps its size
// while SDL believes it covers the desktop, so the display does it by hand.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "platform/DisplayInternal.h"

namespace platform::internal {

bool X11HasWindowManager() {
    ::Display* x = XOpenDisplay(nullptr);
    if (x == nullptr) return true; // no X server of our own to ask: leave it to SDL
    bool found = false;
    // A window manager following the desktop conventions names its check window on the root.
    const Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", True);
    if (check != None) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(x, DefaultRootWindow(x), check, 0, 1, False, XA_WINDOW, &type,
                               &format, &count, &after, &data) == Success &&
            data != nullptr) {
            found = type == XA_WINDOW && count == 1;
            XFree(data);
        }
    }
    XCloseDisplay(x);
    return found;
}

bool WindowSizeOnScreen(Display& display, int& width, int& height) {
    SDL_Window* window = SDL_GetWindowFromID(SdlWindowId(display));
    if (window == nullptr) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
        SDL_GetWindowSize(window, &width, &height);
        return true;
    }
    XWindowAttributes attributes;
    XSync(info.info.x11.display, False);
    if (XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes) == 0)
        return false;
    width = attributes.width;
    height = attributes.height;
    return true;
}

} // namespace platform::internal
