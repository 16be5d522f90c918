// Player files: replacing a file never leaves it half written, reading tells a missing file
// from an unreadable one, and saves go beside the game or into the player's data folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/PlayerFiles.h"
#include "support/TempDirTest.h"

using namespace platform;

namespace {

class PlayerFiles : public testsupport::TempDirTest {
protected:
    static std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }
    // Every entry of the folder, so that stray temporary files are seen.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(Dir()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

} // namespace

TEST_F(PlayerFiles, TheOldFileStaysUntilTheNewOneIsCommitted) {
    WriteText("save.dat", "old");
    {
        FileReplacement file("save.dat");
        ASSERT_TRUE(file.Write(Bytes("new contents"))) << file.Error();
        EXPECT_EQ(ReadText("save.dat"), "old");
        EXPECT_EQ(Entries().size(), 2u); // the temporary file beside it
        // Dropped without Commit: the temporary file goes, the old file stays.
    }
    EXPECT_EQ(ReadText("save.dat"), "old");
    EXPECT_EQ(Entries(), std::vector<std::string>{"save.dat"});

    std::string error;
    ASSERT_TRUE(ReplaceFile("save.dat", Bytes("new contents"), error)) << error;
    EXPECT_EQ(ReadText("save.dat"), "new contents");
    EXPECT_EQ(Entries(), std::vector<std::string>{"save.dat"});
    ASSERT_TRUE(ReplaceFile("fresh.dat", Bytes("first"), error)) << error;
    EXPECT_EQ(ReadText("fresh.dat"), "first");
}

TEST_F(PlayerFiles, AFolderThatIsNotThereFailsWithTheReason) {
    std::string error;
    EXPECT_FALSE(ReplaceFile("missing/save.dat", Bytes("x"), error));
    EXPECT_NE(error.find("cannot create a file in missing"), std::string::npos) << error;
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
}

TEST_F(PlayerFiles, ReadingTellsMissingFromUnreadable) {
    std::vector<uint8_t> bytes{1, 2, 3};
    std::string error;
    EXPECT_EQ(ReadPlayerFile("none.dat", bytes, error), FileRead::Missing);
    std::filesystem::create_directory("folder.dat");
    EXPECT_EQ(ReadPlayerFile("folder.dat", bytes, error), FileRead::Failed);
    EXPECT_EQ(error, "not a regular file");
    EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3}));
    WriteText("save.dat", "abc");
    EXPECT_EQ(ReadPlayerFile("save.dat", bytes, error), FileRead::Read);
    EXPECT_EQ(bytes, Bytes("abc"));
}

TEST(SaveFolder, BesideTheGameWhenWritableElseInTheDataHome) {
    struct Case {
        const char* game;
        bool writable;
        const char* xdg;
        const char* home;
        const char* folder;
    } cases[] = {
        {"/opt/games/harbour", true, "/data", "/home/p", ""},
        {"/opt/games/harbour", false, "/data", "/home/p", "/data/tarvo/harbour"},
        {"/opt/games/harbour/", false, nullptr, "/home/p", "/home/p/.local/share/tarvo/harbour"},
        // A relative XDG_DATA_HOME is to be ignored, like an unset one.
        {"/opt/games/harbour", false, "data", "/home/p", "/home/p/.local/share/tarvo/harbour"},
        {"/", false, "/data", nullptr, "/data/tarvo/game"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SaveFolderFor(c.game, c.writable, c.xdg, c.home), c.folder) << c.game;
}
