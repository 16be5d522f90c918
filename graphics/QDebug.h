#pragma once
// The debug overlay: a status line across the top of the screen while it is switched on.
#include <cstdint>

#include "core/QVisibleObject.h"

class QDebug : public QVisibleObject {
    TARVO_DECLARE_CLASS(QDebug)
public:
    QDebug();
    ~QDebug() override;

    // Marks the status strip for redraw every frame, whether shown or not.
    void Update(int elapsedMs) override;

    int32_t enabled = 0;
    int32_t measureTime = 0;
    int32_t frameRate = 0;
    int32_t frameMark = 0;
};

extern QDebug* g_debug;
