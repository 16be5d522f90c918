#pragma once
// A small game on disk for the options panel and the map, loaded the way the game loads
// itself (so that a new game can load it again): a hall and a yard, the panel's picture with
// its 24 role objects, the map with two places, and a profile of the test's own.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/BgFormat.h"
#include "graphics/QFlic.h"
#include "interfaces/QInterfaceMain.h"
#include "platform/Cp1251.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "resources/FileAccess.h"
#include "screens/QInterfaceMap.h"
#include "screens/QInterfacePanel.h"
#include "support/Assets.h"
#include "support/World.h"

namespace screens_test {

using namespace testing_support;

constexpr uint16_t kHall = 100, kYard = 101;
constexpr uint16_t kPanelObject = 30, kMapObject = 31, kFirstRole = 40, kSpareRole = 64;
constexpr uint16_t kQuay = 70, kPier = 71, kLamp = 80;
constexpr int32_t kFirstRolePicture = 1000;
constexpr int kButtonW = 40, kButtonH = 30, kSliderW = 30, kSliderH = 20, kArrowSize = 20;
constexpr int kSliderFrames = 40;

// Where the arrows of setting s are drawn in their full-screen frames.
inline platform::Rect ArrowRect(int setting, bool plus) {
    const int left = plus ? 600 : 560, top = 250 + 50 * setting;
    return {left, top, left + kArrowSize, top + kArrowSize};
}
// The places' areas on the map.
inline constexpr platform::Rect kQuayArea{100, 100, 200, 200};
inline constexpr platform::Rect kPierArea{300, 100, 400, 200};

// The size of the object of role k (buttons and labels, sliders, arrows, the rest).
inline platform::Point RoleSize(int k) {
    switch (kPanelPlaces[static_cast<size_t>(k)].role) {
    case PanelRole::Button:
    case PanelRole::Label:
        return {kButtonW, kButtonH};
    case PanelRole::Slider:
        return {kSliderW, kSliderH};
    case PanelRole::Minus:
    case PanelRole::Plus:
        return {640, 480};
    default:
        return {10, 10};
    }
}

// A point on role k's object, in screen coordinates.
inline platform::Point OnRole(int k) {
    const PanelPlace& place = kPanelPlaces[static_cast<size_t>(k)];
    if (place.role == PanelRole::Minus || place.role == PanelRole::Plus) {
        const platform::Rect r = ArrowRect(place.setting, place.role == PanelRole::Plus);
        return {r.left + 5, r.top + 5};
    }
    return {place.at.x + 5, place.at.y + 5};
}

inline std::string Cp(const char* utf8) {
    return platform::Utf8ToCp1251(utf8);
}

inline ScriptBuilder Script() {
    ScriptBuilder s;
    const auto show = [&s](uint16_t id, uint16_t picture, bool low) {
        ScriptReaction& r = s.On(id, TOTALINIT);
        ScriptBuilder::Send(r, id, SET, picture);
        // The screens' pictures lie under what they show.
        if (low) ScriptBuilder::Send(r, id, ZBUFFER, 0, 0);
    };
    s.Object(kPanelObject, Cp("ПАНЕЛЬ УПРАВЛЕНИЯ"));
    show(kPanelObject, 900, true);
    s.Object(kMapObject, Cp("КАРТА"));
    show(kMapObject, 901, true);
    for (int k = 0; k <= kPanelObjects; ++k) {
        const auto id = static_cast<uint16_t>(kFirstRole + k);
        s.Object(id, "Role" + std::to_string(k));
        show(id, static_cast<uint16_t>(kFirstRolePicture + k), false);
    }
    s.Object(kQuay, "Quay");
    show(kQuay, 910, false);
    ScriptBuilder::Send(s.On(kQuay, TOTALINIT), kQuay, HIDE);
    ScriptBuilder::Send(s.On(kQuay, LOOK), kYard, GOTO);
    s.Object(kPier, "Pier");
    show(kPier, 911, false);
    ScriptBuilder::Send(s.On(kPier, TOTALINIT), kPier, HIDE);
    s.Object(kLamp, "Lamp");
    s.Room(kHall, "Hall");
    show(kHall, 1, false);
    s.Room(kYard, "Yard");
    show(kYard, 2, false);
    ScriptBuilder::Send(s.On(kYard, TOTALINIT), kYard, NOMAP);
    return s;
}

inline void WriteBg(const TempDir& dir) {
    BgData bg;
    bg.rooms.push_back(BgRoom{static_cast<int16_t>(kHall), 1, {{kLamp, 10, 20, 30, 0, 0}}});
    BgRoom panel{static_cast<int16_t>(kPanelObject), kPanelObjects, {}};
    for (int k = 0; k < kPanelObjects; ++k)
        panel.placements.push_back({static_cast<uint16_t>(kFirstRole + k), 0, 0, 0, 0, 0});
    bg.rooms.push_back(panel);
    bg.rooms.push_back(BgRoom{
        static_cast<int16_t>(kMapObject), 2, {{kQuay, 0, 0, 0, 0, 0}, {kPier, 0, 0, 0, 0, 0}}});
    const auto bytes = WriteBackgrounds(bg);
    dir.Write("backgrnd.bg", std::string(bytes.begin(), bytes.end()));
}

// Role k's animation: buttons and labels have a normal and a lit frame (indices 3 and 4),
// sliders one frame per value (frame v filled with index 10 + v), arrows full-screen frames
// with only the arrow drawn.
inline void WriteRole(const TempDir& dir, int k) {
    const platform::Point size = RoleSize(k);
    const PanelPlace& place = kPanelPlaces[static_cast<size_t>(k)];
    std::vector<std::vector<uint8_t>> frames;
    const auto whole = [&](uint8_t index) {
        frames.push_back(Frame(size.x, size.y, index, 0, 0, size.x, size.y, index));
    };
    switch (place.role) {
    case PanelRole::Button:
    case PanelRole::Label:
        whole(3);
        whole(4);
        break;
    case PanelRole::Slider:
        for (int v = 1; v <= kSliderFrames; ++v)
            whole(static_cast<uint8_t>(10 + v));
        break;
    case PanelRole::Minus:
    case PanelRole::Plus: {
        const platform::Rect r = ArrowRect(place.setting, place.role == PanelRole::Plus);
        frames.push_back(Frame(640, 480, 0, r.left, r.top, r.right, r.bottom, 5));
        break;
    }
    default:
        whole(6);
        break;
    }
    ASSERT_TRUE(WriteAnimation(dir, "ROLE" + std::to_string(k), size.x, size.y, frames));
}

inline void WriteGame(const TempDir& dir) {
    const std::vector<uint8_t> script = WriteScript(Script().Data());
    dir.Write("script.dat", std::string(script.begin(), script.end()));
    WriteBg(dir);
    dir.Write("BGs.ini", "[Settings]\nStartRoom=Hall\n");
    dir.Write("names.ini", "[all]\nQuay=The quay\n");
    WritePicture(dir, "hall.bmp", 640, 480, 50, 60, 70);
    WritePicture(dir, "yard.bmp", 1280, 480, 90, 80, 70);
    const auto full = [&](const std::string& name, uint8_t index) {
        return WriteAnimation(dir, name, 640, 480, {Frame(640, 480, index, 0, 0, 0, 0, index)});
    };
    ASSERT_TRUE(full("PANEL", 1));
    ASSERT_TRUE(full("MAP", 2));
    const auto place = [&](const std::string& name, platform::Rect r) {
        return WriteAnimation(dir, name, 640, 480,
                              {Frame(640, 480, 0, r.left, r.top, r.right, r.bottom, 7),
                               Frame(640, 480, 0, r.left, r.top, r.right, r.bottom, 8)});
    };
    ASSERT_TRUE(place("QUAY", kQuayArea));
    ASSERT_TRUE(place("PIER", kPierArea));
    ASSERT_TRUE(WriteAnimation(dir, "POINTER", 8, 8, {Frame(8, 8, 9, 0, 0, 8, 8, 9)}));
    std::string qrc = "1 = hall.bmp\n2 = yard.bmp\n900 = PANEL.FLC\n901 = MAP.FLC\n"
                      "910 = QUAY.FLC\n911 = PIER.FLC\n4901 == POINTER.FLC\n";
    for (int mode = 0; mode < 6; ++mode)
        qrc += std::to_string(5002 + mode) + " == POINTER.FLC\n";
    for (int k = 0; k <= kPanelObjects; ++k) {
        WriteRole(dir, k < kPanelObjects ? k : 5); // the spare one looks like one without a role
        qrc += std::to_string(kFirstRolePicture + k) + " = ROLE" +
               std::to_string(k < kPanelObjects ? k : 5) + ".FLC\n";
    }
    dir.Write("resource.qrc", qrc);
}

// Enters the folder for the lifetime of the object, before the world is made there.
class InFolder {
public:
    explicit InFolder(const std::string& path) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
        ResetFileTable();
    }
    ~InFolder() { std::filesystem::current_path(previous_); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    std::filesystem::path previous_;
};

// The game loaded, in the hall, with the profile and the saves in a folder of the test's own.
class ScreenGame : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        game_ = new TempDir;
        WriteGame(*game_);
    }
    static void TearDownTestSuite() {
        delete game_;
        game_ = nullptr;
    }

    ScreenGame() : folder(game_->Path()), profile(own / "tarvo.ini") {
        platform::SetMessageBoxMode(platform::MessageBoxMode::Headless);
        platform::SetMessageBoxCapture(
            [this](const std::string& text, const std::string&) { boxes.push_back(text); });
        g_profile = &profile;
    }
    ~ScreenGame() override {
        g_profile = nullptr;
        platform::SetMessageBoxCapture(nullptr);
        ClearQuitRequest();
    }
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(g_system->Load(error)) << error;
        g_system->saveFolder = own.Path();
        g_system->DispatchQueue(); // the rooms' own TOTALINIT reactions, such as NOMAP
    }

    QSystem& w() { return *g_system; }
    QInterfaceMain& ui() { return *g_system->mainInterface; }
    QInterfacePanel& panel() { return *g_system->panelInterface; }
    QInterfaceMap& map() { return *g_system->mapInterface; }
    QMessageObject& Obj(uint16_t id) { return *g_system->FindById(id); }
    QMessageObject& Role(int k) { return Obj(static_cast<uint16_t>(kFirstRole + k)); }
    // The frame the object shows now.
    static int FrameOf(const QMessageObject& o) {
        const QFlic* flic = g_manager->GetFlic(o.resourceId);
        return flic != nullptr ? flic->CurrentFrame() : -1;
    }
    void MoveTo(platform::Point p) { g_system->currentInterface->OnMouseMove(p.x, p.y); }
    void ClickAt(platform::Point p) { g_system->currentInterface->OnLeftClick(p.x, p.y); }
    bool Traced(const std::string& part) const {
        for (const std::string& line : world.trace)
            if (line.find(part) != std::string::npos) return true;
        return false;
    }

    static inline TempDir* game_ = nullptr;
    TempDir own;     // the profile and the saves
    InFolder folder; // the game's folder is the working directory
    TestWorld world; // made there
    platform::Profile profile;
    std::vector<std::string> boxes;
};

} // namespace screens_test
