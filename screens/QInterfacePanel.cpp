#include "screens/QInterfacePanel.h"

#include <algorithm>

#include "core/Application.h"
#include "core/QSystem.h"
#include "graphics/QFlic.h"
#include "interfaces/QInterfaceMain.h"
#include "platform/Trace.h"
#include "resources/QManager.h"
#include "screens/NewGame.h"
#include "sound/DSengine.h"

TARVO_IMPLEMENT_CLASS(QInterfacePanel, QInterfaceScreen)

namespace {

constexpr const char* kPanelName = "ПАНЕЛЬ УПРАВЛЕНИЯ";
constexpr const char* kScreenName = "options panel";

using R = PanelRole;
constexpr int kNone = -1;

} // namespace

// By position in the panel's record: the role, where it stands, and its setting.
const std::array<PanelPlace, kPanelObjects> kPanelPlaces = {{
    {R::Button, {0, 2}, kNone},             // 0 new game
    {R::Button, {5, 70}, kNone},            // 1 load
    {R::Button, {5, 136}, kNone},           // 2 continue
    {R::Button, {22, 328}, kNone},          // 3 quit
    {R::Button, {87, 224}, kNone},          // 4 save
    {R::None, {118, 395}, kNone},           // 5
    {R::Label, {467, 71}, kSettingSfx},     // 6
    {R::None, {432, 144}, kNone},           // 7
    {R::Slider, {428, 29}, kSettingSfx},    // 8
    {R::Slider, {434, 170}, kSettingSpeed}, // 9
    {R::Label, {297, 214}, kSettingMusic},  // 10
    {R::None, {470, 139}, kNone},           // 11
    {R::Label, {318, 87}, kSettingSpeech},  // 12
    {R::Label, {468, 172}, kSettingSpeed},  // 13
    {R::Slider, {262, 31}, kSettingSpeech}, // 14
    {R::Slider, {231, 137}, kSettingMusic}, // 15
    {R::Minus, {0, 0}, kSettingSpeech},     // 16
    {R::Plus, {0, 0}, kSettingSpeech},      // 17
    {R::Minus, {0, 0}, kSettingMusic},      // 18
    {R::Plus, {0, 0}, kSettingMusic},       // 19
    {R::Minus, {0, 0}, kSettingSfx},        // 20
    {R::Plus, {0, 0}, kSettingSfx},         // 21
    {R::Minus, {0, 0}, kSettingSpeed},      // 22
    {R::Plus, {0, 0}, kSettingSpeed},       // 23
}};

namespace {

// The role position of the setting's object of `role` (its slider or label).
int PlaceOf(PanelRole role, int setting) {
    for (int k = 0; k < kPanelObjects; ++k)
        if (kPanelPlaces[k].role == role && kPanelPlaces[k].setting == setting) return k;
    return kNone;
}

bool Hoverable(int k) {
    const PanelRole role = kPanelPlaces[static_cast<size_t>(k)].role;
    return role == R::Button || role == R::Minus || role == R::Plus;
}

} // namespace

QInterfacePanel::QInterfacePanel() {
    settings = ReadPanelSettings(g_profile);
    ApplySettings();
}

QInterfacePanel::~QInterfacePanel() {
    platform::Trace("~QInterfacePanel\n");
}

void QInterfacePanel::ApplySettings() {
    ApplyPanelSettings(settings, g_profile, g_sound);
    speedPercent = settings.percents[kSettingSpeed];
}

void QInterfacePanel::ShowSettings() {
    ApplySettings();
    for (int setting = 0; setting < kSettingCount; ++setting) {
        const int k = PlaceOf(R::Slider, setting);
        if (RoleObject(k) != nullptr) ShowFrame(k, settings.values[static_cast<size_t>(setting)]);
    }
}

void QInterfacePanel::StepSetting(int setting, int delta) {
    settings.values[static_cast<size_t>(setting)] += delta;
    ShowSettings();
}

