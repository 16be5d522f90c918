#include "interfaces/QObjectStar.h"

#include "core/QObjectCursor.h"
#include "core/QSystem.h"
#include "graphics/QFlic.h"
#include "graphics/QVideoSystem.h"
#include "interfaces/QObjectCase.h"
#include "platform/Display.h"
#include "platform/Trace.h"
#include "resources/QManager.h"

TARVO_IMPLEMENT_CLASS(QObjectStar, QObject)

int StarSectorAt(int x, int y) {
    for (int s = 0; s < kStarSectors; ++s)
        if (kStarSectorRects[s].Contains(x, y)) return s;
    return kNoSector;
}

QObjectStar::QObjectStar() {
    id = 4098;
    resourceId = 5000;
    z = 999;
    visible = 0;
    depthFromFrame = 0;
    active = 1;
}

QObjectStar::~QObjectStar() {
    platform::Trace("~QObjectStar\n");
    // Only a picture already loaded: shutting down never loads one, nor reports it missing.
    if (g_manager != nullptr && g_manager->IsLoaded(resourceId)) MarkScreenArea();
}

void QObjectStar::MarkScreenArea() const {
    const QFlic* flic = Animation();
    if (flic == nullptr || g_video == nullptr) return;
    const int left = x - (g_system != nullptr ? g_system->scrollOffset : 0);
    g_video->AddDirtyRect(platform::Rect{left, y, left + flic->Width(), y + flic->Height()});
}

void QObjectStar::OnMouseOver(int px, int py) {
    QFlic* flic = Animation();
    if (flic == nullptr) return;
    const int wanted = StarFrameOf(StarSectorAt(px - x, py - y));
    if (flic->CurrentFrame() == wanted) return;
    MarkScreenArea();
    // Frames only go forwards: step round to the wanted one. A menu picture with fewer frames
    // than sectors never shows it; the bound keeps that from looping for ever.
    for (int step = 0; step < flic->FrameCount() && flic->CurrentFrame() != wanted; ++step)
        flic->SetFrame(-1);
}

void QObjectStar::OnClick(int px, int py) {
    const int sector = StarSectorAt(px - x, py - y);
    if (sector == 0)
        g_system->inventoryCase->SetVisible(1);
    else if (sector < kNoSector)
        g_system->cursor->SelectMode(sector - 1);
    SetVisible(0);
    // What lies under the pointer now gets the hover (and its name) without waiting for the
    // player to move.
    if (g_directDraw != nullptr) g_directDraw->PostPointerMove();
}
