#include "platform/Ini.h"
#include "platform/Profile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/TempDir.h"

using namespace platform;
using testing_support::TempDir;

TEST(Ini, SectionsAndKeysIgnoreCaseAndValuesAreTrimmed) {
    const IniFile ini =
        IniFile::Parse("; a comment\r\n[Settings]\r\n  StartRoom =  Kitchen  \r\n"
                       "Quoted = \" padded \"\r\n[settings]\r\nStartRoom=Second\r\nnovalue\r\n");
    ASSERT_NE(ini.Find("SETTINGS", "startroom"), nullptr);
    EXPECT_EQ(*ini.Find("SETTINGS", "startroom"), "Kitchen"); // first of duplicates
    EXPECT_EQ(*ini.Find("settings", "quoted"), " padded ");
    EXPECT_EQ(ini.Find("Settings", "missing"), nullptr);
    EXPECT_EQ(ini.Find("Other", "StartRoom"), nullptr);
    EXPECT_EQ(ini.Sections().size(), 1u); // a repeated section header continues the first
}

TEST(Ini, CyrillicSectionNamesMatchInEitherCase) {
    // "КУХНЯ" and "кухня" in Windows-1251.
    const IniFile ini = IniFile::Parse("[\xCA\xD3\xD5\xCD\xDF]\nx=1\n");
    ASSERT_NE(ini.Find("\xEA\xF3\xF5\xED\xFF", "X"), nullptr);
}

TEST(Ini, GetPrivateProfileStringTruncatesAndDefaults) {
    TempDir dir(true);
    dir.Write("names.ini", "[Names]\nDoor=Front door\n");
    char buffer[6];
    EXPECT_EQ(GetPrivateProfileString("names", "door", "", buffer, sizeof buffer, ".\\NAMES.INI"),
              5u);
    EXPECT_STREQ(buffer, "Front");
    char big[64];
    EXPECT_EQ(GetPrivateProfileString("Names", "Window", "none  ", big, sizeof big, ".\\names.ini"),
              4u);
    EXPECT_STREQ(big, "none");
    EXPECT_EQ(GetPrivateProfileString("Names", "Door", "x", big, sizeof big, "missing.ini"), 1u);
    EXPECT_STREQ(big, "x");
    EXPECT_EQ(GetPrivateProfileString("Names", "Door", "x", big, 0, "names.ini"), 0u);
}

TEST(Ini, IntegersReadLeadingDigits) {
    TempDir dir(true);
    dir.Write("BGs.ini", "[Settings]\nA=42\nB=-7px\nC=abc\nD= +12 \n");
    EXPECT_EQ(GetPrivateProfileInt("Settings", "A", 5, ".\\bgs.ini"), 42);
    EXPECT_EQ(GetPrivateProfileInt("Settings", "B", 5, ".\\bgs.ini"), -7);
    EXPECT_EQ(GetPrivateProfileInt("Settings", "C", 5, ".\\bgs.ini"), 0);
    EXPECT_EQ(GetPrivateProfileInt("Settings", "D", 5, ".\\bgs.ini"), 12);
    EXPECT_EQ(GetPrivateProfileInt("Settings", "E", 5, ".\\bgs.ini"), 5);
}

TEST(Ini, ChangedFileIsReadAgain) {
    TempDir dir(true);
    dir.Write("a.ini", "[S]\nk=1\n");
    EXPECT_EQ(GetPrivateProfileInt("S", "k", 0, "a.ini"), 1);
    dir.Write("a.ini", "[S]\nk=22\n");
    EXPECT_EQ(GetPrivateProfileInt("S", "k", 0, "a.ini"), 22);
}

// A file replaced by another of the same size within one step of the file system's clock
// looks unchanged by its size and time; it is another file, and is read again. (The profile
// is written that way: a setting written just after another must not bring back the old one.)
TEST(Ini, FileReplacedWithinOneClockStepIsReadAgain) {
    TempDir dir(true);
    dir.Write("a.ini", "[S]\nk=1\n");
    EXPECT_EQ(GetPrivateProfileInt("S", "k", 0, "a.ini"), 1);
    struct stat before;
    ASSERT_EQ(::stat("a.ini", &before), 0);
    dir.Write("b.ini", "[S]\nk=2\n");
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, "b.ini", times, 0), 0);
    std::filesystem::rename(dir / "b.ini", dir / "a.ini");
    EXPECT_EQ(GetPrivateProfileInt("S", "k", 0, "a.ini"), 2);

    Profile profile(dir / "p.ini");
    for (int value = 1; value <= 20; ++value) {
        ASSERT_TRUE(profile.WriteInt("Options", "First", value));
        ASSERT_TRUE(profile.WriteInt("Options", "Second", value));
        ASSERT_EQ(profile.GetInt("Options", "First", 0), value);
    }
}

TEST(Profile, WritesBackAndReadsIntegers) {
    TempDir dir;
    Profile profile(dir / "config/tarvo/tarvo.ini");
    EXPECT_EQ(profile.GetInt("Options", "Music volume", 80), 80);
    EXPECT_TRUE(profile.WriteInt("Options", "Music volume", 35));
    EXPECT_TRUE(profile.WriteInt("Options", "Speed", 2));
    EXPECT_TRUE(profile.WriteInt("options", "music VOLUME", 36));
    Profile again(profile.Path());
    EXPECT_EQ(again.GetInt("Options", "Music volume", 80), 36);
    EXPECT_EQ(again.GetInt("Options", "Speed", 0), 2);
}

TEST(Profile, DefaultPathFollowsXdgConfigHome) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old != nullptr ? old : "";
    ::setenv("XDG_CONFIG_HOME", "/tmp/xdg-test", 1);
    EXPECT_EQ(Profile::DefaultPath(), "/tmp/xdg-test/tarvo/tarvo.ini");
    ::setenv("XDG_CONFIG_HOME", "relative", 1); // not absolute: ignored
    EXPECT_NE(Profile::DefaultPath().find("/.config/tarvo/tarvo.ini"), std::string::npos);
    if (old != nullptr)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}
