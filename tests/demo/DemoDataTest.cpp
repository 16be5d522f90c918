// The demo game directory that the build makes (build/demo) is complete and consistent: what
// the script, the room file and the INI files refer to exists, and every data file opens
// through the file layer the way the game opens it.
#include "demo/DemoData.h"

#include "graphics/PictureConvert.h"
#include "platform/Cp1251.h"
#include "resources/ArchiveFormat.h"
#include "sound/WaveFile.h"

#include <cstdio>
#include <fstream>
#include <map>

namespace {

using demo_test::DemoData;
using demo_test::kGameDir;
using demo_test::ReadThroughFileLayer;

constexpr int32_t kFirstCursor = 5002;
constexpr int32_t kLastCursor = 5007;

std::vector<uint8_t> ReadDisk(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The bytes of an archive member, read from the archive file itself.
std::vector<uint8_t> Member(const std::string& archive, const std::string& name) {
    const std::vector<uint8_t> image = ReadDisk(kGameDir / archive);
    std::vector<resources::ArchiveEntry> entries;
    std::string why;
    EXPECT_TRUE(resources::ParseArchive(image, entries, &why)) << archive << ": " << why;
    for (const auto& e : entries)
        if (e.name == name) return {image.begin() + e.offset, image.begin() + e.offset + e.size};
    ADD_FAILURE() << name << " is not in " << archive;
    return {};
}

// A sound the engine plays: a valid wave file in a format the mixer takes. Returns its length
// in milliseconds.
int ExpectPlayable(const std::string& name, const std::vector<uint8_t>& data) {
    sound::MemoryWaveSource source(data);
    sound::WaveLayout layout;
    std::string why;
    EXPECT_TRUE(sound::ParseWaveLayout(source, layout, why)) << name << ": " << why;
    EXPECT_TRUE(sound::IsPlayableFormat(layout.format, why)) << name << ": " << why;
    const uint32_t rate = std::max<uint32_t>(layout.format.avgBytesPerSec, 1);
    return static_cast<int>(uint64_t{layout.dataSize} * 1000 / rate);
}

// Checks one file named by resource.qrc: it opens, and it decodes as what its name says.
void ExpectLoadable(const std::string& name) {
    const std::vector<uint8_t> data = ReadThroughFileLayer(name);
    const std::string extension = name.substr(name.rfind('.') + 1);
    std::string error;
    if (extension == "BMP") {
        graphics::DibImage image;
        EXPECT_TRUE(graphics::DecodePicture(data, image, error)) << name << ": " << error;
    } else if (extension == "FLC") {
        codecs::FlicHeader header;
        std::vector<codecs::FlicFrameInfo> frames;
        ASSERT_TRUE(codecs::ParseFlicHeader(data, header, error)) << name << ": " << error;
        EXPECT_TRUE(codecs::ListFlicFrames(data, header, frames, error)) << name << ": " << error;
        const std::string base = name.substr(0, name.size() - 4);
        ReadThroughFileLayer(base + ".MSK"); // the animation's rectangle files
        ReadThroughFileLayer(base + ".MS2");
    } else if (extension == "WAV") {
        ExpectPlayable(name, data);
    } else {
        ADD_FAILURE() << name << ": neither a picture, an animation nor a sound";
    }
}

} // namespace

TEST_F(DemoData, EveryResourceInUseHasAFileThatLoads) {
    std::set<int32_t> used = ResourcesOfScript();
    ASSERT_GE(used.size(), 10u);
    for (int32_t cursor = kFirstCursor; cursor <= kLastCursor; ++cursor)
        used.insert(cursor);
    used.merge(demo_test::EngineResources());
    for (int32_t number : used) {
        SCOPED_TRACE(number);
        auto entry = table_.find(number);
        ASSERT_NE(entry, table_.end()) << "resource.qrc has no file for " << number;
        ExpectLoadable(entry->second.fileName);
    }
    // And nothing in the table is left over or broken.
    for (const auto& [number, entry] : table_) {
        EXPECT_TRUE(used.count(number)) << number << " (" << entry.fileName << ") is never used";
        ExpectLoadable(entry.fileName);
    }
}

TEST_F(DemoData, CursorsAndCharactersStayLoadedAndCursorsAreSmall) {
    for (int32_t cursor = kFirstCursor; cursor <= kLastCursor; ++cursor) {
        const ResourceEntry& entry = table_.at(cursor);
        EXPECT_TRUE(entry.keep) << cursor;
        const codecs::FlicHeader header = FlicHeaderOf(entry.fileName);
        EXPECT_LE(header.width, 48) << entry.fileName;
        EXPECT_LE(header.height, 48) << entry.fileName;
    }
    for (const ScriptObject* player : {&script_.objects.at(0), &script_.objects.at(1)}) {
        for (const ScriptReaction& r : player->reactions)
            for (const ScriptMessage& m : r.messages)
                if (m.type == QM_BASEANIM) {
                    EXPECT_TRUE(table_.at(m.param1).keep) << player->Name();
                }
    }
}

TEST_F(DemoData, RoomsArePlacedAndOneScrolls) {
    // A record for each room, and the two of the options panel and the map, whose objects
    // are not rooms.
    ASSERT_EQ(rooms_.rooms.size(), static_cast<size_t>(script_.roomCount) + 2);
    std::map<int, int> widths; // picture width -> rooms
    for (const BgRoom& room : rooms_.rooms) {
        const auto id = static_cast<uint16_t>(room.roomId);
        if (IsScreen(id)) continue;
        ASSERT_TRUE(IsRoom(id)) << room.roomId;
        for (const BgPlacement& p : room.placements) {
            ASSERT_NE(ById(p.objectId), nullptr) << "placement of unknown object " << p.objectId;
            EXPECT_FALSE(IsRoom(p.objectId)) << p.objectId;
        }
        for (const ScriptReaction& r : ById(id)->reactions)
            for (const ScriptMessage& m : r.messages)
                if (m.type == SET && m.target == id) {
                    graphics::DibImage image;
                    std::string error;
                    ASSERT_TRUE(graphics::DecodePicture(
                        ReadThroughFileLayer(table_.at(m.param1).fileName), image, error));
                    EXPECT_EQ(image.height, 480);
                    ++widths[image.width];
                }
    }
    // The workshop, the pier, the cut-scene's view and the last picture fill the screen;
    // Harbour Street alone scrolls.
    EXPECT_EQ(widths[640], 4);
    EXPECT_EQ(widths[1280], 1);
}

TEST_F(DemoData, PatchArchiveWinsOverMain) {
    const std::vector<uint8_t> patched = Member("patch.str", "SIGN.FLC");
    const std::vector<uint8_t> original = Member("main.str", "SIGN.FLC");
    ASSERT_FALSE(patched.empty());
    EXPECT_NE(patched, original);
    EXPECT_EQ(ReadThroughFileLayer("SIGN.FLC"), patched);
    EXPECT_EQ(ReadThroughFileLayer("sign.flc"), patched); // names ignore case
    EXPECT_EQ(ReadThroughFileLayer("SIGN.MSK"), Member("patch.str", "SIGN.MSK"));
}

TEST_F(DemoData, NamesAreWindows1251WithCyrillicAndCoverTheObjects) {
    const platform::IniFile names = platform::IniFile::Load(".\\names.ini");
    bool cyrillic = false;
    for (size_t i = 0; i < static_cast<size_t>(script_.objectCount); ++i) {
        const std::string name = script_.objects[i].Name();
        const std::string* shown = names.Find("all", name);
        ASSERT_NE(shown, nullptr) << name << " has no display name";
        EXPECT_FALSE(shown->empty()) << name;
        EXPECT_LE(shown->size(), 29u) << name << ": the game takes 29 characters";
        for (unsigned char c : *shown)
            if (c >= 0xC0) cyrillic = true; // А..я in Windows-1251
        // Bytes that were UTF-8 would not survive the round trip through the code page.
        EXPECT_EQ(platform::Utf8ToCp1251(platform::Cp1251ToUtf8(*shown)), *shown) << name;
    }
    EXPECT_TRUE(cyrillic);
}

// A door leads from its room; a place on the map from every room the map opens in (all but
// those that say NOMAP when they start). Where it leads, an entry point names an object of that
// room for the room left, where the characters come in.
TEST_F(DemoData, EveryDoorLeadsToAnEntryPointBack) {
    const auto enters = [&](const std::string& fromName, uint16_t to) {
        const std::string toName = ById(to)->Name();
        SCOPED_TRACE("from " + fromName + " to " + toName);
        const std::string* entry = bgs_.Find(toName, fromName);
        ASSERT_NE(entry, nullptr) << "[" << toName << "] has no key " << fromName;
        const BgRoom* entered = nullptr;
        for (const BgRoom& room : rooms_.rooms)
            if (static_cast<uint16_t>(room.roomId) == to) entered = &room;
        ASSERT_NE(entered, nullptr) << toName << " has no room record";
        bool found = false;
        for (const BgPlacement& p : entered->placements)
            if (ById(p.objectId)->Name() == *entry) {
                found = true;
                EXPECT_NE(p.walkX, -1) << *entry << " has no walk point";
            }
        EXPECT_TRUE(found) << *entry << " does not stand in " << toName;
    };
    std::vector<std::string> mapRooms;
    for (size_t i = static_cast<size_t>(script_.objectCount); i < script_.objects.size(); ++i) {
        bool noMap = false;
        for (const ScriptReaction& r : script_.objects[i].reactions)
            for (const ScriptMessage& m : r.messages)
                noMap |= r.type == TOTALINIT && m.type == NOMAP;
        if (!noMap) mapRooms.push_back(script_.objects[i].Name());
    }
    const std::string mapName = platform::Utf8ToCp1251("КАРТА");
    int doors = 0;
    for (const ScriptObject& door : script_.objects)
        for (const ScriptReaction& r : door.reactions)
            for (const ScriptMessage& m : r.messages) {
                if (m.type != GOTO) continue;
                ++doors;
                SCOPED_TRACE(door.Name());
                const BgRoom* from = RoomOf(door.id);
                ASSERT_NE(from, nullptr) << "the door stands in no room";
                ASSERT_TRUE(IsRoom(m.target));
                const std::string fromName = ById(static_cast<uint16_t>(from->roomId))->Name();
                if (fromName != mapName) {
                    enters(fromName, m.target);
                    continue;
                }
                for (const std::string& room : mapRooms)
                    if (room != ById(m.target)->Name()) enters(room, m.target);
            }
    EXPECT_GE(doors, 2);
}

TEST_F(DemoData, StartRoomAndPerspectivesAreSet) {
    const std::string* start = bgs_.Find("Settings", "StartRoom");
    ASSERT_NE(start, nullptr);
    bool startIsRoom = false;
    for (size_t i = static_cast<size_t>(script_.objectCount); i < script_.objects.size(); ++i) {
        const std::string room = script_.objects[i].Name();
        startIsRoom = startIsRoom || room == *start;
        const std::string* perspective = bgs_.Find("Settings", room);
        ASSERT_NE(perspective, nullptr) << room;
        double base = 0, gradient = 0, most = 0;
        int top = 0, bottom = 0;
        EXPECT_EQ(std::sscanf(perspective->c_str(), "%lf %lf %d %d %lf", &base, &gradient, &top,
                              &bottom, &most),
                  5)
            << room;
        EXPECT_LT(top, bottom) << room;
        EXPECT_LE(base, most) << room;
    }
    EXPECT_TRUE(startIsRoom) << *start;
}

// An END reaction guarded by IF on an animation number runs only if that animation has more
// than one frame (a still picture never ends) and is one the object is really given.
TEST_F(DemoData, EndReactionsWaitForAnimationsThatEnd) {
    int guarded = 0;
    for (const ScriptObject& o : script_.objects) {
        std::set<int32_t> shown;
        for (const ScriptReaction& r : o.reactions)
            for (const ScriptMessage& m : r.messages)
                if (m.type == SET && m.target == o.id) shown.insert(m.param1);
        for (const ScriptReaction& r : o.reactions) {
            if (r.type != END || r.messages.empty() || r.messages[0].type != IF) continue;
            ++guarded;
            const int32_t animation = r.messages[0].param1;
            SCOPED_TRACE(o.Name() + " " + std::to_string(animation));
            EXPECT_TRUE(shown.count(animation));
            EXPECT_GT(FlicHeaderOf(table_.at(animation).fileName).frameCount, 1);
        }
    }
    EXPECT_GE(guarded, 1);
}

TEST_F(DemoData, SoundsFitTheirRoomsAndAnimations) {
    // Every room has an ambience and music; one of them is long enough to be streamed.
    bool streamed = false;
    for (const ScriptObject& room : script_.objects) {
        if (!IsRoom(room.id)) continue;
        std::set<uint16_t> set;
        for (const ScriptReaction& r : room.reactions)
            for (const ScriptMessage& m : r.messages) {
                if (m.type != QM_AMBIENCE && m.type != QM_MUSIC) continue;
                set.insert(m.type);
                const std::string name = table_.at(m.param1).fileName;
                const int ms = ExpectPlayable(name, ReadThroughFileLayer(name));
                streamed |= ms >= 5000;
            }
        EXPECT_EQ(set.size(), 2u) << room.Name() << " lacks its ambience or its music";
    }
    EXPECT_TRUE(streamed);
    // A companion sound starts again only once it has finished: the clock's tick must be over
    // before the pendulum's next swing, and a door's sound before the door is open and the
    // room changes (which removes it).
    const std::pair<const char*, const char*> companions[] = {
        {"CLOCK.WAV", "CLOCK.FLC"}, {"WDOOROP.WAV", "WDOOROP.FLC"}, {"SDOOROP.WAV", "SDOOROP.FLC"}};
    for (auto [sound, animation] : companions) {
        const int ms = ExpectPlayable(sound, ReadThroughFileLayer(sound));
        const codecs::FlicHeader flic = FlicHeaderOf(animation);
        // Played as the first frame passes: it has the other frames' time to end.
        EXPECT_LT(ms, (flic.frameCount - 1) * flic.frameTime) << sound;
    }
}
