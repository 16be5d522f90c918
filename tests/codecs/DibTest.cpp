// Reading and writing BMP files.
#include "graphics/Dib.h"

#include "codecs/PictureBuilders.h"
#include "support/TempDirTest.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

using graphics::DibColor;
using graphics::DibImage;
using namespace testpictures;

namespace {

// The test picture: indexes using every value of the depth, or varied true colours.
DibColor ExpectedColor(int x, int y, int bitsPerPixel) {
    if (bitsPerPixel == 24)
        return DibColor{uint8_t(x * 40 + 1), uint8_t(y * 30 + 2), uint8_t(x + y + 3)};
    return Palette(1 << bitsPerPixel)[(x * 3 + y * 5) % (1 << bitsPerPixel)];
}

// A BMP of the test picture; rows in file order (bottom first unless top-down).
BmpSpec PictureSpec(uint32_t headerSize, int bitsPerPixel, int width, int height,
                    bool topDown = false) {
    BmpSpec s = Bmp(headerSize, width, topDown ? -height : height, uint16_t(bitsPerPixel));
    if (bitsPerPixel <= 8) s.palette = Palette(1 << bitsPerPixel);
    for (int i = 0; i < height; ++i) {
        const int y = topDown ? i : height - 1 - i;
        std::vector<uint8_t> indexes;
        Bytes row;
        for (int x = 0; x < width; ++x) {
            const DibColor c = ExpectedColor(x, y, bitsPerPixel);
            for (uint8_t channel : {c.blue, c.green, c.red})
                row.push_back(channel);
            indexes.push_back(uint8_t((x * 3 + y * 5) % (1 << bitsPerPixel)));
        }
        s.rows.push_back(bitsPerPixel == 24 ? row : PackIndexes(indexes, bitsPerPixel));
    }
    return s;
}

DibImage MustRead(const Bytes& file) {
    DibImage image;
    std::string error;
    EXPECT_TRUE(graphics::ReadDib(file, image, error)) << error;
    EXPECT_TRUE(image.IsConsistent());
    return image;
}

std::string FailureOf(const Bytes& file) {
    DibImage image;
    std::string error;
    EXPECT_FALSE(graphics::ReadDib(file, image, error));
    EXPECT_FALSE(error.empty());
    return error;
}

} // namespace

TEST(DibRead, EveryDepthHeaderKindWidthAndRowOrder) {
    for (uint32_t header : {12u, 40u, 108u})
        for (int bpp : {1, 4, 8, 24})
            for (int width = 1; width <= 9; ++width) // every padding of every depth
                for (bool topDown : {false, true}) {
                    if (header == 12 && topDown) continue; // the old header has no sign
                    SCOPED_TRACE(testing::Message() << header << " " << bpp << " bpp, width "
                                                    << width << (topDown ? ", top-down" : ""));
                    const DibImage image =
                        MustRead(BuildBmp(PictureSpec(header, bpp, width, 3, topDown)));
                    ASSERT_EQ(image.width, width);
                    ASSERT_EQ(image.height, 3);
                    ASSERT_EQ(image.bitsPerPixel, bpp);
                    EXPECT_EQ(image.palette.size(), bpp <= 8 ? size_t{1} << bpp : 0);
                    for (int y = 0; y < 3; ++y)
                        for (int x = 0; x < width; ++x)
                            ASSERT_EQ(ColorAt(image, x, y), ExpectedColor(x, y, bpp)) << x << y;
                }
}

