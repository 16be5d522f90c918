// From decoded pictures to 16-bit display pixels, and from RGB pixels back to a DIB.
#include "graphics/PictureConvert.h"

#include "codecs/PictureBuilders.h"

#include <gtest/gtest.h>

using graphics::DibColor;
using graphics::DibImage;
using platform::Pixel;
using namespace testpictures;

namespace {

const platform::PixelShifts k565 = platform::ShiftsFromFormat(platform::kFormat565);
const platform::PixelShifts k555 = platform::ShiftsFromFormat(platform::kFormat555);

DibImage Picture(int width, int height, int bitsPerPixel, std::vector<DibColor> palette,
                 const std::vector<Bytes>& topDownRows) {
    DibImage image{width, height, bitsPerPixel, std::move(palette), {}};
    image.bits.assign(image.Stride() * height, 0);
    for (int y = 0; y < height; ++y)
        std::copy(topDownRows[y].begin(), topDownRows[y].end(), image.TopDownRow(y));
    return image;
}

std::vector<Pixel> Convert(const DibImage& image, const platform::PixelShifts& shifts) {
    std::vector<Pixel> pixels(static_cast<size_t>(image.width) * image.height, 0xDEAD);
    EXPECT_TRUE(graphics::DibToPixels(image, shifts, pixels.data(), image.width));
    return pixels;
}

} // namespace

TEST(DibToPixels, ChannelsKeepTheirTopBitsInEitherDisplayFormat) {
    // Red 11111, green 100001 (5-6-5) or 10000 (5-5-5), blue 00001; the second colour lies
    // below one step of every channel and becomes black, as does an index past the table.
    const DibImage image =
        Picture(3, 1, 8, {DibColor{0xFF, 0x87, 0x0F}, DibColor{7, 3, 7}}, {{0, 1, 2}});
    EXPECT_EQ(Convert(image, k565), (std::vector<Pixel>{0xFC21, 0, 0}));
    EXPECT_EQ(Convert(image, k555), (std::vector<Pixel>{0x7E01, 0, 0}));

    // True colour is stored blue, green, red; the output starts with the top row.
    const DibImage tc = Picture(1, 2, 24, {}, {{0, 0, 0xF8}, {0xF8, 0, 0}});
    EXPECT_EQ(Convert(tc, k565), (std::vector<Pixel>{0xF800, 0x001F}));
}

TEST(DibToPixels, SmallIndexesHoldTheLeftmostPixelInTheHighBits) {
    const std::vector<DibColor> colors = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}};
    std::vector<Pixel> expected(10, 0);
    expected[0] = expected[7] = expected[9] = 0xFFFF;
    EXPECT_EQ(Convert(Picture(10, 1, 1, colors, {{0b10000001, 0b01000000}}), k565), expected);
    EXPECT_EQ(Convert(Picture(3, 1, 4, colors, {{0x21, 0x00}}), k565),
              (std::vector<Pixel>{0xF800, 0xFFFF, 0}));
}

TEST(DibToPixels, PitchIsRespectedAndBadArgumentsWriteNothing) {
    DibImage image = Picture(2, 2, 8, {DibColor{255, 255, 255}}, {{0, 0}, {0, 0}});
    std::vector<Pixel> pixels(3 * 2, 0x1234);
    ASSERT_TRUE(graphics::DibToPixels(image, k565, pixels.data(), 3));
    EXPECT_EQ(pixels, (std::vector<Pixel>{0xFFFF, 0xFFFF, 0x1234, 0xFFFF, 0xFFFF, 0x1234}));

    std::vector<Pixel> untouched(4, 0x1234);
    EXPECT_FALSE(graphics::DibToPixels(image, k565, untouched.data(), 1));
    EXPECT_FALSE(graphics::DibToPixels(image, k565, nullptr, 2));
    image.bits.pop_back();
    EXPECT_FALSE(graphics::DibToPixels(image, k565, untouched.data(), 2));
    EXPECT_FALSE(graphics::DibToSurface(image, k565).has_value());
    EXPECT_EQ(untouched, std::vector<Pixel>(4, 0x1234));
}