void QInterfacePanel::OpenScreen(int number) {
    QMessageObject* panel = nullptr;
    const BgRoom* record = PrepareOpening(number, kPanelScreen, kPanelName, kScreenName, panel);
    if (record == nullptr) return;
    objects.clear();
    roles_.fill(nullptr);
    objects.push_back(panel);
    size_t count = record->placements.size();
    if (count > kPanelObjects) {
        platform::Trace("Warning: the %s's record holds %zu objects: the first %d are used\n",
                        kScreenName, count, kPanelObjects);
        count = kPanelObjects;
    }
    for (size_t k = 0; k < count; ++k) {
        QMessageObject* o = g_system->FindById(record->placements[k].objectId);
        if (o == nullptr) continue;
        if (g_manager != nullptr && o->resourceId != -1)
            if (QFlic* flic = g_manager->GetFlic(o->resourceId)) flic->SetFrame(1);
        o->x = kPanelPlaces[k].at.x;
        o->y = kPanelPlaces[k].at.y;
        o->highlightA = o->highlightB = o->userValue = 1;
        o->animate = 0;
        objects.push_back(o);
        roles_[k] = o;
    }
    TakeCursorAndView(1);
    ShowSettings();
    MakeCurrent();
}

int QInterfacePanel::RoleOf(const QVisibleObject* object) const {
    const auto it = std::find(roles_.begin(), roles_.end(), object);
    return it != roles_.end() ? static_cast<int>(it - roles_.begin()) : kNone;
}

QMessageObject* QInterfacePanel::TopRoleObjectAt(int x, int y, int& k) const {
    for (size_t i = objects.size(); i-- > 1;) {
        if (!objects[i]->HitTest(x, y)) continue;
        k = RoleOf(objects[i]);
        return k != kNone ? roles_[static_cast<size_t>(k)] : nullptr;
    }
    k = kNone;
    return nullptr;
}

void QInterfacePanel::ShowFrame(int k, int frame) {
    QMessageObject* o = RoleObject(k);
    if (o == nullptr || g_manager == nullptr || o->resourceId == -1) return;
    QFlic* flic = g_manager->GetFlic(o->resourceId);
    if (flic == nullptr) return;
    // The old frame's area too: a frame may cover less than the one it replaces.
    flic->AddFrameRects(o->x, o->y, kMaskRects);
    flic->SetFrame(frame);
    flic->AddFrameRects(o->x, o->y, kMaskRects);
}

void QInterfacePanel::ShowHover(int k, int state) {
    QMessageObject& o = *RoleObject(k);
    o.highlightA = o.highlightB = state;
    const PanelPlace& place = kPanelPlaces[static_cast<size_t>(k)];
    // The arrows themselves stay as they are drawn; the setting's name lights up instead.
    if (place.role == R::Minus || place.role == R::Plus)
        ShowFrame(PlaceOf(R::Label, place.setting), state);
    else
        ShowFrame(k, state);
}

void QInterfacePanel::OnMouseMove(int x, int y) {
    int hoveredK = kNone;
    const QMessageObject* hovered = TopRoleObjectAt(x, y, hoveredK);
    // Everything that goes dark first, then what lights up: moving straight from one arrow
    // to the other of the same setting leaves its label lit.
    for (const int lit : {1, 2}) {
        for (size_t i = objects.size(); i-- > 1;) {
            const int k = RoleOf(objects[i]);
            if (k == kNone) continue;
            const int state = objects[i] == hovered && Hoverable(k) ? 2 : 1;
            if (state == lit && state != RoleObject(k)->highlightA) ShowHover(k, state);
        }
    }
    QObjectCursor& cursor = *g_system->cursor;
    cursor.visible = 1;
    cursor.SetPos(x, y);
}

void QInterfacePanel::OnLeftClick(int x, int y) {
    int k = kNone;
    if (TopRoleObjectAt(x, y, k) == nullptr) return;
    const PanelPlace& place = kPanelPlaces[static_cast<size_t>(k)];
    switch (place.role) {
    case R::Button:
        PressButton(k); // after a new game, this panel is gone: nothing of it is touched
        return;
    case R::Minus:
        StepSetting(place.setting, -1);
        return;
    case R::Plus:
        StepSetting(place.setting, +1);
        return;
    default:
        return;
    }
}

void QInterfacePanel::PressButton(int k) {
    switch (k) {
    case kButtonNewGame:
        StartNewGame();
        return;
    case kButtonLoad:
        Cancel();
        g_system->Restore("save.dat");
        return;
    case kButtonContinue:
        Cancel();
        return;
    case kButtonQuit:
        Cancel();
        PostQuitMessage();
        return;
    case kButtonSave:
        Cancel();
        g_system->Save("save.dat");
        return;
    default:
        return;
    }
}
