// The demo's pictures for the engine's own screens fit the way the engine uses them: the
// action menu lights the sector it picks by rectangle, the case's buttons are found where
// their highlights are, the close area leaves buttons and item places alone, the description
// card holds the text, and the strap object the case looks for exists by its exact name.
#include "demo/DemoData.h"

#include "graphics/FlicRects.h"
#include "interfaces/QObjectCase.h"
#include "interfaces/QObjectStar.h"
#include "platform/Cp1251.h"
#include "platform/PixelFormat.h"
#include "screens/QInterfacePanel.h"

#include <optional>
#include <set>
#include <tuple>

namespace {

using demo_test::DemoData;
using demo_test::ReadThroughFileLayer;
using platform::Rect;

// The decoded frames of an animation, as 16-bit pixels, with its transparent value.
struct Frames {
    int width = 0;
    int height = 0;
    uint16_t key = 0;
    std::vector<std::vector<uint16_t>> pictures; // index k - 1 holds frame k

    uint16_t At(int frame, int x, int y) const {
        return pictures.at(static_cast<size_t>(frame - 1))[static_cast<size_t>(y) * width + x];
    }
    bool Opaque(int frame, int x, int y) const { return At(frame, x, y) != key; }
};

Frames Decode(const std::string& name) {
    Frames out;
    codecs::FlicDecoder decoder;
    EXPECT_TRUE(decoder.Open(ReadThroughFileLayer(name), platform::PixelShifts{})) << name;
    out.width = decoder.Width();
    out.height = decoder.Height();
    std::vector<uint16_t> canvas(static_cast<size_t>(out.width) * out.height);
    for (int frame = 1; frame <= decoder.FrameCount(); ++frame) {
        EXPECT_TRUE(decoder.SetFrame(frame, codecs::FlicCanvas{canvas, out.width}))
            << name << " frame " << frame << ": " << decoder.Error();
        out.pictures.push_back(canvas);
    }
    out.key = decoder.ColorKey();
    return out;
}

// Frame k's rectangles of the animation's mask file, and its bounding rectangle as stored.
codecs::FrameRectLists MaskOf(const std::string& flc, int frameCount, Rect* bounds = nullptr) {
    codecs::FrameRectLists lists;
    Rect stored;
    std::string error;
    const std::string mask = flc.substr(0, flc.size() - 4) + ".MSK";
    EXPECT_TRUE(codecs::ParseMaskFile(ReadThroughFileLayer(mask), frameCount, lists, stored, error))
        << mask << ": " << error;
    if (bounds != nullptr) *bounds = stored;
    return lists;
}

bool Overlap(const Rect& a, const Rect& b) {
    return !platform::Intersect(a, b).IsEmpty();
}

// Whether frames a and b of `f` differ anywhere inside r.
bool Differ(const Frames& f, int a, int b, const Rect& r) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (f.At(a, x, y) != f.At(b, x, y)) return true;
    return false;
}

// Where the case lays out the carried things (their top-left corners), with room for a thing
// of the demo's size.
constexpr int kThingSize = 32;
constexpr const auto& kPlaces = kCasePlaces;

Rect PlaceArea(const platform::Point& p) {
    return Rect{p.x, p.y, p.x + kThingSize, p.y + kThingSize};
}

// The text rectangle of a description, in screen coordinates.
constexpr Rect kDescriptionText{160, 275, 598, 376};

class DemoInterface : public DemoData {
protected:
    std::string FileOf(int32_t number) const {
        const auto entry = table_.find(number);
        if (entry == table_.end()) {
            ADD_FAILURE() << "resource.qrc has no file for " << number;
            return {};
        }
        return entry->second.fileName;
    }
    const ScriptObject* ByName(const std::string& name) const {
        for (const ScriptObject& o : script_.objects)
            if (o.Name() == name) return &o;
        return nullptr;
    }
};

TEST_F(DemoInterface, EnginePicturesAreListedAndMenuAndCaseStayLoaded) {
    for (int32_t number : demo_test::EngineResources()) {
        SCOPED_TRACE(number);
        const std::string file = FileOf(number);
        ASSERT_FALSE(file.empty());
        EXPECT_GT(FlicHeaderOf(file).frameCount, 0);
    }
    // Opened in any room, so kept across room changes.
    EXPECT_TRUE(table_.at(demo_test::kActionMenu).keep);
    EXPECT_TRUE(table_.at(demo_test::kCase).keep);
    const codecs::FlicHeader caseHeader = FlicHeaderOf(FileOf(demo_test::kCase));
    EXPECT_EQ(caseHeader.width, 640);
    EXPECT_EQ(caseHeader.height, 480);
}

