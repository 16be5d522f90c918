// The map: where it may open, what shows under the pointer, its captions, and clicks handed
// to the places' scripts.
#include <gtest/gtest.h>

#include "graphics/Fonts.h"
#include "platform/Text.h"
#include "screens/ScreenGame.h"
#include "text/QText.h"

using namespace screens_test;

namespace {

class Map : public ScreenGame {
protected:
    Map() {
        std::string error;
        font = platform::Font::Create("Arial", 20, platform::kFwBold, error);
        g_fontLarge = font.get();
    }
    ~Map() override { g_fontLarge = nullptr; }
    void Open() {
        map().OpenScreen(kMapScreen);
        ASSERT_EQ(w().currentInterface, &map());
    }
    // The caption shown, or "" when none.
    std::string Caption() const {
        const QText* text = g_system->mapInterface->ShownText();
        return text != nullptr ? text->Text() : std::string();
    }
    // Whether the caption is written in `color` (without a font, nothing is written).
    bool CaptionInk(uint32_t color) const {
        platform::Surface* picture = g_manager->GetPicture(kTextPicture);
        if (!font || picture == nullptr) return !font;
        const platform::Pixel ink = g_pixelShifts.FromColorRef(color);
        for (int y = 0; y < picture->Height(); ++y)
            for (int x = 0; x < picture->Width(); ++x)
                if (picture->At(x, y) == ink) return true;
        return false;
    }
    static platform::Point In(const platform::Rect& r) { return {r.left + 10, r.top + 10}; }

    std::unique_ptr<platform::Font> font;
};

} // namespace

TEST_F(Map, OpensOnlyWhereTheRoomAllowsIt) {
    // The yard says NOMAP: nothing opens there, and the text shown stays.
    ui().ChangeBG(kYard);
    ui().ShowText("A caption", kCaptionColor, kOutlineColor);
    map().OpenScreen(kMapScreen);
    EXPECT_EQ(w().currentInterface, &ui());
    ASSERT_NE(ui().ShownText(), nullptr);
    EXPECT_EQ(ui().ShownText()->Text(), "A caption");
    // MAP allows it again.
    w().Post(kYard, MAP, 1, 0, 0, 0, nullptr);
    w().DispatchQueue();
    Open();
    map().Cancel();
    // Another number opens nothing, in a room that allows the map too.
    ui().ChangeBG(kHall);
    map().OpenScreen(4900);
    EXPECT_EQ(w().currentInterface, &ui());
    EXPECT_TRUE(Traced("screen 4900 is not the map"));
}

TEST_F(Map, OpensWithItsPlacesHiddenAndTellsTheScript) {
    w().scrollOffset = 0;
    w().cursor->SelectMode(kCursorTalk);
    w().queue.clear();
    Open();
    ASSERT_EQ(map().objects.size(), 4u);
    EXPECT_EQ(map().objects[0], &Obj(kMapObject));
    EXPECT_EQ(map().objects[1], &Obj(kQuay));
    EXPECT_EQ(map().objects[2], &Obj(kPier));
    EXPECT_EQ(map().objects[3], w().cursor.get());
    for (uint16_t place : {kQuay, kPier}) {
        EXPECT_EQ(Obj(place).z, 1);
        EXPECT_EQ(Obj(place).visible, 0);
        EXPECT_EQ(Obj(place).animate, 0); // as hidden as it is
    }
    EXPECT_EQ(w().cursor->resourceId, kScreenPointer);
    EXPECT_EQ(w().cursor->animate, 0);
    // Every object hears INITBG from the map.
    int told = 0;
    for (const QMessage& m : w().queue)
        told += m.type == INITBG && m.sender == &Obj(kMapObject);
    EXPECT_EQ(told, static_cast<int>(w().objects.size()));
}

TEST_F(Map, APlaceShowsWithItsNameWhileThePointerIsOverIt) {
    Open();
    struct Step {
        const char* where;
        platform::Point at;
        bool quay, pier; // shown
        const char* caption;
        uint32_t color;
    };
    const Step steps[] = {
        {"nowhere", {500, 400}, false, false, "", 0},
        {"on the quay", In(kQuayArea), true, false, "The quay", kCaptionColor},
        {"still on the quay",
         {kQuayArea.left + 20, kQuayArea.top + 20},
         true,
         false,
         "The quay",
         kCaptionColor},
        // Without a display name, the script's name, in dark blue.
        {"straight onto the pier", In(kPierArea), false, true, "Pier", kScriptNameColor},
        {"off the map's places", {500, 400}, false, false, "", 0},
        {"nowhere again", {520, 410}, false, false, "", 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.where);
        const QText* before = map().ShownText();
        MoveTo(step.at);
        EXPECT_EQ(Obj(kQuay).visible, step.quay);
        EXPECT_EQ(Obj(kPier).visible, step.pier);
        EXPECT_EQ(Caption(), step.caption);
        EXPECT_EQ(map().hoveredPlace, step.quay ? &Obj(kQuay) : step.pier ? &Obj(kPier) : nullptr);
        EXPECT_EQ(w().cursor->animate, step.quay || step.pier);
        if (step.color != 0) {
            EXPECT_TRUE(CaptionInk(step.color));
        }
        // Moves within a place or between no places leave the caption (or none) as it is.
        if (std::string(step.where) == "still on the quay" ||
            std::string(step.where) == "nowhere again") {
            EXPECT_EQ(map().ShownText(), before);
        }
    }
    MoveTo(In(kQuayArea));
    // Closing takes the caption away and hides the place for the next time.
    map().Cancel();
    EXPECT_EQ(map().ShownText(), nullptr);
    EXPECT_EQ(w().currentInterface, &ui());
}

TEST_F(Map, AClickGoesToThePlacesScriptInLookMode) {
    w().cursor->SelectMode(kCursorUse);
    Open();
    w().queue.clear();
    ClickAt({500, 400}); // no place: nothing
    EXPECT_TRUE(w().queue.empty());
    EXPECT_EQ(w().currentInterface, &map());
    ClickAt(In(kPierArea));
    ASSERT_EQ(w().queue.size(), 1u);
    EXPECT_EQ(w().queue.front().type, LOOK);
    EXPECT_EQ(w().queue.front().target, kPier);
    w().DispatchQueue();
    EXPECT_EQ(w().currentInterface, &map()); // the pier's script does nothing: the map stays

    // The quay's script goes to the yard: the map closes on the way, and the room's cursor is
    // back.
    ClickAt(In(kQuayArea));
    w().DispatchQueue();
    EXPECT_EQ(w().currentRoom, &Obj(kYard));
    EXPECT_EQ(w().currentInterface, &ui());
    EXPECT_EQ(w().cursor->mode, kCursorUse);
    EXPECT_EQ(w().roomWidth, 1280);
}