TEST(PictureSurface, StretchDefaultsToTheWholePictureAndCoversTheWholeSurface) {
    const auto picture =
        graphics::DibToSurface(Picture(2, 2, 8, Palette(4), {{0, 1}, {2, 3}}), k565);
    ASSERT_TRUE(picture.has_value());
    const DibColor c = Palette(4)[3];
    EXPECT_EQ(picture->At(1, 1), k565.FromRgb(c.red, c.green, c.blue));

    // A picture lower than the surface is stretched to its height, 1:1 across.
    platform::Surface surface(2, 6);
    ASSERT_TRUE(graphics::StretchToSurface(surface, *picture, 0, 0, 0, 0));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(surface.At(x, y), picture->At(x, y / 3)) << x << "," << y;
    // A one-pixel source rectangle fills everything; one outside the picture writes nothing.
    platform::Surface small(3, 3);
    ASSERT_TRUE(graphics::StretchToSurface(small, *picture, 1, 0, 1, 1));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(small.At(x, y), picture->At(1, 0));
    EXPECT_FALSE(graphics::StretchToSurface(small, *picture, 5, 5, 1, 1));
}

TEST(DecodePicture, BmpFirstThenGifAndTheReasonOfTheClaimedFormat) {
    BmpSpec bmp = Bmp(40, 1, 1, 24);
    bmp.rows = {{1, 2, 3}};
    GifSpec gif;
    gif.screenWidth = gif.width = 2;
    gif.screenHeight = gif.height = 1;
    gif.global = Palette(2);
    gif.minCodeSize = 2;
    gif.codes = LzwEncode({1, 0}, 2);
    DibImage image;
    std::string error;
    ASSERT_TRUE(graphics::DecodePicture(BuildBmp(bmp), image, error)) << error;
    EXPECT_EQ(image.bitsPerPixel, 24);
    ASSERT_TRUE(graphics::DecodePicture(BuildGif(gif), image, error)) << error;
    EXPECT_EQ(image.bitsPerPixel, 8);

    Bytes shortBmp = BuildBmp(bmp);
    shortBmp.pop_back();
    EXPECT_FALSE(graphics::DecodePicture(shortBmp, image, error));
    EXPECT_NE(error.find("BMP"), std::string::npos) << error;
    const Bytes gifFile = BuildGif(gif);
    EXPECT_FALSE(graphics::DecodePicture(std::span(gifFile).first(20), image, error));
    EXPECT_NE(error.find("GIF"), std::string::npos) << error;
}

TEST(DibFromRgb, FewColoursMakeAPaletteInOrderOfFirstAppearance) {
    const Bytes rgb = {9, 9, 9, 1, 2, 3, 9, 9, 9, //
                       1, 2, 3, 4, 5, 6, 9, 9, 9};
    DibImage image;
    ASSERT_TRUE(graphics::DibFromRgb(3, 2, rgb, false, image));
    EXPECT_EQ(image.bitsPerPixel, 8);
    EXPECT_EQ(image.palette, (std::vector<DibColor>{{9, 9, 9}, {1, 2, 3}, {4, 5, 6}}));
    EXPECT_EQ(image.bits, (Bytes{1, 2, 0, 0, 0, 1, 0, 0})); // bottom row first, padded

    EXPECT_FALSE(graphics::DibFromRgb(2, 2, Bytes(11), false, image)); // short buffer
    EXPECT_FALSE(graphics::DibFromRgb(0, 2, Bytes(12), false, image));
    EXPECT_FALSE(graphics::DibFromRgb(16385, 1, Bytes(16385 * 3), false, image));
}

TEST(DibFromRgb, ManyColoursOrAskingForTrueColourGiveTwentyFourBits) {
    for (int colours : {256, 257}) {
        Bytes rgb;
        for (int i = 0; i < colours; ++i)
            for (int channel : {i % 256, i / 256, 7})
                rgb.push_back(static_cast<uint8_t>(channel));
        for (bool trueColor : {false, true}) {
            DibImage image;
            ASSERT_TRUE(graphics::DibFromRgb(colours, 1, rgb, trueColor, image));
            const bool indexed = colours <= 256 && !trueColor;
            EXPECT_EQ(image.bitsPerPixel, indexed ? 8 : 24);
            EXPECT_EQ(image.palette.size(), indexed ? 256u : 0u);
            // Written and read back, every pixel keeps its colour.
            DibImage again;
            std::string error;
            ASSERT_TRUE(graphics::ReadDib(graphics::EncodeDibFile(image), again, error)) << error;
            for (int x = 0; x < colours; ++x)
                ASSERT_EQ(ColorAt(again, x, 0), (DibColor{rgb[x * 3], rgb[x * 3 + 1], 7})) << x;
        }
    }
}