// The menu picks a sector by fixed rectangles relative to its top-left corner and shows frame
// s + 2 for sector s: so that frame must light sector s and leave the others as in frame 1,
// and a click in the middle of what it lights must pick sector s.
TEST_F(DemoInterface, ActionMenuLightsTheSectorThatAClickThereWouldPick) {
    const Frames menu = Decode(FileOf(demo_test::kActionMenu));
    ASSERT_EQ(menu.pictures.size(), 7u);
    ASSERT_GE(menu.width, 180);
    ASSERT_GE(menu.height, 175);
    const Rect whole{0, 0, menu.width, menu.height};
    for (int s = 0; s < kStarSectors; ++s) {
        SCOPED_TRACE("sector " + std::to_string(s));
        const int frame = StarFrameOf(s);
        EXPECT_TRUE(Differ(menu, 1, frame, kStarSectorRects[s]));
        for (int other = 0; other < kStarSectors; ++other) {
            if (other != s) {
                EXPECT_FALSE(Differ(menu, 1, frame, kStarSectorRects[other])) << other;
            }
        }
        // Something to see: the sector is drawn, not left transparent.
        const Rect& r = kStarSectorRects[s];
        EXPECT_TRUE(menu.Opaque(1, (r.left + r.right) / 2, (r.top + r.bottom) / 2));
        // The middle of what the frame lights picks the sector.
        Rect lit{whole.right, whole.bottom, 0, 0};
        for (int y = 0; y < menu.height; ++y)
            for (int x = 0; x < menu.width; ++x)
                if (menu.At(1, x, y) != menu.At(frame, x, y))
                    lit = Rect{std::min(lit.left, x), std::min(lit.top, y),
                               std::max(lit.right, x + 1), std::max(lit.bottom, y + 1)};
        ASSERT_FALSE(lit.IsEmpty());
        EXPECT_EQ(StarSectorAt((lit.left + lit.right) / 2, (lit.top + lit.bottom) / 2), s);
    }
    EXPECT_EQ(StarFrameOf(kNoSector), 1);
}

// The case finds the button under the pointer by the first rectangle of the current frame's
// mask list of each highlight, drawn at the case's corner: those must be the same in every
// frame, on the screen, apart from each other and from the places of the things.
TEST_F(DemoInterface, CaseButtonsAreFoundWhereTheirHighlightsAre) {
    std::vector<Rect> buttons;
    for (int button = 0; button < demo_test::kCaseButtons; ++button) {
        SCOPED_TRACE("button " + std::to_string(button));
        const std::string file = FileOf(demo_test::kFirstButtonHighlight + button);
        const codecs::FlicHeader header = FlicHeaderOf(file);
        EXPECT_EQ(header.width, 640);
        EXPECT_EQ(header.height, 480);
        const codecs::FrameRectLists mask = MaskOf(file, header.frameCount);
        ASSERT_EQ(mask.size(), static_cast<size_t>(header.frameCount));
        ASSERT_FALSE(mask[0].empty());
        const Rect hot = mask[0][0];
        for (const auto& frame : mask) {
            ASSERT_FALSE(frame.empty());
            EXPECT_EQ(frame[0], hot);
            // The whole highlight is inside the hot rectangle: what lights up is what is hot.
            for (const Rect& r : frame)
                EXPECT_EQ(platform::Intersect(r, hot), r);
        }
        EXPECT_GE(hot.Width(), 40);
        EXPECT_GE(hot.Height(), 30);
        EXPECT_EQ(platform::Intersect(hot, Rect{0, 0, 640, 480}), hot);
        for (const platform::Point& place : kPlaces)
            EXPECT_FALSE(Overlap(hot, PlaceArea(place))) << place.x << "," << place.y;
        for (const Rect& other : buttons)
            EXPECT_FALSE(Overlap(hot, other));
        buttons.push_back(hot);
    }

    // The case looks at the close area before its buttons: where it is opaque, no button
    // can be hot, and no thing should lie there.
    const Frames close = Decode(FileOf(demo_test::kCloseArea));
    ASSERT_EQ(close.pictures.size(), 1u);
    ASSERT_EQ(close.width, 640);
    ASSERT_EQ(close.height, 480);
    std::vector<Rect> free = buttons;
    for (const platform::Point& place : kPlaces)
        free.push_back(PlaceArea(place));
    for (const Rect& r : free)
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                ASSERT_FALSE(close.Opaque(1, x, y)) << "close area at " << x << "," << y;
    // ...and it is there: round the case, at the screen's corners.
    EXPECT_TRUE(close.Opaque(1, 0, 0));
    EXPECT_TRUE(close.Opaque(1, 639, 0));
    EXPECT_TRUE(close.Opaque(1, 0, 479));
    EXPECT_TRUE(close.Opaque(1, 639, 479));

    // Where a click closes the case, the room shows through it; the places are on the case.
    const Frames picture = Decode(FileOf(demo_test::kCase));
    EXPECT_FALSE(picture.Opaque(1, 0, 0));
    for (const platform::Point& place : kPlaces)
        EXPECT_TRUE(picture.Opaque(1, place.x, place.y)) << place.x << "," << place.y;
}

