#include "screens/QInterfacePanel.h"

#include <algorithm>

#include "core/Application.h"
#include "core/QSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "platform/Profile.h"
#include "platform/Trace.h"

TARVO_IMPLEMENT_CLASS(QInterfacePanel, QInterface)

QInterfacePanel::QInterfacePanel() {
    const int stored = g_profile != nullptr ? g_profile->GetInt("Options", "Speed", 26) : 26;
    speed = static_cast<uint16_t>(std::clamp(stored, 1, 26));
    speedPercent = static_cast<uint16_t>((speed - 1) * 100 / 25);
}

QInterfacePanel::~QInterfacePanel() {
    platform::Trace("~QInterfacePanel\n");
}

// The screen has no pictures or controls yet: made current, it would take every click and
// key while showing nothing. Until it is built, opening it leaves the rooms in charge.
void QInterfacePanel::OpenScreen(int number) {
    platform::Trace("Options panel %d: this screen is not available yet\n", number);
}

void QInterfacePanel::Cancel() {
    QInterface::Cancel();
    g_system->currentInterface = g_system->mainInterface.get();
}
