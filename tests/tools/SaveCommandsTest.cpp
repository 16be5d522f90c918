#include "tools/Command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/SaveFormat.h"
#include "support/TempDir.h"

TEST(SaveTool, DumpsASaveAndRefusesADamagedOne) {
    testing_support::TempDir dir;
    SavedGame g;
    g.objects.push_back(SavedObject{"Lamp", "Old lamp", 0, 7, 4001, 300, -5, 60, 0, 1, 1});
    // A name in the game's Windows-1251 ("Карта") is listed in UTF-8.
    g.objects.push_back(SavedObject{"\xCA\xE0\xF0\xF2\xE0", "Map", 0, 0, 90, 1, 0, 0, 1, 1, 1});
    g.inventory = {12, 12};
    g.roomName = "Hall";
    g.tarvoFoot = {321, 444};
    g.varnagelFoot = {321, 442};
    g.dialogueState = {1, 0, 0, 0, 9, 9, 9, 9};
    g.cursorMode = 6;
    g.heldId = 10;
    const std::vector<uint8_t> bytes = WriteSavedGame(g);
    dir.Write("save.dat", std::string(bytes.begin(), bytes.end()));
    std::ostringstream out, err;
    EXPECT_EQ(tools::RunTool(std::vector<std::string>{"save", "dump", dir / "save.dat"}, out, err),
              0)
        << err.str();
    EXPECT_EQ(out.str(), "objects 5 (2 records)\n"
                         "  \"Lamp\" \"Old lamp\" busy 0 status 7 resource 4001 z 300 at -5,60 "
                         "visible 0 active 1 animate 1\n"
                         "  \"Карта\" \"Map\" busy 0 status 0 resource 90 z 1 at 0,0 "
                         "visible 1 active 1 animate 1\n"
                         "inventory 12 12\n"
                         "room \"Hall\"\n"
                         "feet 321,444 and 321,442\n"
                         "dialogue code 1 words\n"
                         "cursor resource 5002 mode 6 held 10\n");

    dir.Write("cut.dat", std::string(bytes.begin(), bytes.begin() + 30));
    std::ostringstream out2, err2;
    EXPECT_EQ(tools::RunTool(std::vector<std::string>{"save", "dump", dir / "cut.dat"}, out2, err2),
              1);
    EXPECT_NE(err2.str().find("cut.dat: the object count is 5, more records than"),
              std::string::npos)
        << err2.str();
}
