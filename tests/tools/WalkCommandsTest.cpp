// tarvo-tool walk dump/build/path/render and cycle dump/build/info.
#include "tools/Command.h"

#include "graphics/Dib.h"
#include "graphics/PictureConvert.h"
#include "platform/ByteWriter.h"
#include "platform/Png.h"
#include "support/TempDirTest.h"
#include "support/ToolRun.h"
#include "walk/WalkArea.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Result = testsupport::ToolResult;

Result Tool(const std::vector<std::string>& args) {
    return testsupport::RunToolCapturing(args);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The U of the walk tests: two arms joined by a band, the notch between them not walkable.
constexpr const char* kUText = "point 100 100\npoint 200 100\npoint 200 180\npoint 300 180\n"
                               "point 300 100\npoint 400 100\npoint 400 300\npoint 300 300\n"
                               "point 200 300\npoint 100 300\noutline\n"
                               "convex points 0 1 2 8 9\nconvex points 2 3 7 8\n"
                               "convex points 3 4 5 6 7\n";

class WalkToolTest : public testsupport::TempDirTest {
protected:
    void SetUp() override {
        testsupport::TempDirTest::SetUp();
        WriteText("u.txt", kUText);
        ASSERT_EQ(Tool({"walk", "build", "u.txt", "u.cvx", "--strict"}).code, 0);
    }
};

} // namespace

TEST_F(WalkToolTest, DumpThenBuildGivesTheSameFile) {
    std::vector<uint8_t> bytes = ReadBytes("u.cvx");
    bytes.insert(bytes.end(), {0x01, 0xFE, 0x33}); // bytes after the lists are carried over
    WriteBytes("odd.cvx", bytes);
    const Result dump = Tool({"walk", "dump", "odd.cvx"});
    ASSERT_EQ(dump.code, 0) << dump.err;
    EXPECT_TRUE(Contains(dump.out, "convex 2 11 7 10")) << dump.out;
    EXPECT_TRUE(Contains(dump.out, "trailing 01 FE 33")) << dump.out;
    WriteText("odd.txt", dump.out);
    ASSERT_EQ(Tool({"walk", "build", "odd.txt", "again.cvx"}).code, 0);
    EXPECT_EQ(ReadBytes("again.cvx"), bytes);
}

TEST_F(WalkToolTest, BuildWarnsAboutProblemsAndStrictRefusesThem) {
    // The middle convex forgets its bottom rib.
    WriteText("open.txt", std::string(kUText) + "convex 2 11 10\n");
    const Result warned = Tool({"walk", "build", "open.txt", "open.cvx"});
    EXPECT_EQ(warned.code, 0);
    EXPECT_TRUE(Contains(warned.out, "warning: convex 3: its ribs do not close")) << warned.out;
    const Result strict = Tool({"walk", "build", "open.txt", "strict.cvx", "--strict"});
    EXPECT_EQ(strict.code, 1);
    EXPECT_TRUE(Contains(strict.err, "open.txt: ")) << strict.err;
    EXPECT_FALSE(std::filesystem::exists("strict.cvx"));

    const Result dump = Tool({"walk", "dump", "open.cvx"});
    EXPECT_TRUE(Contains(dump.out, "# warning: convex 3")) << dump.out;

    WriteText("typo.txt", "point 1 2\npoint 1\n");
    const Result typo = Tool({"walk", "build", "typo.txt", "typo.cvx"});
    EXPECT_EQ(typo.code, 1);
    EXPECT_TRUE(Contains(typo.err, "typo.txt:2: 'point' takes 2 numbers")) << typo.err;

    WriteBytes("short.cvx", {3, 0, 0, 0, 1});
    const Result broken = Tool({"walk", "dump", "short.cvx"});
    EXPECT_EQ(broken.code, 1);
    EXPECT_TRUE(Contains(broken.err, "short.cvx: not a valid walk area")) << broken.err;
}

