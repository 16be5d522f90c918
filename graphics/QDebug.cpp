#include "graphics/QDebug.h"

#include <cstdio>

#include "core/Application.h"
#include "core/QSystem.h"
#include "graphics/Fonts.h"
#include "graphics/QVideoSystem.h"
#include "platform/Clock.h"
#include "platform/Text.h"
#include "resources/QManager.h"
#include "walk/Walk.h"
#include "walk/WalkDrawing.h"

TARVO_IMPLEMENT_CLASS(QDebug, QVisibleObject)

QDebug* g_debug = nullptr;

namespace {
constexpr int32_t kPicture = -666;
constexpr platform::Rect kStrip{0, 0, 640, 20};
constexpr uint32_t kTextColor = 0x00FFFFBE;
constexpr uint32_t kOutlineColor = 0x0000FFFF; // yellow
constexpr uint32_t kRibColor = 0x00FFFF00;     // cyan
constexpr uint32_t kPathColor = 0x002020FF;    // red

// Where the walk area and Tarvo's path lie on the screen now (empty without them).
platform::Rect WalkOverlayRect() {
    if (g_system == nullptr || g_system->tarvo.Walker() == nullptr) return platform::Rect{};
    const Walk& walker = *g_system->tarvo.Walker();
    std::vector<platform::Point> points = walker.Area().points;
    if (g_system->tarvo.walking)
        points.insert(points.end(), walker.Path().begin(), walker.Path().end());
    const platform::Rect r = walk::BoundsOf(points);
    if (r.IsEmpty()) return r;
    // One pixel more on each side: lines are drawn two pixels wide.
    return platform::Rect{r.left - g_system->scrollOffset - 1, r.top - 1,
                          r.right - g_system->scrollOffset + 2, r.bottom + 2};
}

} // namespace

QDebug::QDebug() : frameMark(g_frameCount) {
    resourceId = kPicture;
    z = 3001;
    if (g_manager != nullptr) g_manager->CreatePicture(kPicture, 640, 480);
}

QDebug::~QDebug() {
    if (g_manager != nullptr) g_manager->FreeResource(kPicture);
}

void QDebug::Update(int) {
    if (g_video == nullptr) return;
    g_video->AddDirtyRect(kStrip);
    if (enabled) g_video->AddDirtyRect(WalkOverlayRect());
}

std::string QDebug::StatusLine() {
    const int32_t t = static_cast<int32_t>(platform::NowMs() - g_clockMark);
    if (t - 1000 >= measureTime) {
        frameRate = (g_frameCount - frameMark) * 1000 / (t - measureTime);
        measureTime = t;
        frameMark = g_frameCount;
    }
    const int32_t load = g_system != nullptr ? g_system->countedLoadTime * 10 / 1000 : 0;
    const int32_t footX = g_system != nullptr ? g_system->tarvo.footX : 0;
    const int32_t footY = g_system != nullptr ? g_system->tarvo.footY : 0;
    char line[96];
    std::snprintf(line, sizeof line, "FPS is %3d, Load: %2d, X: %4d, Y: %3d", frameRate, load,
                  footX, footY);
    return line;
}

void QDebug::DrawWalkArea(platform::Surface& target) const {
    if (g_system == nullptr || g_system->tarvo.Walker() == nullptr) return;
    const Walk& walker = *g_system->tarvo.Walker();
    const int32_t scroll = g_system->scrollOffset;
    const platform::Rect screen{scroll, 0, scroll + 640, 480}; // in room coordinates
    auto brush = [&](uint32_t colorRef) {
        const platform::Pixel ink = g_pixelShifts.FromColorRef(colorRef);
        return [&target, ink, scroll](int x, int y) { target.Set(x - scroll, y, ink); };
    };
    auto line = [&](platform::Point a, platform::Point b, uint32_t colorRef, int width) {
        for (int d = 0; d < width; ++d)
            walk::DrawLine(platform::Point{a.x + d, a.y}, platform::Point{b.x + d, b.y}, screen,
                           brush(colorRef));
    };
    const walk::AreaLines lines = walk::LinesOf(walker.Area());
    for (const auto& [a, b] : lines.interior)
        line(a, b, kRibColor, 1);
    for (const auto& [a, b] : lines.outline)
        line(a, b, kOutlineColor, 2);
    if (!g_system->tarvo.walking) return;
    const std::vector<platform::Point>& path = walker.Path();
    for (size_t i = 1; i < path.size(); ++i)
        line(path[i - 1], path[i], kPathColor, 2);
}

void QDebug::Draw(platform::Surface& target) {
    if (!enabled) return;
    DrawWalkArea(target);
    if (g_manager == nullptr) return;
    platform::Surface* picture = g_manager->GetPicture(kPicture);
    if (picture == nullptr) return;
    picture->Fill(kStrip, 0);
    const std::string line = StatusLine();
    platform::DeviceContext dc(*picture, g_pixelShifts);
    dc.SelectFont(g_fontLarge);
    dc.SetTextColor(kTextColor);
    dc.SetBkMode(platform::BkMode::Transparent);
    dc.TextOut(0, 0, line);
    // Black is the key: only the letters show over the scene.
    picture->SetColorKey(0);
    target.BltFast(0, 0, *picture, kStrip, platform::kBltSrcColorKey | platform::kBltWait);
}
