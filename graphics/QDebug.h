#pragma once
// The debug overlay: while switched on, a status line across the top 20 pixels of the screen
// with the frame rate, the last room's load time and the first character's foot point, and
// for authors the room's walk area (outline, ribs between convexes) and Tarvo's path.
#include <cstdint>
#include <string>

#include "core/QVisibleObject.h"

class QDebug : public QVisibleObject {
    TARVO_DECLARE_CLASS(QDebug)
public:
    // Creates its private picture (-666) through the resource manager.
    QDebug();
    ~QDebug() override;

    // Marks the status strip for redraw every frame, whether shown or not, and while shown
    // where the walk area and the path are (they are drawn over everything else).
    void Update(int elapsedMs) override;
    void Draw(platform::Surface& target) override;

    // The status line as it would be drawn now (measuring the frame rate at most once a
    // second).
    std::string StatusLine();

    int32_t enabled = 0;
    int32_t measureTime = 0;
    int32_t frameRate = 0;
    int32_t frameMark = 0;

private:
    void DrawWalkArea(platform::Surface& target) const;
};

extern QDebug* g_debug;
