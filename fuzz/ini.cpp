// INI files as the game reads its configuration (names.ini, BGs.ini, invntr.txt) and the
// player's profile: every key listed in a section is found in it, and the text written
// back parses again.
#include "platform/Ini.h"
#include "fuzz/FuzzTarget.h"

namespace {

std::vector<uint8_t> Text(const std::string& s) {
    return {s.begin(), s.end()};
}

} // namespace

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    return {{"settings.ini", Text("\xEF\xBB\xBF[Settings]\r\nStartRoom = Workshop\r\nHall = 0.5 "
                                  "0.001 200 480 1.2\r\n; comment\r\n[Hall]\nStreet=Door\n")},
            {"odd.ini", Text("key=before any section\n[ spaced ]\n a = \"quoted\" \n[x\nb='c'\n[]"
                             "\n=\n[SPACED]\nA=second\n")}};
}

TARVO_FUZZ_TARGET(data, size) {
    const platform::IniFile ini =
        platform::IniFile::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const std::string& section : ini.Sections())
        for (const std::string& key : ini.Keys(section))
            fuzz::Require(ini.Find(section, key) != nullptr, "listed keys are found");
    platform::IniFile::Parse(ini.ToText());
    return 0;
}
