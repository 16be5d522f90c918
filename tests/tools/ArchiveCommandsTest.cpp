#include "tools/Command.h"

#include "resources/ArchiveFormat.h"
#include "resources/FileAccess.h"
#include "support/Archives.h"
#include "support/TempDirTest.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Result {
    int code;
    std::string out;
    std::string err;
};

Result Tool(std::vector<std::string> args) {
    std::ostringstream out, err;
    int code = tools::RunTool(args, out, err);
    return {code, out.str(), err.str()};
}

// A failure is reported on exactly one line starting with "tarvo-tool: ".
void ExpectOneLineReason(const Result& r) {
    EXPECT_NE(r.code, 0);
    EXPECT_EQ(r.err.rfind("tarvo-tool: ", 0), 0u) << r.err;
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
}

class ArchiveToolTest : public testsupport::TempDirTest {
protected:
    void TearDown() override {
        CloseArchives();
        ResetFileTable();
        TempDirTest::TearDown();
    }
};

} // namespace

// --- The dispatcher ----------------------------------------------------------------------------

TEST(ToolDispatcher, HelpOnTheToolGroupsAndCommands) {
    Result r = Tool({"--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("archive list FILE"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("archive create FILE [--from DIR] NAME..."), std::string::npos);
    EXPECT_TRUE(r.err.empty());

    r = Tool({"archive", "--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("extract FILE DIR"), std::string::npos) << r.out;

    r = Tool({"archive", "create", "--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("--from DIR"), std::string::npos) << r.out;
    r = Tool({"archive", "list", "x", "-h"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("usage: tarvo-tool archive list FILE"), std::string::npos) << r.out;
}

TEST(ToolDispatcher, WrongUsageIsOneLineAndExitCode2) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"nosuch"},
             {"--verbose"},
             {"archive"},
             {"archive", "nosuch"},
             {"archive", "list"},
             {"archive", "list", "a", "b"},
             {"archive", "extract", "a"},
             {"archive", "create", "out.str"},
             {"archive", "list", "--bogus", "a"},
             {"archive", "create", "out.str", "--from"},
             {"archive", "create", "out.str", "--from", "a", "--from", "b", "x"},
         }) {
        Result r = Tool(args);
        EXPECT_EQ(r.code, 2) << ::testing::PrintToString(args);
        ExpectOneLineReason(r);
    }
}

TEST(ToolDispatcher, CommandFailuresNameTheCommand) {
    int ran = 0;
    static int* counter;
    counter = &ran;
    std::vector<tools::CommandGroup> groups{
        {"demo",
         "a demo group",
         {tools::Command{"go",
                         "[X]",
                         "go somewhere",
                         "",
                         {{"--fast", "", "hurry"}},
                         0,
                         1,
                         [](const tools::Invocation& in) {
                             ++*counter;
                             if (!in.args.empty() && in.args[0] == "fail")
                                 throw tools::Failure("it failed\non two lines");
                             in.out << (in.Has("--fast") ? "fast" : "slow") << "\n";
                         }}}}};
    std::ostringstream out, err;
    std::vector<std::string> args{"demo", "go", "--fast"};
    EXPECT_EQ(tools::RunTool(args, groups, out, err), 0);
    EXPECT_EQ(out.str(), "fast\n");
    args = {"demo", "go", "--", "--fast"}; // "--" ends the options
    EXPECT_EQ(tools::RunTool(args, groups, out, err), 0);
    args = {"demo", "go", "--fast=1"};
    EXPECT_EQ(tools::RunTool(args, groups, out, err), 2);
    args = {"demo", "go", "fail"};
    std::ostringstream err2;
    EXPECT_EQ(tools::RunTool(args, groups, out, err2), 1);
    EXPECT_EQ(err2.str(), "tarvo-tool: demo go: it failed on two lines\n");
    EXPECT_EQ(ran, 3);
}

// --- archive create / list / extract ----------------------------------------------------------

TEST_F(ArchiveToolTest, CreateThenOpenArchiveReadsTheFiles) {
    WriteText("resource.qrc", "qrc text");
    WriteText("speech/a01.wav", "RIFF....");
    WriteText("empty", "");
    Result r = Tool({"archive", "create", "main.str", "resource.qrc", "speech/a01.wav", "empty"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.err.empty());

    ResetFileTable();
    ASSERT_EQ(OpenArchive("main.str"), 0);
    fs::remove_all("speech"); // so that only the archive can answer
    fs::remove("resource.qrc");
    std::vector<uint8_t> data;
    ASSERT_TRUE(FileReadAll("Resource.QRC", data));
    EXPECT_EQ(std::string(data.begin(), data.end()), "qrc text");
    ASSERT_TRUE(FileReadAll("SPEECH\\A01.WAV", data));
    EXPECT_EQ(std::string(data.begin(), data.end()), "RIFF....");
    ASSERT_TRUE(FileReadAll("empty", data));
    EXPECT_TRUE(data.empty());
}

TEST_F(ArchiveToolTest, CreateStoresNamesAsGivenWithBackslashes) {
    WriteText("src/Speech/A.WAV", "aa");
    WriteText("src/x", "xyz");
    Result r = Tool({"archive", "create", "out.str", "--from", "src", "Speech/A.WAV", "x"});
    ASSERT_EQ(r.code, 0) << r.err;
    std::vector<resources::ArchiveEntry> entries;
    auto image = ReadBytes("out.str");
    ASSERT_TRUE(resources::ParseArchive(image, entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "Speech\\A.WAV");
    EXPECT_EQ(entries[1].name, "x");
    // Exactly what the writer makes.
    EXPECT_EQ(image, testsupport::ArchiveImage({{"Speech\\A.WAV", "aa"}, {"x", "xyz"}}));

    r = Tool({"archive", "list", "out.str"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Speech\\A.WAV\t8\t2\nx\t10\t3\n");
}

TEST_F(ArchiveToolTest, CreateFailures) {
    WriteText("a", "a");
    Result r = Tool({"archive", "create", "out.str", "missing"});
    EXPECT_EQ(r.code, 1);
    ExpectOneLineReason(r);
    EXPECT_NE(r.err.find("missing"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists("out.str"));

    for (const char* name : {"../a", "/etc/hostname", "sub/", "x/../../a"}) {
        r = Tool({"archive", "create", "out.str", name});
        EXPECT_EQ(r.code, 1) << name;
        ExpectOneLineReason(r);
    }
    r = Tool({"archive", "create", "out.str", "a", "A"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("twice"), std::string::npos) << r.err;
    r = Tool({"archive", "create", "no/such/folder/out.str", "a"});
    EXPECT_EQ(r.code, 1);
    ExpectOneLineReason(r);
    EXPECT_FALSE(fs::exists("out.str"));
}

TEST_F(ArchiveToolTest, ExtractWritesEveryEntryUnderTheFolder) {
    WriteBytes("main.str", testsupport::ArchiveImage({{"RESOURCE.QRC", "qrc"},
                                                      {"SPEECH\\A01.WAV", "wave"},
                                                      {"SPEECH\\SUB\\B.WAV", ""},
                                                      {"resource.qrc", "second"}}));
    Result r = Tool({"archive", "extract", "main.str", "out"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadText("out/RESOURCE.QRC"), "qrc");
    EXPECT_EQ(ReadText("out/SPEECH/A01.WAV"), "wave");
    EXPECT_TRUE(fs::is_regular_file("out/SPEECH/SUB/B.WAV"));
    EXPECT_EQ(fs::file_size("out/SPEECH/SUB/B.WAV"), 0u);
    EXPECT_EQ(ReadText("out/resource.qrc"), "second");
}

TEST_F(ArchiveToolTest, ExtractKeepsTheFirstOfEqualNames) {
    WriteBytes("main.str", testsupport::ArchiveImage({{"a\\b", "first"}, {"a/b", "second"}}));
    Result r = Tool({"archive", "extract", "main.str", "out"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadText("out/a/b"), "first");
    EXPECT_NE(r.out.find("skipped"), std::string::npos) << r.out;
}

TEST_F(ArchiveToolTest, RoundTripThroughCreateListAndExtract) {
    std::string big(100000, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 31);
    WriteText("in/MUSIC/theme.wav", big);
    WriteText("in/script.scr", "script");
    ASSERT_EQ(
        Tool({"archive", "create", "game.str", "--from=in", "MUSIC/theme.wav", "script.scr"}).code,
        0);
    Result list = Tool({"archive", "list", "game.str"});
    ASSERT_EQ(list.code, 0);
    EXPECT_EQ(list.out, "MUSIC\\theme.wav\t8\t100000\nscript.scr\t100008\t6\n");
    ASSERT_EQ(Tool({"archive", "extract", "game.str", "out"}).code, 0);
    EXPECT_EQ(ReadBytes("out/MUSIC/theme.wav"), ReadBytes("in/MUSIC/theme.wav"));
    EXPECT_EQ(ReadText("out/script.scr"), "script");
}

TEST_F(ArchiveToolTest, ExtractRefusesNamesLeavingTheFolderBeforeWritingAnything) {
    for (const char* evil :
         {"..\\evil", "/tmp/evil", "\\evil", "a\\..\\..\\evil", "..", "", "dir\\"}) {
        WriteBytes("bad.str", testsupport::ArchiveImage({{"good", "g"}, {evil, "bad"}}));
        Result r = Tool({"archive", "extract", "bad.str", "out"});
        EXPECT_EQ(r.code, 1) << evil;
        ExpectOneLineReason(r);
        EXPECT_FALSE(fs::exists("out")) << evil;
        EXPECT_FALSE(fs::exists("evil"));
    }
}

TEST_F(ArchiveToolTest, ExtractDoesNotFollowLinksOutOfTheFolder) {
    fs::create_directories("out");
    fs::create_directories("elsewhere");
    fs::create_directory_symlink(fs::absolute("elsewhere"), "out/link");
    WriteBytes("bad.str", testsupport::ArchiveImage({{"link\\x", "bad"}}));
    Result r = Tool({"archive", "extract", "bad.str", "out"});
    EXPECT_EQ(r.code, 1);
    ExpectOneLineReason(r);
    EXPECT_FALSE(fs::exists("elsewhere/x"));
}

TEST_F(ArchiveToolTest, MalformedArchivesAreReportedWithAReason) {
    auto image = testsupport::ArchiveImage({{"a", "abc"}});
    image.pop_back(); // the last name loses its NUL
    WriteBytes("cut.str", image);
    for (const char* command : {"list", "extract"}) {
        std::vector<std::string> args{"archive", command, "cut.str"};
        if (std::string(command) == "extract") args.push_back("out");
        Result r = Tool(args);
        EXPECT_EQ(r.code, 1);
        ExpectOneLineReason(r);
        EXPECT_NE(r.err.find("not a valid StOR archive"), std::string::npos) << r.err;
    }
    Result r = Tool({"archive", "list", "missing.str"});
    EXPECT_EQ(r.code, 1);
    ExpectOneLineReason(r);
}

// --- The program itself ------------------------------------------------------------------------

TEST_F(ArchiveToolTest, TheProgramExitsWithTheCodeAndOneLineReason) {
    const std::string tool = TARVO_BINARY_DIR "/tools/tarvo-tool";
    if (!fs::exists(tool)) GTEST_SKIP() << "tarvo-tool not built at " << tool;
    auto run = [&](const std::string& args) {
        int status = std::system((tool + " " + args + " >out.txt 2>err.txt").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    WriteText("a.txt", "A");
    EXPECT_EQ(run("archive create x.str a.txt"), 0);
    EXPECT_EQ(run("archive list x.str"), 0);
    EXPECT_EQ(ReadText("out.txt"), "a.txt\t8\t1\n");
    EXPECT_EQ(run("archive list nothing.str"), 1);
    EXPECT_EQ(ReadText("err.txt").rfind("tarvo-tool: archive list: ", 0), 0u);
    EXPECT_EQ(run("archive"), 2);
    EXPECT_EQ(run("--help"), 0);
    EXPECT_NE(ReadText("out.txt").find("archive extract FILE DIR"), std::string::npos);
}