// The description copies the card, at the frame SHOWDESCRIPTION asks for, into a full-screen
// picture and writes the text in black into a fixed rectangle: every frame must be light all
// over that rectangle, and the card must keep its full size, for the engine crops a still
// full-screen picture to its visible part, which would leave the rest of the screen black.
TEST_F(DemoInterface, DescriptionCardIsLightUnderTheText) {
    const std::string file = FileOf(demo_test::kDescriptionCard);
    const Frames card = Decode(file);
    ASSERT_EQ(card.width, 640);
    ASSERT_EQ(card.height, 480);
    for (int frame = 1; frame <= static_cast<int>(card.pictures.size()); ++frame)
        for (int y = kDescriptionText.top; y < kDescriptionText.bottom; ++y)
            for (int x = kDescriptionText.left; x < kDescriptionText.right; ++x) {
                uint8_t r = 0, g = 0, b = 0;
                platform::Rgb565ToRgb888(card.At(frame, x, y), r, g, b);
                ASSERT_TRUE(card.Opaque(frame, x, y)) << "frame " << frame << " " << x << "," << y;
                ASSERT_GE(r + g + b, 3 * 160) << "frame " << frame << " " << x << "," << y;
            }
    EXPECT_FALSE(card.Opaque(1, 0, 0)); // the screen shows round the card
    Rect bounds;
    MaskOf(file, static_cast<int>(card.pictures.size()), &bounds);
    EXPECT_FALSE(codecs::StillBackgroundCrop(static_cast<int>(card.pictures.size()), card.width,
                                             card.height, codecs::AdjustBoundingRect(bounds)));
}

// Every described thing has its text, in the game's code page, on a frame the card has; and
// one event shows one description (a second would replace the first at once).
TEST_F(DemoInterface, LookShowsTheDescriptionOfTheThing) {
    const platform::IniFile texts = platform::IniFile::Load(".\\invntr.txt");
    const int frames = FlicHeaderOf(FileOf(demo_test::kDescriptionCard)).frameCount;
    int described = 0;
    bool cyrillic = false;
    for (const ScriptObject& o : script_.objects) {
        std::set<std::tuple<uint16_t, int8_t, uint16_t>> events; // type, status, sender
        for (const ScriptReaction& r : o.reactions)
            for (const ScriptMessage& m : r.messages) {
                if (m.type != SHOWDESCRIPTION) continue;
                ++described;
                EXPECT_TRUE(events.emplace(r.type, r.status, r.sender).second)
                    << o.Name() << " shows two descriptions for one event";
                const ScriptObject* thing = ById(m.target);
                ASSERT_NE(thing, nullptr) << o.Name();
                SCOPED_TRACE(thing->Name());
                EXPECT_GE(m.param1, 1);
                EXPECT_LE(m.param1, frames);
                const std::string* text = texts.Find("all", thing->Name());
                ASSERT_NE(text, nullptr);
                EXPECT_FALSE(text->empty());
                EXPECT_LT(text->size(), 300u) << "more than the card's box holds";
                EXPECT_EQ(platform::Utf8ToCp1251(platform::Cp1251ToUtf8(*text)), *text);
                for (unsigned char c : *text)
                    if (c >= 0xC0) cyrillic = true;
            }
    }
    EXPECT_GE(described, 3);
    EXPECT_TRUE(cyrillic);
}

