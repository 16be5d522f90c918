#include "graphics/QDebug.h"

#include "core/Application.h"
#include "graphics/QVideoSystem.h"

TARVO_IMPLEMENT_CLASS(QDebug, QVisibleObject)

QDebug* g_debug = nullptr;

QDebug::QDebug() : frameMark(g_frameCount) {
    resourceId = -666;
    z = 3001;
}

QDebug::~QDebug() = default;

void QDebug::Update(int) {
    if (g_video != nullptr) g_video->AddDirtyRect(platform::Rect{0, 0, 640, 20});
}
