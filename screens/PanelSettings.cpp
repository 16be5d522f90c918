#include "screens/PanelVolumes.h"

#include <algorithm>

#include "platform/Profile.h"
#include "sound/DSengine.h"

const PanelVolume kPanelVolumes[3] = {
    {"Speech volume", 30, kSoundSpeech},
    {"Music volume", 40, kSoundMusic},
    {"Sfx volume", 31, kSoundEffects},
};

int VolumePercent(int value, int maximum) {
    return (value - 1) * 100 / (maximum - 1);
}

void ApplyProfileVolumes(platform::Profile* profile, DSengine& engine) {
    for (const PanelVolume& v : kPanelVolumes) {
        int value = profile != nullptr ? profile->GetInt("Options", v.key, v.maximum) : v.maximum;
        value = std::clamp(value, 1, v.maximum);
        engine.SetCategoryVolume(v.category, VolumePercent(value, v.maximum));
        if (profile != nullptr) profile->WriteInt("Options", v.key, value);
    }
}
