#pragma once
// The options panel: five buttons (new game, load, continue, quit, save) and four settings
// shown as sliders with minus and plus arrows (speech, music and sound-effect volumes, game
// speed). Its pictures are script objects: the object named "ПАНЕЛЬ УПРАВЛЕНИЯ" and, in the
// order of its record in "backgrnd.bg", the objects that play the panel's roles. The settings
// live in the profile and take effect at once.
#include <array>
#include <cstdint>

#include "platform/Types.h"
#include "screens/PanelSettings.h"
#include "screens/QInterfaceScreen.h"

// What the object at position k of the panel's record does.
enum class PanelRole { None, Button, Label, Slider, Minus, Plus };

struct PanelPlace {
    PanelRole role;
    platform::Point at; // where the panel places the object
    int setting;        // sliders, arrows and labels: their setting; otherwise -1
};

inline constexpr int kPanelObjects = 24;
extern const std::array<PanelPlace, kPanelObjects> kPanelPlaces;

enum PanelButton { kButtonNewGame, kButtonLoad, kButtonContinue, kButtonQuit, kButtonSave };

class QInterfacePanel : public QInterfaceScreen {
    TARVO_DECLARE_CLASS(QInterfacePanel)
public:
    // Reads the four settings from the profile (the defaults without one) and applies them.
    QInterfacePanel();
    ~QInterfacePanel() override;

    void OnLeftClick(int x, int y) override;
    void OnMouseMove(int x, int y) override;
    void OnRightClick(int, int) override { Cancel(); }

    // Opens the panel over the room (4900; another number only traces). Without the panel's
    // object or its record in "backgrnd.bg" the panel stays shut, traced.
    void OpenScreen(int number);

    // Corrects the settings into their ranges, gives the volumes to the sound engine, keeps
    // the speed's percentage for the characters and writes the values to the profile.
    void ApplySettings();
    // ApplySettings, then every slider turned to its setting's value.
    void ShowSettings();
    // Steps a setting by -1 or +1 and shows the result.
    void StepSetting(int setting, int delta);

    // The object playing role k (0..23) while the panel is open, or null.
    QMessageObject* RoleObject(int k) const { return roles_[static_cast<size_t>(k)]; }

    PanelSettings settings;
    uint16_t speedPercent = 100; // 0..100; the characters walk faster by it

private:
    // The role position of a listed object, or -1 (the panel picture, the cursor, texts).
    int RoleOf(const QVisibleObject* object) const;
    // The object under (x, y), searching the list from the top down to index 1; its role
    // position in `k`.
    QMessageObject* TopRoleObjectAt(int x, int y, int& k) const;
    // Shows `frame` on the object playing role k, marking it for redraw at its place.
    void ShowFrame(int k, int frame);
    // Stores a changed hover state of role k and shows it: an arrow lights its label.
    void ShowHover(int k, int state);
    // Button k pressed. After a new game the panel is gone with the world it belonged to.
    void PressButton(int k);

    std::array<QMessageObject*, kPanelObjects> roles_{};
};