TEST_F(WalkToolTest, PathPrintsThePointsAndTheMovedTarget) {
    Result r = Tool({"walk", "path", "u.cvx", "150", "150", "350", "150"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "point 150 150\npoint 200 240\npoint 300 240\npoint 350 150\n"
                     "target 350 150\n");
    r = Tool({"walk", "path", "u.cvx", "150", "250", "250", "120"}); // a click in the notch
    EXPECT_EQ(r.out, "point 150 250\npoint 200 120\ntarget 200 120\n");
    r = Tool({"walk", "path", "u.cvx", "150", "x", "250", "120"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Contains(r.err, "'x' is not a coordinate")) << r.err;

    walk::WalkArea bad;
    std::string error;
    ASSERT_TRUE(walk::ParseWalkArea(ReadBytes("u.cvx"), bad, error));
    bad.ribs[0].b = 99;
    WriteBytes("bad.cvx", walk::WriteWalkArea(bad));
    r = Tool({"walk", "path", "bad.cvx", "150", "150", "350", "150"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Contains(r.err, "rib 0 joins point 99")) << r.err;
}

TEST_F(WalkToolTest, RenderDrawsTheAreaAndThePathOverThePicture) {
    std::vector<uint8_t> black(640 * 480 * 3, 0);
    graphics::DibImage room;
    ASSERT_TRUE(graphics::DibFromRgb(640, 480, black, false, room));
    ASSERT_TRUE(graphics::WriteDibFile("room.bmp", room));
    const Result r =
        Tool({"walk", "render", "u.cvx", "room.bmp", "out.png", "--path", "150,150,350,150"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "out.png: 3 convexes, a path of 4 points\n");
    platform::RgbImage png;
    ASSERT_TRUE(platform::ReadPngRgb("out.png", png));
    auto at = [&](int x, int y) {
        const size_t i = static_cast<size_t>((y * png.width + x) * 3);
        return (png.rgb[i] << 16) | (png.rgb[i + 1] << 8) | png.rgb[i + 2];
    };
    EXPECT_EQ(at(250, 100), 0x000000); // the notch is left alone
    EXPECT_EQ(at(150, 100), 0xFFFF00); // the outline
    EXPECT_EQ(at(200, 250), 0x00FFFF); // a rib between convexes
    EXPECT_EQ(at(250, 240), 0xFF2020); // the path along the band
    EXPECT_NE(at(120, 280), 0x000000); // convexes are tinted
    EXPECT_NE(at(120, 280), at(250, 280));
}

TEST_F(WalkToolTest, CycleTablesRoundTripAndInfoNamesTheDirectionsThatCannotBeWalked) {
    platform::ByteWriter w;
    for (int32_t v : {0, 0, 0, 12, 0, 12, 0})
        w.I32(v);
    std::vector<uint8_t> off = w.Take();
    off.push_back(0x7F); // part of a record
    WriteBytes("hero-w-e.off", off);
    const Result dump = Tool({"cycle", "dump", "hero-w-e.off"});
    ASSERT_EQ(dump.code, 0) << dump.err;
    EXPECT_TRUE(Contains(dump.out, "header 0\nstep 0 0 ")) << dump.out;
    WriteText("e.txt", dump.out);
    ASSERT_EQ(Tool({"cycle", "build", "e.txt", "again.off"}).code, 0);
    EXPECT_EQ(ReadBytes("again.off"), off);

    WriteText("leg.txt", "header 0\nstep 20 90\nstep 20 90\nstep 20 90\n");
    ASSERT_EQ(Tool({"cycle", "build", "leg.txt", "hero-w-e.leg"}).code, 0);
    WriteText("up.txt", "header 0\nstep 0 0\nstep 0 -7\nstep 0 -7\n");
    ASSERT_EQ(Tool({"cycle", "build", "up.txt", "hero-w-n.off"}).code, 0);
    ASSERT_EQ(Tool({"cycle", "build", "leg.txt", "hero-w-n.leg"}).code, 0);
    const Result info = Tool({"cycle", "info", "hero"});
    ASSERT_EQ(info.code, 0) << info.err;
    EXPECT_TRUE(Contains(info.out, "E  2 frames, 24 0 per cycle, slope 0.0000\n")) << info.out;
    EXPECT_TRUE(Contains(info.out, "N  2 frames, 0 -14 per cycle, slope upright")) << info.out;
    EXPECT_TRUE(Contains(info.out, "NE cannot be walked (no off file)")) << info.out;

    WriteText("bad.txt", "step 1 2\n");
    const Result bad = Tool({"cycle", "build", "bad.txt", "bad.off"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(Contains(bad.err, "bad.txt:1: 'step' needs the 'header' line")) << bad.err;
}

TEST(WalkToolHelp, EveryCommandExplainsItself) {
    for (const char* group : {"walk", "cycle"}) {
        const Result r = Tool({group, "--help"});
        EXPECT_EQ(r.code, 0);
        for (const char* command : {"dump", "build"}) {
            EXPECT_TRUE(Contains(r.out, command)) << group;
            const Result help = Tool({group, command, "--help"});
            EXPECT_EQ(help.code, 0);
            EXPECT_TRUE(Contains(help.out, std::string("usage: tarvo-tool ") + group)) << help.out;
        }
    }
    for (const char* command : {"path", "render"})
        EXPECT_EQ(Tool({"walk", command, "--help"}).code, 0);
    EXPECT_EQ(Tool({"cycle", "info", "--help"}).code, 0);
}
