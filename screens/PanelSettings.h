#pragma once
// The options panel's three volume settings, as the player left them in the profile: read,
// corrected into their ranges, written back and given to the sound engine. Until the panel
// itself applies them, start-up does.
#include <string>

namespace platform {
class Profile;
}
class DSengine;

struct PanelVolume {
    const char* key; // in section "Options"
    int maximum;     // the values run 1..maximum; the default is the maximum
    int category;    // of the sound engine
};

// Speech, music and sound effects, in the panel's order.
extern const PanelVolume kPanelVolumes[3];

// The percentage of a value 1..maximum: 0 for 1, 100 for the maximum.
int VolumePercent(int value, int maximum);

// Applies the profile's volumes to the engine (the defaults without a profile) and writes the
// corrected values back.
void ApplyProfileVolumes(platform::Profile* profile, DSengine& engine);
