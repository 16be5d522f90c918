// tarvo-tool picture FILE OUT.png and picture encode IN.png OUT.BMP.
#include "tools/Command.h"

#include "graphics/Dib.h"
#include "platform/Png.h"
#include "support/TempDirTest.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

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

void ExpectOneLineFailure(const Result& r, int code, const std::string& part) {
    EXPECT_EQ(r.code, code);
    EXPECT_EQ(r.err.rfind("tarvo-tool: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
}

// Three colours no 5-6-5 pixel holds exactly, in a picture of odd width.
const std::vector<uint8_t> kRgb = {0x87, 0x43, 0x0F, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00,
                                   0x00, 0x00, 0x00, 0x87, 0x43, 0x0F, 0x12, 0xFE, 0x7B};
// The same after the display's reduction and widening: red 10000 -> 10000100, green
// 010000 -> 01000001, blue 00001 -> 00001000, and so on.
const std::vector<uint8_t> kShown = {0x84, 0x41, 0x08, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00,
                                     0x00, 0x00, 0x00, 0x84, 0x41, 0x08, 0x10, 0xFF, 0x7B};

class PictureToolTest : public testsupport::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        ASSERT_TRUE(platform::WritePngRgb("in.png", 3, 2, kRgb));
    }
    static graphics::DibImage ReadBmp(const std::string& path) {
        graphics::DibImage image;
        std::string error;
        EXPECT_TRUE(graphics::ReadDib(ReadBytes(path), image, error)) << error;
        return image;
    }
    static std::vector<uint8_t> PngPixels(const std::string& path, int width, int height) {
        platform::RgbImage image;
        EXPECT_TRUE(platform::ReadPngRgb(path, image)) << path;
        EXPECT_EQ(image.width, width);
        EXPECT_EQ(image.height, height);
        return image.rgb;
    }
};

} // namespace

TEST_F(PictureToolTest, HelpOnTheGroupAndEachCommand) {
    Result r = Tool({"--help"});
    EXPECT_NE(r.out.find("picture FILE OUT.png"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("picture encode IN.png OUT.BMP [--24]"), std::string::npos) << r.out;
    r = Tool({"picture", "--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("  FILE OUT.png"), std::string::npos) << r.out;
    r = Tool({"picture", "in.png", "out.png", "--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("usage: tarvo-tool picture FILE OUT.png"), std::string::npos) << r.out;
    r = Tool({"picture", "encode", "--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("--24"), std::string::npos) << r.out;
}

TEST_F(PictureToolTest, EncodeWritesEightBitsForFewColoursAndTwentyFourOnRequest) {
    Result r = Tool({"picture", "encode", "in.png", "out.bmp"});
    ASSERT_EQ(r.code, 0) << r.err;
    graphics::DibImage indexed = ReadBmp("out.bmp");
    EXPECT_EQ(indexed.bitsPerPixel, 8);
    EXPECT_EQ(indexed.palette.size(), 4u);
    ASSERT_EQ(Tool({"picture", "encode", "in.png", "out24.bmp", "--24"}).code, 0);
    graphics::DibImage trueColor = ReadBmp("out24.bmp");
    EXPECT_EQ(trueColor.bitsPerPixel, 24);
    // Both hold the picture's exact colours, bottom row first.
    for (const graphics::DibImage& image : {indexed, trueColor}) {
        ASSERT_EQ(image.width, 3);
        ASSERT_EQ(image.height, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                const uint8_t* row = image.TopDownRow(y);
                const size_t i = static_cast<size_t>(y * 3 + x) * 3;
                graphics::DibColor c =
                    image.bitsPerPixel == 8
                        ? image.palette[row[x]]
                        : graphics::DibColor{row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
                EXPECT_EQ(c, (graphics::DibColor{kRgb[i], kRgb[i + 1], kRgb[i + 2]})) << x << y;
            }
    }
}

TEST_F(PictureToolTest, PicturesAreShownWithTheDisplaysColours) {
    ASSERT_EQ(Tool({"picture", "encode", "in.png", "in.bmp"}).code, 0);
    Result r = Tool({"picture", "in.bmp", "shown.png"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("3 x 2, 8 bits per pixel"), std::string::npos) << r.out;
    EXPECT_EQ(PngPixels("shown.png", 3, 2), kShown);

    // A GIF: 2 x 1, indexes 1 and 0 of a two-colour table (LZW: clear, 1, 0, end).
    const std::vector<uint8_t> gif = {
        'G',  'I', 'F',  '8',  '7',  'a',  2,    0,    1,    0,
        0x80, 0,   0,    0x87, 0x43, 0x0F, 0xFF, 0x00, 0x80,    // colour table
        0x2C, 0,   0,    0,    0,    2,    0,    1,    0,    0, // image descriptor
        2,    2,   0x0C, 0x0A, 0,    0x3B};
    WriteBytes("pic.gif", gif);
    r = Tool({"picture", "pic.gif", "gif.png"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(PngPixels("gif.png", 2, 1),
              (std::vector<uint8_t>{0xFF, 0x00, 0x84, 0x84, 0x41, 0x08}));
}

TEST_F(PictureToolTest, FailuresAreOneLineWithTheReason) {
    ExpectOneLineFailure(Tool({"picture", "missing.bmp", "out.png"}), 1, "missing.bmp");
    WriteText("text.bmp", "BM but nothing else");
    ExpectOneLineFailure(Tool({"picture", "text.bmp", "out.png"}), 1, "BMP");
    WriteText("text.gif", "hello");
    ExpectOneLineFailure(Tool({"picture", "text.gif", "out.png"}), 1, "GIF");
    ExpectOneLineFailure(Tool({"picture", "encode", "text.gif", "out.bmp"}), 1, "PNG");
    ExpectOneLineFailure(Tool({"picture", "encode", "in.png", "no/such/dir/out.bmp"}), 1,
                         "out.bmp");
    ASSERT_EQ(Tool({"picture", "encode", "in.png", "in.bmp"}).code, 0);
    ExpectOneLineFailure(Tool({"picture", "in.bmp", "no/such/dir/out.png"}), 1, "out.png");
    ExpectOneLineFailure(Tool({"picture", "in.bmp"}), 2, "usage");
    ExpectOneLineFailure(Tool({"picture", "encode", "in.png", "a.bmp", "--8"}), 2, "--8");
}
