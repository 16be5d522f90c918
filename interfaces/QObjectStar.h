#pragma once
// The action menu: a star of six sectors opened by the right button. Hovering lights the
// sector under the pointer; a left click picks it (the centre opens the case, the five outer
// sectors choose look, walk, use, take and talk) and closes the menu. Its `active` flag
// allows the right-click menu at all.
#include "core/QObject.h"
#include "platform/Types.h"

inline constexpr int kStarSectors = 6;
// No sector under the point.
inline constexpr int kNoSector = 6;

// The sector rectangles, relative to the star's top-left corner, in hit-test order.
inline constexpr platform::Rect kStarSectorRects[kStarSectors] = {
    {70, 74, 112, 112},   // 0: the inventory case
    {68, 0, 114, 41},     // 1: look
    {151, 51, 180, 97},   // 2: walk
    {138, 125, 179, 166}, // 3: use
    {55, 145, 96, 175},   // 4: take
    {11, 79, 40, 118},    // 5: talk
};

// The first sector whose rectangle holds (x, y), relative to the star; kNoSector for none.
int StarSectorAt(int x, int y);
// The menu's frame for a sector: frame 1 shows none lit, frame s + 2 sector s.
inline int StarFrameOf(int sector) {
    return (sector + 1) % (kStarSectors + 1) + 1;
}

class QObjectStar : public QObject {
    TARVO_DECLARE_CLASS(QObjectStar)
public:
    QObjectStar();
    ~QObjectStar() override;

    // The star changes frames only on hover.
    void Update(int elapsedMs) override { (void)elapsedMs; }
    int HitTest(int x, int y) override { return (void)x, (void)y, visible ? 1 : 0; }
    void OnMouseOver(int x, int y) override;
    void OnClick(int x, int y) override;

private:
    void MarkScreenArea() const;
};