// The case shows the object of this exact name over the things in it, at depth 982, and takes
// it away again by that depth: so its depth must not follow its frame. It stands in no room.
TEST_F(DemoInterface, StrapObjectExistsByItsWindows1251Name) {
    const std::string name = platform::Utf8ToCp1251("Полоска в чемодане");
    ASSERT_EQ(name.size(), 18u); // one byte a letter
    const ScriptObject* strap = ByName(name);
    ASSERT_NE(strap, nullptr);
    EXPECT_EQ(RoomOf(strap->id), nullptr);
    std::optional<int32_t> picture;
    bool fixedDepth = false;
    for (const ScriptReaction& r : strap->reactions) {
        if (r.type != TOTALINIT) continue;
        for (const ScriptMessage& m : r.messages) {
            if (m.target != strap->id) continue;
            if (m.type == SET) picture = m.param1;
            if (m.type == ZBUFFER) fixedDepth = m.param1 == 0 && m.param2 == 982;
        }
    }
    ASSERT_TRUE(picture.has_value());
    EXPECT_GT(FlicHeaderOf(FileOf(*picture)).frameCount, 0);
    EXPECT_TRUE(fixedDepth);
}

// What the script puts into the case fits its places (the pockets are made for things of
// 32 x 32 or less); each thing it puts into the hand has a small cursor picture that stays
// loaded across rooms, and is a thing the case holds, so it has somewhere to go back to.
// Four or more are picked up in the rooms, in both rooms, and seven fill more than a page.
TEST_F(DemoInterface, ThingsCarriedFitTheCaseAndTheHand) {
    std::set<uint16_t> carried, pickedUp, rooms;
    for (const ScriptObject& o : script_.objects)
        for (const ScriptReaction& r : o.reactions)
            for (const ScriptMessage& m : r.messages) {
                if (m.type != ADDINV) continue;
                carried.insert(m.target);
                // Its picture in the case: set with it, or what it has from the start.
                std::optional<int32_t> shown;
                for (const ScriptMessage& set : r.messages)
                    if (set.type == SET && set.target == m.target) shown = set.param1;
                for (const ScriptReaction& init : ById(m.target)->reactions)
                    for (const ScriptMessage& set : init.messages)
                        if (!shown && init.type == TOTALINIT && set.type == SET &&
                            set.target == m.target)
                            shown = set.param1;
                ASSERT_TRUE(shown.has_value()) << ById(m.target)->Name();
                const codecs::FlicHeader header = FlicHeaderOf(FileOf(*shown));
                EXPECT_LE(header.width, kThingSize) << ById(m.target)->Name();
                EXPECT_LE(header.height, kThingSize) << ById(m.target)->Name();
                // Found in a room: by what gives it there, or, handed over in a conversation
                // (a reaction to its notification), where it lies.
                const BgRoom* where = RoomOf(o.id) != nullptr ? RoomOf(o.id) : RoomOf(m.target);
                if (r.type == TOTALINIT || where == nullptr) continue;
                pickedUp.insert(m.target);
                rooms.insert(static_cast<uint16_t>(where->roomId));
            }
    int held = 0;
    for (const ScriptObject& o : script_.objects)
        for (const ScriptReaction& r : o.reactions)
            for (const ScriptMessage& m : r.messages) {
                if (m.type != CURSOR || m.param1 == 0xFFFF) continue;
                ++held;
                SCOPED_TRACE(ById(m.target)->Name());
                EXPECT_TRUE(carried.count(m.target));
                ASSERT_TRUE(table_.count(m.param1));
                EXPECT_TRUE(table_.at(m.param1).keep);
                const codecs::FlicHeader header = FlicHeaderOf(FileOf(m.param1));
                EXPECT_LE(header.width, 48);
                EXPECT_LE(header.height, 48);
            }
    EXPECT_GE(held, static_cast<int>(carried.size()));
    EXPECT_GE(pickedUp.size(), 4u);
    EXPECT_EQ(rooms.size(), 2u);
    EXPECT_GT(carried.size(), static_cast<size_t>(kCaseItemsPerPage));
}

} // namespace

namespace {

// The frame-1 area of an animation placed at (x, y): the union of its mask rectangles.
Rect AreaOf(const codecs::FrameRectLists& mask, int x, int y) {
    Rect all{};
    for (const Rect& r : mask.at(0))
        all = all.IsEmpty() ? r
                            : Rect{std::min(all.left, r.left), std::min(all.top, r.top),
                                   std::max(all.right, r.right), std::max(all.bottom, r.bottom)};
    return platform::Offset(all, x, y);
}

} // namespace

