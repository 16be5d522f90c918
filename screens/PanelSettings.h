#pragma once
// The four settings of the options panel: the speech, music and sound-effect volumes and the
// game speed. They live in the application profile (section "Options"), each a value from 1
// to its maximum, and take effect as a percentage: the volumes in the sound engine's
// categories, the speed in the characters' walks.
#include <array>
#include <cstdint>

namespace platform {
class Profile;
}
class DSengine;

enum PanelSettingKind { kSettingSpeech, kSettingMusic, kSettingSfx, kSettingSpeed, kSettingCount };

struct PanelSettingInfo {
    const char* key; // in section "Options"
    int maximum;     // the values run 1..maximum; the default is the maximum
    int category;    // of the sound engine, or -1 for the speed
};

// In the panel's order: speech, music, sound effects, speed.
extern const std::array<PanelSettingInfo, kSettingCount> kPanelSettings;

// The percentage of a value 1..maximum: 0 for 1, 100 for the maximum (truncated).
int SettingPercent(int value, int maximum);

struct PanelSettings {
    std::array<int32_t, kSettingCount> values{30, 40, 31, 26};
    std::array<uint16_t, kSettingCount> percents{100, 100, 100, 100};
};

// The settings the profile holds, as stored (not yet corrected); the defaults without one.
PanelSettings ReadPanelSettings(const platform::Profile* profile);

// Brings every value into its range and computes its percentage, sets the three volumes in
// the engine (when there is one) and writes the values back to the profile (when there is
// one), in the order speech, music, sfx, speed.
void ApplyPanelSettings(PanelSettings& settings, platform::Profile* profile, DSengine* engine);
