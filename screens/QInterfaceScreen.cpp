#include "screens/QInterfaceScreen.h"

#include "core/QSystem.h"
#include "graphics/QVideoSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "platform/Clock.h"
#include "platform/Cp1251.h"
#include "platform/Display.h"
#include "platform/Trace.h"

TARVO_IMPLEMENT_CLASS(QInterfaceScreen, QInterface)

const BgRoom* QInterfaceScreen::PrepareOpening(int number, int expected,
                                               const std::string& utf8Name, const char* screen,
                                               QMessageObject*& object) {
    if (number != expected) {
        platform::Trace("Warning: screen %d is not the %s (%d): nothing opens\n", number, screen,
                        expected);
        return nullptr;
    }
    object = g_system->FindByName(platform::Utf8ToCp1251(utf8Name));
    if (object == nullptr) {
        platform::Trace("Warning: the script has no object \"%s\": the %s does not open\n",
                        utf8Name.c_str(), screen);
        return nullptr;
    }
    const BgRoom* record = g_system->mainInterface->RoomRecord(object->id);
    if (record == nullptr) {
        platform::Trace("Warning: backgrnd.bg has no record for \"%s\": the %s does not open\n",
                        utf8Name.c_str(), screen);
        return nullptr;
    }
    QInterface* current = g_system->currentInterface;
    if (auto* other = dynamic_cast<QInterfaceScreen*>(current)) {
        other->Cancel();
    } else if (current != g_system->mainInterface.get()) {
        platform::Trace("Warning: the %s does not open during a cut-scene\n", screen);
        return nullptr;
    }
    return record;
}

void QInterfaceScreen::TakeCursorAndView(int32_t animate) {
    QObjectCursor& cursor = *g_system->cursor;
    savedCursorPicture_ = cursor.resourceId;
    savedCursorMode_ = cursor.mode;
    cursor.resourceId = kScreenPointer;
    cursor.visible = 1;
    cursor.animate = animate;
    cursor.mode = kCursorLook;
    objects.push_back(&cursor);
    savedScrollOffset_ = g_system->scrollOffset;
    savedRoomWidth_ = g_system->roomWidth;
    g_system->scrollOffset = 0;
    g_system->roomWidth = 640;
}

void QInterfaceScreen::MakeCurrent() {
    open_ = true;
    g_system->currentInterface = this;
    if (g_video != nullptr) {
        g_video->lastFrameTime = platform::NowMs();
        g_video->InvalidateAll();
    }
}

void QInterfaceScreen::Cancel() {
    if (open_) {
        open_ = false;
        g_system->scrollOffset = savedScrollOffset_;
        g_system->roomWidth = savedRoomWidth_;
        g_system->cursor->resourceId = savedCursorPicture_;
        g_system->cursor->mode = savedCursorMode_;
        // The room's hover and caption follow the pointer where the screen left it.
        if (g_directDraw != nullptr) g_directDraw->PostPointerMove();
    }
    g_system->currentInterface = g_system->mainInterface.get();
    QInterface::Cancel();
}