// The options panel and the map are found by their pictures' names; their pictures lie under
// what shows on them. What the panel's record holds fits each object's role: push plates and
// name plates with a resting and a lit frame, a dial with a frame for every value of its
// setting, keys drawn in frames of the screen. Nothing covers what lights up under the
// pointer (the pointer finds the top object, and a plate or key covered by another object
// would never light), and the map's places lie apart.
TEST_F(DemoInterface, PanelAndMapPicturesFitTheirRoles) {
    struct Found {
        const ScriptObject* object = nullptr;
        int32_t picture = -1;
        bool low = false;    // ZBUFFER 0 0 on TOTALINIT
        bool hidden = false; // HIDE on TOTALINIT
    };
    const auto find = [&](uint16_t id) {
        Found f;
        f.object = ById(id);
        for (const ScriptReaction& r : f.object->reactions)
            for (const ScriptMessage& m : r.messages)
                if (r.type == TOTALINIT && m.target == id) {
                    if (m.type == SET) f.picture = m.param1;
                    if (m.type == ZBUFFER) f.low = m.param1 == 0 && m.param2 == 0;
                    if (m.type == HIDE) f.hidden = true;
                }
        return f;
    };
    const auto record = [&](const ScriptObject* screen) -> const BgRoom* {
        for (const BgRoom& room : rooms_.rooms)
            if (static_cast<uint16_t>(room.roomId) == screen->id) return &room;
        return nullptr;
    };
    for (const char* name : {"ПАНЕЛЬ УПРАВЛЕНИЯ", "КАРТА"}) {
        SCOPED_TRACE(name);
        const ScriptObject* screen = ByName(platform::Utf8ToCp1251(name));
        ASSERT_NE(screen, nullptr);
        const Found picture = find(screen->id);
        EXPECT_TRUE(picture.low);
        const codecs::FlicHeader header = FlicHeaderOf(FileOf(picture.picture));
        EXPECT_EQ(header.width, 640);
        EXPECT_EQ(header.height, 480);
        ASSERT_NE(record(screen), nullptr);
    }

    const BgRoom& panel = *record(ByName(platform::Utf8ToCp1251("ПАНЕЛЬ УПРАВЛЕНИЯ")));
    ASSERT_EQ(panel.placements.size(), static_cast<size_t>(kPanelObjects));
    std::vector<Rect> areas, lit;
    for (int k = 0; k < kPanelObjects; ++k) {
        SCOPED_TRACE("role " + std::to_string(k));
        const PanelPlace& place = kPanelPlaces[static_cast<size_t>(k)];
        const std::string file =
            FileOf(find(panel.placements[static_cast<size_t>(k)].objectId).picture);
        const codecs::FlicHeader header = FlicHeaderOf(file);
        const bool key = place.role == PanelRole::Minus || place.role == PanelRole::Plus;
        if (place.role == PanelRole::Button || place.role == PanelRole::Label) {
            EXPECT_EQ(header.frameCount, 2);
        } else if (place.role == PanelRole::Slider) {
            EXPECT_EQ(header.frameCount,
                      kPanelSettings[static_cast<size_t>(place.setting)].maximum);
        } else if (key) {
            EXPECT_EQ(header.width, 640);
            EXPECT_EQ(header.height, 480);
        }
        const Rect area = AreaOf(MaskOf(file, header.frameCount), place.at.x, place.at.y);
        EXPECT_EQ(platform::Intersect(area, Rect{0, 0, 640, 480}), area);
        areas.push_back(area);
        lit.push_back(place.role == PanelRole::Button || key ? area : Rect{});
    }
    for (size_t a = 0; a < areas.size(); ++a)
        for (size_t b = 0; b < areas.size(); ++b)
            if (a != b && !lit[b].IsEmpty()) {
                EXPECT_FALSE(Overlap(areas[a], lit[b])) << "role " << a << " covers role " << b;
            }

    const BgRoom& map = *record(ByName(platform::Utf8ToCp1251("КАРТА")));
    ASSERT_GE(map.placements.size(), 3u);
    std::vector<Rect> places;
    for (const BgPlacement& p : map.placements) {
        const Found place = find(p.objectId);
        SCOPED_TRACE(place.object->Name());
        EXPECT_TRUE(place.hidden); // shown only under the pointer
        const std::string file = FileOf(place.picture);
        const codecs::FlicHeader header = FlicHeaderOf(file);
        EXPECT_EQ(header.width, 640);
        EXPECT_EQ(header.height, 480);
        const Rect area = AreaOf(MaskOf(file, header.frameCount), 0, 0);
        for (const Rect& other : places)
            EXPECT_FALSE(Overlap(area, other));
        places.push_back(area);
    }
}
