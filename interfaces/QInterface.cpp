#include "interfaces/QInterface.h"

#include <algorithm>

#include "core/QVisibleObject.h"
#include "graphics/QVideoSystem.h"
#include "platform/Trace.h"

TARVO_IMPLEMENT_CLASS(QInterface, CObject)

QInterface::~QInterface() { platform::Trace("~QInterface\n"); }

bool QInterface::Contains(const QVisibleObject* object) const {
    return std::find(objects.begin(), objects.end(), object) != objects.end();
}

void QInterface::Remove(const QVisibleObject* object) { std::erase(objects, object); }

void QInterface::RemoveTexts() { shownText.clear(); }

void QInterface::ShowText(const std::string& text, uint32_t, uint32_t) {
    RemoveTexts();
    shownText = text;
}

void QInterface::ShowPhrase(const std::string& text, uint32_t, uint32_t) {
    RemoveTexts();
    shownText = text;
}

void QInterface::Cancel() {
    ShowText("", 0xFFFFC0, 0x0A0A0A);
    if (g_video != nullptr) g_video->InvalidateAll();
}
