#include "graphics/QDebug.h"

#include <cstdio>

#include "core/Application.h"
#include "core/QSystem.h"
#include "graphics/Fonts.h"
#include "graphics/QVideoSystem.h"
#include "platform/Clock.h"
#include "platform/Text.h"
#include "resources/QManager.h"

TARVO_IMPLEMENT_CLASS(QDebug, QVisibleObject)

QDebug* g_debug = nullptr;

namespace {
constexpr int32_t kPicture = -666;
constexpr platform::Rect kStrip{0, 0, 640, 20};
constexpr uint32_t kTextColor = 0x00FFFFBE;
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
    if (g_video != nullptr) g_video->AddDirtyRect(kStrip);
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

void QDebug::Draw(platform::Surface& target) {
    if (!enabled || g_manager == nullptr) return;
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
