#pragma once
// The demo game directory that the build makes (build/demo), opened as the game opens it: the
// fixture that the demo's data tests share.
#include "core/BgFormat.h"
#include "core/MessageTypes.h"
#include "core/ScriptFormat.h"
#include "graphics/FlicDecoder.h"
#include "platform/Cp1251.h"
#include "platform/Ini.h"
#include "resources/FileAccess.h"
#include "resources/ResourceTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace demo_test {

inline const std::filesystem::path kGameDir = std::filesystem::path(TARVO_BINARY_DIR) / "demo";

// The engine's own pictures, which the game shows by these numbers without the script naming
// them: the action menu, the inventory case with the highlights of its buttons 0..5, the
// description card, the case's close area and the pointer of the panel and the map.
inline constexpr int32_t kActionMenu = 5000;
inline constexpr int32_t kCase = 6000;
inline constexpr int32_t kFirstButtonHighlight = 6001;
inline constexpr int kCaseButtons = 6;
inline constexpr int32_t kDescriptionCard = 6008;
inline constexpr int32_t kCloseArea = 6009;
// The pointer of the options panel and the map.
inline constexpr int32_t kScreenPointer = 4901;

inline std::set<int32_t> EngineResources() {
    std::set<int32_t> numbers{kActionMenu, kCase, kDescriptionCard, kCloseArea, kScreenPointer};
    for (int button = 0; button < kCaseButtons; ++button)
        numbers.insert(kFirstButtonHighlight + button);
    return numbers;
}

inline std::vector<uint8_t> ReadThroughFileLayer(const std::string& name) {
    std::vector<uint8_t> data;
    EXPECT_TRUE(FileReadAll(name.c_str(), data)) << name;
    return data;
}

// The game as it starts: working directory = the game directory, patch.str then main.str.
class DemoData : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(kGameDir);
        ResetFileTable();
        patchIndex_ = OpenArchive("patch.str");
        mainIndex_ = OpenArchive("main.str");
    }
    static void TearDownTestSuite() {
        CloseArchives();
        std::filesystem::current_path(previous_);
    }

    void SetUp() override {
        ASSERT_GE(patchIndex_, 0) << "patch.str does not open";
        ASSERT_GE(mainIndex_, 0) << "main.str does not open";
        std::string error;
        ASSERT_TRUE(ParseScript(ReadThroughFileLayer("script.dat"), script_, error)) << error;
        ASSERT_TRUE(ParseBackgrounds(ReadThroughFileLayer("backgrnd.bg"), rooms_, error)) << error;
        const std::vector<uint8_t> qrc = ReadThroughFileLayer("resource.qrc");
        table_ = ParseResourceTable(
            std::string_view(reinterpret_cast<const char*>(qrc.data()), qrc.size()));
        bgs_ = platform::IniFile::Load(".\\BGs.ini");
    }

    const ScriptObject* ById(uint16_t id) const {
        for (const ScriptObject& o : script_.objects)
            if (o.id == id) return &o;
        return nullptr;
    }
    bool IsRoom(uint16_t id) const {
        for (size_t i = static_cast<size_t>(script_.objectCount); i < script_.objects.size(); ++i)
            if (script_.objects[i].id == id) return true;
        return false;
    }
    // The options panel's and the map's pictures, whose records hold their objects.
    bool IsScreen(uint16_t id) const {
        const ScriptObject* o = ById(id);
        return o != nullptr && (o->Name() == platform::Utf8ToCp1251("ПАНЕЛЬ УПРАВЛЕНИЯ") ||
                                o->Name() == platform::Utf8ToCp1251("КАРТА"));
    }
    // The room record that places `objectId`, or null.
    const BgRoom* RoomOf(uint16_t objectId) const {
        for (const BgRoom& room : rooms_.rooms)
            for (const BgPlacement& p : room.placements)
                if (p.objectId == objectId) return &room;
        return nullptr;
    }
    // The pictures and animations the script shows: what SET, type 53 and QM_BASEANIM name,
    // and the cursor pictures of things held (CURSOR).
    std::set<int32_t> ResourcesOfScript() const {
        std::set<int32_t> used;
        for (const ScriptObject& o : script_.objects)
            for (const ScriptReaction& r : o.reactions)
                for (const ScriptMessage& m : r.messages)
                    if (m.type == SET || m.type == QM_SETWAIT || m.type == QM_BASEANIM ||
                        (m.type == CURSOR && m.param1 != 0xFFFF) || m.type == QM_AMBIENCE ||
                        m.type == QM_MUSIC)
                        used.insert(m.param1);
        // A character talks with its base animation + 1 and walks with base + 10 + the
        // direction (0..7).
        for (int32_t base : BaseAnimations()) {
            used.insert(base + 1);
            for (int32_t d = 0; d < 8; ++d)
                used.insert(base + 10 + d);
        }
        return used;
    }
    // The characters' base animations, as the script sets them.
    std::set<int32_t> BaseAnimations() const {
        std::set<int32_t> bases;
        for (const ScriptObject& o : script_.objects)
            for (const ScriptReaction& r : o.reactions)
                for (const ScriptMessage& m : r.messages)
                    if (m.type == QM_BASEANIM) bases.insert(m.param1);
        return bases;
    }
    codecs::FlicHeader FlicHeaderOf(const std::string& name) const {
        codecs::FlicHeader header;
        std::string error;
        EXPECT_TRUE(codecs::ParseFlicHeader(ReadThroughFileLayer(name), header, error))
            << name << ": " << error;
        return header;
    }

    static inline std::filesystem::path previous_;
    static inline int patchIndex_ = -1;
    static inline int mainIndex_ = -1;
    ScriptData script_;
    BgData rooms_;
    ResourceTable table_;
    platform::IniFile bgs_;
};

} // namespace demo_test