TEST(DibRead, SixteenAndThirtyTwoBitsBecomeTwentyFourThroughTheirMasks) {
    struct Case {
        uint32_t header;
        uint16_t bpp;
        std::vector<uint32_t> masks; // empty: the default masks
        int64_t pixelOffset;         // -1: stated right; 0: rows follow the masks
        uint32_t pixel;
        DibColor expected;
    };
    const Case cases[] = {
        // 5-5-5 by default; 5 bits widen by repeating them (10000 -> 10000100), the top bit
        // belongs to no channel.
        {40, 16, {}, -1, 0x8000 | (16 << 10) | (1 << 5) | 31, {132, 8, 255}},
        {40, 16, {}, -1, 0x7FFF, {255, 255, 255}},
        // 5-6-5 masks after a 40-byte header or inside a longer one, rows found either way.
        {40, 16, {0xF800, 0x07E0, 0x001F}, -1, (31 << 11) | (1 << 5) | 2, {255, 4, 16}},
        {40, 16, {0xF800, 0x07E0, 0x001F}, 0, 63 << 5, {0, 255, 0}},
        {108, 16, {0xF800, 0x07E0, 0x001F}, 0, (31 << 11) | (1 << 5) | 2, {255, 4, 16}},
        {40, 32, {}, -1, 0xAA102030, {0x10, 0x20, 0x30}},
        // A 10-bit channel keeps its top 8 bits; a zero mask is a channel that is always 0.
        {40, 32, {0x3FF00000, 0, 0x3FF}, -1, (0x2F5u << 20) | 0xFC00 | 3, {0xBD, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.header << " " << c.bpp << " " << c.pixel);
        BmpSpec s = Bmp(c.header, 1, 1, c.bpp, c.masks.empty() ? 0u : 3u);
        s.masks = c.masks;
        s.pixelOffset = c.pixelOffset;
        Bytes row;
        Put32(row, c.pixel);
        row.resize(c.bpp / 8);
        s.rows = {row};
        const DibImage image = MustRead(BuildBmp(s));
        EXPECT_EQ(image.bitsPerPixel, 24);
        EXPECT_EQ(ColorAt(image, 0, 0), c.expected);
    }
}

TEST(DibRead, ColourCountFromTheHeaderAndWhereTheRowsStart) {
    // Two colours announced for 8 bits: the rows follow the two entries; an index past them
    // is kept (and shows black).
    BmpSpec s = Bmp(40, 3, 1, 8);
    s.colorsUsed = 2;
    s.palette = Palette(2);
    s.rows = {{1, 0, 7}};
    // Offsets: right, with a gap after the table, 0, or pointing into the table.
    for (int64_t offset : {int64_t{-1}, int64_t{14 + 40 + 8 + 6}, int64_t{0}, int64_t{20}}) {
        s.pixelOffset = offset;
        const DibImage image = MustRead(BuildBmp(s));
        EXPECT_EQ(image.palette, Palette(2));
        EXPECT_EQ(image.bits, (Bytes{1, 0, 7, 0})) << offset;
    }
    // A 24-bit picture may carry a colour table too; it is skipped, not kept.
    BmpSpec tc = PictureSpec(40, 24, 2, 2);
    tc.colorsUsed = 3;
    tc.palette = Palette(3);
    const DibImage image = MustRead(BuildBmp(tc));
    EXPECT_EQ(ColorAt(image, 1, 1), ExpectedColor(1, 1, 24));
    EXPECT_TRUE(image.palette.empty());
}

TEST(DibRead, MalformedFilesAreRefusedWithAReason) {
    const BmpSpec good = PictureSpec(40, 8, 4, 2);
    auto with = [&](auto change) {
        BmpSpec s = good;
        change(s);
        return BuildBmp(s);
    };
    Bytes file = BuildBmp(good);
    file[0] = 'G';
    FailureOf(file);
    file = BuildBmp(good);
    file[12] = 0x10; // rows at 0x100000, past the end
    FailureOf(file);
    FailureOf(with([](BmpSpec& s) { s.headerSize = 20; }));
    FailureOf(with([](BmpSpec& s) { s.width = 0; }));
    FailureOf(with([](BmpSpec& s) { s.width = -4; }));
    FailureOf(with([](BmpSpec& s) { s.height = 0; }));
    FailureOf(with([](BmpSpec& s) { s.height = INT32_MIN; }));
    FailureOf(with([](BmpSpec& s) { s.width = 8193; }));
    FailureOf(with([](BmpSpec& s) { s.width = s.height = 8192; })); // too many pixels
    FailureOf(with([](BmpSpec& s) { s.planes = 2; }));
    FailureOf(with([](BmpSpec& s) { s.bitsPerPixel = 7; }));
    FailureOf(with([](BmpSpec& s) { s.compression = 3; })); // masks need 16 or 32 bits
    FailureOf(with([](BmpSpec& s) { s.compression = 9; }));
    FailureOf(with([](BmpSpec& s) { s.colorsUsed = 0xFFFFFFFF; }));
    FailureOf(with([](BmpSpec& s) { s.colorsUsed = 300; }));  // table runs past the end
    FailureOf(with([](BmpSpec& s) { s.fileSize = 100000; })); // shorter than it says
    FailureOf(with([](BmpSpec& s) { s.rows.pop_back(); }));
    FailureOf(with([](BmpSpec& s) { s.headerSize = 12, s.bitsPerPixel = 16; }));
    for (uint32_t rle : {1u, 2u})
        EXPECT_NE(FailureOf(with([&](BmpSpec& s) { s.compression = rle; })).find("run-length"),
                  std::string::npos);
    const std::string noMasks = FailureOf(with([](BmpSpec& s) {
        s.bitsPerPixel = 16, s.compression = 3;
        s.palette.clear(), s.rows.clear();
    }));
    EXPECT_NE(noMasks.find("mask"), std::string::npos);
}

TEST(DibRead, TruncatedOrDamagedFilesNeverBreakTheReader) {
    for (bool statedSize : {true, false}) {
        BmpSpec s = PictureSpec(40, 4, 5, 3);
        if (!statedSize) s.fileSize = 0; // the structure alone must notice the cut
        const Bytes file = BuildBmp(s);
        for (size_t n = 0; n < file.size(); ++n) {
            DibImage image;
            std::string error;
            EXPECT_FALSE(graphics::ReadDib(std::span(file.data(), n), image, error)) << n;
        }
    }
    std::mt19937 random(1234);
    const Bytes good = BuildBmp(PictureSpec(40, 8, 7, 5, true));
    for (int round = 0; round < 3000; ++round) {
        Bytes file = good;
        for (int i = 0, n = 1 + int(random() % 4); i < n; ++i)
            file[random() % file.size()] = static_cast<uint8_t>(random());
        DibImage image;
        std::string error;
        if (graphics::ReadDib(file, image, error))
            EXPECT_TRUE(image.IsConsistent());
        else
            EXPECT_FALSE(error.empty());
    }
}

TEST(DibWrite, EncodedFilesReadBackUnchanged) {
    for (int bpp : {1, 4, 8, 24}) {
        const DibImage original = MustRead(BuildBmp(PictureSpec(12, bpp, 7, 3)));
        const Bytes file = graphics::EncodeDibFile(original);
        ASSERT_GE(file.size(), 54u);
        EXPECT_EQ(file[2] | file[3] << 8 | file[4] << 16 | file[5] << 24, int(file.size()));
        EXPECT_EQ(file[14], 40); // always the 40-byte header
        const DibImage again = MustRead(file);
        EXPECT_EQ(again.width, original.width);
        EXPECT_EQ(again.height, original.height);
        EXPECT_EQ(again.bitsPerPixel, original.bitsPerPixel);
        EXPECT_EQ(again.palette, original.palette);
        EXPECT_EQ(again.bits, original.bits);
    }
    // An indexed picture without colours gets a black table, so it reads back the same.
    DibImage blank{2, 1, 4, {}, {0x1F, 0, 0, 0}};
    EXPECT_EQ(MustRead(graphics::EncodeDibFile(blank)).palette, std::vector<DibColor>(16));
    EXPECT_EQ(MustRead(graphics::EncodeDibFile(blank)).bits, blank.bits);
}

TEST(DibWrite, InconsistentPicturesAreNotWritten) {
    DibImage image{3, 2, 8, {}, Bytes(7)}; // two rows of 3 pixels need 8 bytes
    EXPECT_TRUE(graphics::EncodeDibFile(image).empty());
    image.bits.resize(8);
    EXPECT_FALSE(graphics::EncodeDibFile(image).empty());
    image.bitsPerPixel = 16;
    EXPECT_TRUE(graphics::EncodeDibFile(image).empty());
    image.bitsPerPixel = 8;
    image.palette.resize(257);
    EXPECT_TRUE(graphics::EncodeDibFile(image).empty());
}

class DibFileTest : public testsupport::TempDirTest {};

TEST_F(DibFileTest, EachWriteReplacesTheFile) {
    const DibImage big = MustRead(BuildBmp(PictureSpec(40, 24, 9, 9)));
    DibImage small = MustRead(BuildBmp(PictureSpec(40, 1, 2, 2)));
    ASSERT_TRUE(graphics::WriteDibFile(graphics::kGifDumpFileName, big));
    ASSERT_TRUE(graphics::WriteDibFile(graphics::kGifDumpFileName, small));
    EXPECT_EQ(ReadBytes(graphics::kGifDumpFileName), graphics::EncodeDibFile(small));
    EXPECT_FALSE(graphics::WriteDibFile("no/such/folder/x.dib", small));
    small.bits.clear();
    EXPECT_FALSE(graphics::WriteDibFile("broken.dib", small));
}
