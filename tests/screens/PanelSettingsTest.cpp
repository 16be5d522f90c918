// The panel's four settings as the profile keeps them: corrected into their ranges, heard in
// the sound engine's categories and written back; without a profile, the defaults and no file.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Profile.h"
#include "platform/Trace.h"
#include "screens/PanelSettings.h"
#include "sound/DSengine.h"
#include "support/TempDir.h"

using testing_support::TempDir;

TEST(PanelSettings, TheProfilesValuesAreCorrectedAppliedAndWrittenBack) {
    struct Case {
        const char* profile;
        std::array<int32_t, kSettingCount> values; // after applying
        std::array<int, kSettingCount> percents;   // speech, music, sfx, speed
    };
    const Case cases[] = {
        {"", {30, 40, 31, 26}, {100, 100, 100, 100}}, // nothing stored: the maxima
        {"Speech volume=1\nMusic volume=20\nSfx volume=16\nSpeed=9\n",
         {1, 20, 16, 9},
         {0, 48, 50, 32}},
        // Out of range, or not a number at all: brought into range.
        {"Speech volume=0\nMusic volume=41\nSfx volume=-5\nSpeed=1000\n",
         {1, 40, 1, 26},
         {0, 100, 0, 100}},
        {"Music volume=loud\n", {30, 1, 31, 26}, {100, 0, 100, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profile);
        TempDir dir;
        dir.Write("tarvo.ini", std::string("[Options]\n") + c.profile);
        platform::Profile profile(dir / "tarvo.ini");
        DSengine engine;
        engine.Init(SoundOutput{});
        PanelSettings settings = ReadPanelSettings(&profile);
        ApplyPanelSettings(settings, &profile, &engine);
        for (int i = 0; i < kSettingCount; ++i) {
            const PanelSettingInfo& info = kPanelSettings[static_cast<size_t>(i)];
            EXPECT_EQ(settings.values[static_cast<size_t>(i)], c.values[static_cast<size_t>(i)])
                << info.key;
            EXPECT_EQ(settings.percents[static_cast<size_t>(i)], c.percents[static_cast<size_t>(i)])
                << info.key;
            EXPECT_EQ(profile.GetInt("Options", info.key, -1), c.values[static_cast<size_t>(i)])
                << info.key;
            if (info.category >= 0) {
                EXPECT_EQ(engine.CategoryVolume(info.category), c.percents[static_cast<size_t>(i)])
                    << info.key;
            }
        }
    }
}

TEST(PanelSettings, WithoutAProfileTheDefaultsPlayAndNothingIsWritten) {
    TempDir dir(true);
    DSengine engine;
    engine.Init(SoundOutput{});
    engine.SetCategoryVolume(kSoundMusic, 10);
    PanelSettings settings = ReadPanelSettings(nullptr);
    settings.values[kSettingMusic] = 0;
    ApplyPanelSettings(settings, nullptr, &engine);
    EXPECT_EQ(settings.values[kSettingMusic], 1);
    EXPECT_EQ(engine.CategoryVolume(kSoundMusic), 0);
    EXPECT_EQ(settings.percents[kSettingSpeed], 100);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(PanelSettings, AProfileThatCannotBeWrittenStillLetsTheSettingsApply) {
    TempDir dir;
    dir.Write("taken", "a file, not a folder");
    platform::Profile profile(dir / "taken/tarvo.ini");
    std::vector<std::string> trace;
    platform::TraceToFunction([&](std::string_view line) { trace.emplace_back(line); });
    DSengine engine;
    engine.Init(SoundOutput{});
    PanelSettings settings;
    settings.values[kSettingSfx] = 16;
    ApplyPanelSettings(settings, &profile, &engine);
    platform::TraceOff();
    EXPECT_EQ(engine.CategoryVolume(kSoundEffects), 50);
    ASSERT_EQ(trace.size(), 1u);
    EXPECT_NE(trace[0].find("could not be written"), std::string::npos) << trace[0];
}
