#include "screens/PanelSettings.h"

#include <algorithm>

#include "platform/Profile.h"
#include "platform/Trace.h"
#include "sound/DSengine.h"

const std::array<PanelSettingInfo, kSettingCount> kPanelSettings = {{
    {"Speech volume", 30, kSoundSpeech},
    {"Music volume", 40, kSoundMusic},
    {"Sfx volume", 31, kSoundEffects},
    {"Speed", 26, -1},
}};

int SettingPercent(int value, int maximum) {
    return (value - 1) * 100 / (maximum - 1);
}

PanelSettings ReadPanelSettings(const platform::Profile* profile) {
    PanelSettings settings;
    for (size_t i = 0; i < kPanelSettings.size(); ++i) {
        const PanelSettingInfo& info = kPanelSettings[i];
        settings.values[i] =
            profile != nullptr ? profile->GetInt("Options", info.key, info.maximum) : info.maximum;
    }
    return settings;
}

void ApplyPanelSettings(PanelSettings& settings, platform::Profile* profile, DSengine* engine) {
    bool stored = true;
    for (size_t i = 0; i < kPanelSettings.size(); ++i) {
        const PanelSettingInfo& info = kPanelSettings[i];
        int32_t& value = settings.values[i];
        value = std::clamp(value, 1, info.maximum);
        const int percent = SettingPercent(value, info.maximum);
        settings.percents[i] = static_cast<uint16_t>(percent);
        if (info.category >= 0 && engine != nullptr)
            engine->SetCategoryVolume(info.category, percent);
        if (profile != nullptr) stored = profile->WriteInt("Options", info.key, value) && stored;
    }
    // The settings still apply to this run; only remembering them failed.
    if (!stored)
        platform::Trace("Warning: the settings could not be written to %s\n",
                        profile->Path().c_str());
}
