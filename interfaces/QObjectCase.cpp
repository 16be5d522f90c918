#include "interfaces/QObjectCase.h"

#include <algorithm>

#include "core/QSystem.h"
#include "graphics/QFlic.h"
#include "graphics/QVideoSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "platform/Display.h"
#include "platform/Surface.h"
#include "platform/Trace.h"
#include "resources/QManager.h"
#include "screens/QInterfaceMap.h"
#include "screens/QInterfacePanel.h"

TARVO_IMPLEMENT_CLASS(QObjectCase, QObject)

namespace {

bool IsButton(int button) {
    return button >= 0 && button < kCaseButtons;
}

QFlic* FlicOf(int32_t number) {
    return g_manager != nullptr ? g_manager->GetFlic(number) : nullptr;
}

// Whether the close-area picture is opaque at the screen point.
bool InCloseArea(int screenX, int screenY) {
    const QFlic* area = FlicOf(kCaseCloseArea);
    if (area == nullptr || area->Surface() == nullptr) return false;
    const platform::Surface& s = *area->Surface();
    const int px = screenX - area->DrawOffset().x, py = screenY - area->DrawOffset().y;
    if (px < 0 || py < 0 || px >= s.Width() || py >= s.Height()) return false;
    return s.At(px, py) != area->ColorKey();
}

void InvalidateAll() {
    if (g_video != nullptr) g_video->InvalidateAll();
}

} // namespace

QObjectCase::QObjectCase() {
    id = 4099;
    resourceId = kCasePicture;
    z = kCaseDepth;
    visible = 0;
    depthFromFrame = 0;
}

QObjectCase::~QObjectCase() {
    platform::Trace("~QObjectCase\n");
}

QFlic* QObjectCase::Highlight(int button) const {
    return IsButton(button) ? FlicOf(kCaseFirstHighlight + button) : nullptr;
}

// Highlights are full-screen animations drawn at the case's corner.
void QObjectCase::MarkHighlight(int button) const {
    if (const QFlic* flic = Highlight(button)) flic->AddFrameRects(x, 0, kMaskRects);
}

int QObjectCase::ButtonAt(int screenX, int screenY) const {
    if (InCloseArea(screenX, screenY)) return kCaseClose;
    for (int button = 0; button < kCaseButtons; ++button) {
        const QFlic* flic = Highlight(button);
        if (flic == nullptr) continue;
        const std::vector<platform::Rect>& rects = flic->FrameRects(kMaskRects);
        if (!rects.empty() && rects.front().Contains(screenX, screenY)) return button;
    }
    return -1;
}

void QObjectCase::OnMouseOver(int px, int py) {
    const int screenX = px - x;
    const int old = hotButton;
    if (InCloseArea(screenX, py)) {
        // The close button takes the hover; its highlight comes in with its animation.
        if (IsButton(old) && old != kCaseClose) MarkHighlight(old);
        hotButton = kCaseClose;
        return;
    }
    const int button = ButtonAt(screenX, py);
    if (button != old && IsButton(old)) MarkHighlight(old);
    if (!IsButton(button)) {
        hotButton = -1;
    } else if (button != old) {
        MarkHighlight(button);
        hotButton = button;
    }
}

void QObjectCase::OnMouseOut() {
    if (!IsButton(hotButton)) return;
    MarkHighlight(hotButton);
    hotButton = -1;
}

void QObjectCase::Update(int elapsedMs) {
    if (!IsButton(hotButton)) return;
    if (QFlic* flic = Highlight(hotButton)) CatchUpFrames(*flic, frameClock, elapsedMs, x, 0);
}

void QObjectCase::Draw(platform::Surface& target) {
    if (!visible) return;
    QObject::Draw(target);
    QFlic* flic = Highlight(hotButton);
    if (flic == nullptr || flic->Surface() == nullptr || g_video == nullptr) return;
    const int left = x - g_system->scrollOffset;
    const platform::Rect screen{0, 0, platform::kScreenWidth, platform::kScreenHeight};
    const int originX = left + flic->DrawOffset().x, originY = flic->DrawOffset().y;
    for (const platform::Rect& dirty : g_video->DirtyRects()) {
        for (const platform::Rect& r : flic->FrameRects(kMaskRects)) {
            const platform::Rect part = platform::Intersect(
                platform::Intersect(dirty, platform::Offset(r, left, 0)), screen);
            if (part.IsEmpty()) continue;
            target.BltFast(part.left, part.top, *flic->Surface(),
                           platform::Offset(part, -originX, -originY),
                           platform::kBltSrcColorKey | platform::kBltWait);
        }
    }
}

void QObjectCase::OnClick(int px, int py) {
    // The button under the click, also when no move came before it.
    OnMouseOver(px, py);
    PressButton(hotButton);
}

void QObjectCase::PressButton(int button) {
    const auto count = static_cast<int32_t>(items.size());
    switch (button) {
    case kCaseVarnagel:
        g_system->cursor->SelectMode(kCursorSecond);
        break;
    case kCasePanel:
        SetVisible(0);
        g_system->panelInterface->OpenScreen(kPanelScreen);
        break;
    case kCaseMap:
        SetVisible(0);
        g_system->mapInterface->OpenScreen(kMapScreen);
        break;
    case kCaseClose:
        SetVisible(0);
        break;
    case kCaseNextPage:
        if (firstShown + kCaseItemsPerPage >= count) break;
        firstShown += kCaseItemsPerPage;
        LayOut();
        InvalidateAll();
        break;
    case kCasePreviousPage:
        if (firstShown <= 0) break;
        firstShown = std::max(firstShown - kCaseItemsPerPage, 0);
        LayOut();
        InvalidateAll();
        break;
    default:
        break;
    }
}

void QObjectCase::SetVisible(int flag) {
    if (!g_system->mainInterface) return QObject::SetVisible(flag);
    const bool wasOpen = visible != 0;
    x = g_system->scrollOffset;
    QObject::SetVisible(flag);
    if (flag) {
        if (!wasOpen) HoldView();
        LayOut();
        ShowStrap();
    } else {
        PutBackItems();
        PutBackStrap();
        if (wasOpen) ReleaseView();
        g_system->mainInterface->firstAnimated = 0;
        hotButton = -1;
    }
    if (!flag && !wasOpen) return;
    // The case covers the screen: opening and closing redraw it all, and the hover follows.
    InvalidateAll();
    if (g_directDraw != nullptr) g_directDraw->PostPointerMove();
}

// The case is laid out where the view stands, so the view holds while it is open: the scroll
// target is pinned to the offset and goes back afterwards (unless something moved it).
void QObjectCase::HoldView() {
    heldScrollTarget_ = g_system->scrollTarget;
    g_system->scrollTarget = g_system->scrollOffset;
}

void QObjectCase::ReleaseView() {
    if (g_system->scrollTarget == g_system->scrollOffset)
        g_system->scrollTarget = heldScrollTarget_;
}

void QObjectCase::Refresh() {
    if (!visible) return;
    SetVisible(0);
    SetVisible(1);
}
