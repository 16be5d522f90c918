#include "tools/Command.h"

#include "codecs/FlicBuilders.h"
#include "platform/Png.h"
#include "support/TempDirTest.h"

#include <gtest/gtest.h>

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

class FlicToolTest : public testsupport::TempDirTest {
protected:
    // Frame k: a magenta (transparent) background with a fixed grey stripe and a 3 x 2
    // sprite in colour k at column 2k.
    static platform::RgbImage SpriteFrame(int k) {
        platform::RgbImage image{9, 5, {}};
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 9; ++x) {
                const bool sprite = y >= 2 && y < 4 && x >= 2 * k && x < 2 * k + 3;
                const uint8_t rgb[3][3] = {
                    {255, 0, 255}, {128, 128, 128}, {uint8_t(40 * k), 200, uint8_t(255 - 40 * k)}};
                const uint8_t* c = rgb[sprite ? 2 : (y == 0 ? 1 : 0)];
                image.rgb.insert(image.rgb.end(), c, c + 3);
            }
        return image;
    }
    std::vector<std::string> WriteFrames(int count) {
        std::vector<std::string> names;
        for (int k = 0; k < count; ++k) {
            names.push_back("in" + std::to_string(k) + ".png");
            const platform::RgbImage image = SpriteFrame(k);
            EXPECT_TRUE(platform::WritePngRgb(names.back(), 9, 5, image.rgb));
        }
        return names;
    }
};

// The colour a 5-6-5 display shows, widened again by bit replication.
uint8_t Through565(uint8_t value, int bits) {
    const int top = value >> (8 - bits);
    return static_cast<uint8_t>((top << (8 - bits)) | (top >> (2 * bits - 8)));
}

} // namespace

TEST_F(FlicToolTest, EncodeInfoAndFramesRoundTrip) {
    std::vector<std::string> args = {"flic", "encode", "anim.flc", "--ms", "50"};
    for (const std::string& name : WriteFrames(3))
        args.push_back(name);
    Result r = Tool(args);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fs::exists("anim.msk") && fs::exists("anim.ms2"));

    r = Tool({"flic", "info", "anim.flc"});
    ASSERT_EQ(r.code, 0) << r.err;
    for (const char* expected :
         {"frames: 3\n", "size: 9 x 5\n", "frame time 50 ms", "frame offsets: 128, ",
          "bounding rectangle: (0, 0, 9, 4) as stored, (0, 0, 8, 3) adjusted",
          // frame 1: one mask rectangle (stripe and sprite are close), one change rectangle
          // against frame 3 (the sprite's two places bridged)
          "\n1\t128\t", "\t1\t1\t 4:778 15:", "\nring\t", "decoding: ok\n"})
        EXPECT_NE(r.out.find(expected), std::string::npos) << expected << "\n" << r.out;

    r = Tool({"flic", "frames", "anim.flc", "out"});
    ASSERT_EQ(r.code, 0) << r.err;
    for (int k = 0; k < 3; ++k) {
        platform::RgbImage decoded;
        ASSERT_TRUE(platform::ReadPngRgb("out/frame_00" + std::to_string(k + 1) + ".png", decoded));
        const platform::RgbImage input = SpriteFrame(k);
        ASSERT_EQ(decoded.rgb.size(), input.rgb.size());
        for (size_t i = 0; i < input.rgb.size(); ++i)
            ASSERT_EQ(decoded.rgb[i], Through565(input.rgb[i], i % 3 == 1 ? 6 : 5))
                << k << " " << i;
    }
    EXPECT_FALSE(fs::exists("out/frame_004.png"));
}

TEST_F(FlicToolTest, InfoWithoutRectangleFilesAndFailures) {
    std::vector<std::string> args = {"flic", "encode", "A.FLC"};
    for (const std::string& name : WriteFrames(1))
        args.push_back(name);
    ASSERT_EQ(Tool(args).code, 0);
    EXPECT_TRUE(fs::exists("A.MSK") && fs::exists("A.MS2"));
    fs::remove("A.MSK");
    fs::remove("A.MS2");
    Result r = Tool({"flic", "info", "A.FLC"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("mask file: none"), std::string::npos) << r.out;

    WriteText("bad.flc", "not an animation");
    platform::RgbImage small{2, 2, std::vector<uint8_t>(12, 7)};
    ASSERT_TRUE(platform::WritePngRgb("small.png", 2, 2, small.rgb));
    const std::vector<std::vector<std::string>> failing = {
        {"flic", "info", "bad.flc"},
        {"flic", "frames", "bad.flc", "out"},
        {"flic", "info", "missing.flc"},
        {"flic", "encode", "B.FLC", "in0.png", "small.png"}, // sizes differ
        {"flic", "encode", "B.FLC", "--ms", "0", "in0.png"},
        {"flic", "encode", "B.FLC", "bad.flc"}, // not a PNG
    };
    for (const std::vector<std::string>& f : failing) {
        r = Tool(f);
        EXPECT_EQ(r.code, 1) << ::testing::PrintToString(f);
        EXPECT_EQ(r.err.rfind("tarvo-tool: flic ", 0), 0u) << r.err;
    }
    EXPECT_FALSE(fs::exists("B.FLC"));
}

TEST_F(FlicToolTest, AnAnimationClaimingAHugePictureIsRefusedBeforeAnythingIsWritten) {
    WriteBytes("huge.flc", flictest::ClaimedSizeFlic(65535, 65535));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"flic", "info", "huge.flc"},
          std::vector<std::string>{"flic", "frames", "huge.flc", "out"}}) {
        const Result r = Tool(args);
        EXPECT_EQ(r.code, 1) << ::testing::PrintToString(args);
        EXPECT_NE(r.err.find("65535 x 65535 pixels is over the limit"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists("out"));
}
