// "resource.qrc" as the resource manager reads it: every name ends before the first blank or
// control character, and a companion sound name is a .WAV name.
#include "fuzz/FuzzTarget.h"
#include "resources/ResourceTable.h"

namespace {

std::vector<uint8_t> Text(const std::string& s) {
    return {s.begin(), s.end()};
}

} // namespace

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    return {{"plain.qrc", Text("5000 = MENU.FLC\r\n6000==CASE.FLC\r\n100 = ROOM.BMP extra\n")},
            {"odd.qrc", Text("12==A.FLC\n12 = A.FLC\n7 = B.BMP words\n4294967295=x.wav\n=\n==")}};
}

TARVO_FUZZ_TARGET(data, size) {
    const ResourceTable table =
        ParseResourceTable(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& [number, entry] : table) {
        for (char c : entry.fileName)
            fuzz::Require(static_cast<unsigned char>(c) > 32, "names hold no blanks");
        const std::string sound = CompanionSoundName(entry.fileName);
        fuzz::Require(sound.empty() || sound.find(".WAV") != std::string::npos,
                      "companion sounds are .WAV files");
    }
    return 0;
}
