// Reading GIF files: blocks, colour tables, placement, interlacing and the LZW code stream.
#include "graphics/Gif.h"

#include "codecs/PictureBuilders.h"

#include <gtest/gtest.h>

#include <random>

using graphics::DibColor;
using graphics::DibImage;
using namespace testpictures;

namespace {

std::vector<uint8_t> Pattern(int width, int height, int colors) {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(static_cast<uint8_t>((x * 7 + y * 3) % colors));
    return pixels;
}

std::vector<uint8_t> Noise(int count, int colors, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> pixels(static_cast<size_t>(count));
    for (uint8_t& p : pixels)
        p = static_cast<uint8_t>(random() % colors);
    return pixels;
}

// One full-screen image with a global table of `colors` entries.
GifSpec ScreenImage(int width, int height, const std::vector<uint8_t>& pixels, int colors,
                    int minCodeSize, const LzwOptions& options = {}) {
    GifSpec s;
    s.screenWidth = s.width = width;
    s.screenHeight = s.height = height;
    s.global = Palette(colors);
    s.minCodeSize = minCodeSize;
    s.codes = LzwEncode(pixels, minCodeSize, options);
    return s;
}

// The picture's indexes, top row first, without row padding.
std::vector<uint8_t> Indexes(const DibImage& image) {
    std::vector<uint8_t> out;
    for (int y = 0; y < image.height; ++y)
        out.insert(out.end(), image.TopDownRow(y), image.TopDownRow(y) + image.width);
    return out;
}

DibImage MustRead(const Bytes& file) {
    DibImage image;
    std::string error;
    EXPECT_TRUE(graphics::ReadGif(file, image, error)) << error;
    EXPECT_TRUE(image.IsConsistent());
    EXPECT_EQ(image.bitsPerPixel, 8);
    return image;
}

std::string FailureOf(const Bytes& file) {
    DibImage image;
    std::string error;
    EXPECT_FALSE(graphics::ReadGif(file, image, error));
    EXPECT_FALSE(error.empty());
    return error;
}

} // namespace

TEST(GifRead, ImagesOfEveryWidthAndInterlacedOnesOfEveryHeight) {
    for (const char* version : {"87a", "89a"})
        for (int width = 1; width <= 9; ++width) {
            const std::vector<uint8_t> pixels = Pattern(width, 3, 4);
            GifSpec s = ScreenImage(width, 3, pixels, 4, 2);
            s.version = version;
            const DibImage image = MustRead(BuildGif(s));
            EXPECT_EQ(image.palette, Palette(4));
            EXPECT_EQ(Indexes(image), pixels) << version << " width " << width;
        }
    for (int height = 1; height <= 17; ++height) { // every pass empty or not
        const std::vector<uint8_t> pixels = Pattern(3, height, 16);
        GifSpec s = ScreenImage(3, height, Interlace(pixels, 3, height), 16, 4);
        s.interlaced = true;
        EXPECT_EQ(Indexes(MustRead(BuildGif(s))), pixels) << "height " << height;
    }
}

TEST(GifRead, ImageIsPlacedOnTheBackgroundWithItsOwnOrTheGlobalColours) {
    GifSpec s = ScreenImage(2, 2, {0, 1, 2, 0}, 4, 2);
    s.screenWidth = 5;
    s.screenHeight = 4;
    s.background = 3;
    s.left = 2;
    s.top = 1;
    EXPECT_EQ(Indexes(MustRead(BuildGif(s))), (std::vector<uint8_t>{3, 3, 3, 3, 3, //
                                                                    3, 3, 0, 1, 3, //
                                                                    3, 3, 2, 0, 3, //
                                                                    3, 3, 3, 3, 3}));
    // An image reaching past the screen enlarges it, with background around it.
    s.left = 4;
    s.top = 3;
    const DibImage grown = MustRead(BuildGif(s));
    ASSERT_EQ(grown.width, 6);
    ASSERT_EQ(grown.height, 5);
    EXPECT_EQ(grown.TopDownRow(4)[5], 0);
    EXPECT_EQ(grown.TopDownRow(4)[3], 3);

    // A local table replaces the global one. Without a global table the background index
    // means nothing and the screen is index 0; a screen of no size takes the image's.
    s.local = {DibColor{9, 8, 7}, DibColor{6, 5, 4}};
    EXPECT_EQ(MustRead(BuildGif(s)).palette, s.local);
    s.global.clear();
    s.left = s.top = 0;
    s.screenWidth = 3;
    s.screenHeight = 0;
    const DibImage local = MustRead(BuildGif(s));
    EXPECT_EQ(local.palette, s.local);
    EXPECT_EQ(Indexes(local), (std::vector<uint8_t>{0, 1, 0, 2, 0, 0}));
}

TEST(GifRead, ExtensionsAndPaddingAreSkippedAndOnlyTheFirstImageCounts) {
    const std::vector<uint8_t> pixels = Pattern(4, 2, 4);
    GifSpec s = ScreenImage(4, 2, pixels, 4, 2);
    s.beforeImage = {0x21, 0xF9, 4, 1,   0,   0,   2, 0,           // transparency
                     0,                                            // stray padding
                     0x21, 0xFE, 3, 'a', 'b', 'c', 2, 'd', 'e', 0, // comment
                     0x21, 0xFF, 0};                               // empty one
    const Bytes second = BuildGif(ScreenImage(4, 2, Pattern(4, 2, 3), 4, 2));
    s.afterImage.assign(second.begin() + 13 + 12, second.end() - 1); // its image only
    EXPECT_EQ(Indexes(MustRead(BuildGif(s))), pixels);

    // Blocks ending with the trailer before any image: the blank screen.
    s.hasImage = false;
    s.afterImage.clear();
    s.background = 1;
    EXPECT_EQ(Indexes(MustRead(BuildGif(s))), std::vector<uint8_t>(8, 1));
}

TEST(GifLzw, ClearCodesFullTablesAndCodesUsedAsTheyAreDefined) {
    const std::vector<uint8_t> small = Noise(40 * 30, 16, 7);
    for (int every : {1, 2, 5, 100}) {
        GifSpec s = ScreenImage(40, 30, small, 16, 4, LzwOptions{true, every, true});
        EXPECT_EQ(Indexes(MustRead(BuildGif(s))), small) << "clear every " << every;
    }
    // Noise compresses badly: the table fills again and again (cleared each time), or stays
    // full for most of the stream (no clear).
    for (int colors : {256, 4})
        for (bool clearWhenFull : {true, false}) {
            const std::vector<uint8_t> pixels = Noise(300 * 200, colors, 99);
            const int minCodeSize = colors == 256 ? 8 : 2;
            GifSpec s = ScreenImage(300, 200, {}, colors, minCodeSize);
            int fills = 0;
            s.codes = LzwEncode(pixels, minCodeSize, {clearWhenFull, 0, true}, &fills);
            EXPECT_GE(fills, clearWhenFull ? 2 : 1);
            EXPECT_EQ(Indexes(MustRead(BuildGif(s))), pixels) << colors << clearWhenFull;
        }
    // Runs of one index, and of two alternating ones, make the encoder send codes as soon
    // as it defines them: the previous string plus that string's first pixel.
    std::vector<uint8_t> runs(64 * 64, 2);
    for (size_t i = 0; i < 1000; ++i)
        runs[i] = static_cast<uint8_t>(i % 2);
    EXPECT_EQ(Indexes(MustRead(BuildGif(ScreenImage(64, 64, runs, 4, 2)))), runs);
}

TEST(GifLzw, StreamsEndingEarlyLeaveTheBackground) {
    const std::vector<uint8_t> pixels = Pattern(6, 4, 4);
    GifSpec s = ScreenImage(6, 4, pixels, 4, 2, LzwOptions{true, 0, false}); // no end code
    EXPECT_EQ(Indexes(MustRead(BuildGif(s))), pixels);

    s.background = 3;
    s.codes = LzwEncode(std::vector<uint8_t>(pixels.begin(), pixels.begin() + 10), 2);
    std::vector<uint8_t> expected = pixels;
    std::fill(expected.begin() + 10, expected.end(), 3);
    EXPECT_EQ(Indexes(MustRead(BuildGif(s))), expected);

    // Clear, 1, 0 and no end code: the 7 zero bits left in the last byte would read as one
    // more pixel 0, but a complete image ends there.
    GifSpec two = ScreenImage(2, 1, {}, 4, 2);
    CodeWriter w;
    for (int code : {4, 1, 0})
        w.Put(code, 3);
    two.codes = w.Finish();
    EXPECT_EQ(Indexes(MustRead(BuildGif(two))), (std::vector<uint8_t>{1, 0}));
}

TEST(GifLzw, CorruptCodeStreamsFail) {
    GifSpec s = ScreenImage(4, 4, {}, 4, 2);
    auto stream = [](std::vector<int> codes) { // 3 bits each: clear 4, end 5, first free 6
        CodeWriter w;
        for (int code : codes)
            w.Put(code, 3);
        return w.Finish();
    };
    for (const std::vector<int>& codes : {std::vector<int>{4, 6}, {4, 1, 7}, {4, 1, 4, 7}}) {
        s.codes = stream(codes);
        EXPECT_NE(FailureOf(BuildGif(s)).find("undefined"), std::string::npos);
    }
    s.codes = LzwEncode(Pattern(4, 5, 4), 2); // 20 pixels for a 16-pixel image
    EXPECT_NE(FailureOf(BuildGif(s)).find("more pixels"), std::string::npos);
    s.codes = LzwEncode(std::vector<uint8_t>(17, 1), 2); // the overflow inside a long string
    EXPECT_NE(FailureOf(BuildGif(s)).find("more pixels"), std::string::npos);
    for (int size : {0, 1, 9, 12}) {
        s.minCodeSize = size;
        s.codes = LzwEncode(Pattern(4, 4, 2), std::clamp(size, 2, 8));
        EXPECT_NE(FailureOf(BuildGif(s)).find("code size"), std::string::npos) << size;
    }
}

TEST(GifRead, MalformedFilesAreRefusedWithAReason) {
    const GifSpec good = ScreenImage(4, 3, Pattern(4, 3, 4), 4, 2);
    auto with = [&](auto change) {
        GifSpec s = good;
        change(s);
        return BuildGif(s);
    };
    Bytes notGif = BuildGif(good);
    notGif[1] = 'X';
    FailureOf(notGif);
    FailureOf(with([](GifSpec& s) { s.version = "88a"; }));
    FailureOf(with([](GifSpec& s) { s.width = 0; }));
    FailureOf(with([](GifSpec& s) { s.height = 0; }));
    FailureOf(with([](GifSpec& s) { s.left = 8191; }));                          // too wide
    FailureOf(with([](GifSpec& s) { s.screenWidth = s.screenHeight = 10000; })); // too many
    FailureOf(with([](GifSpec& s) { s.hasImage = false, s.screenWidth = 0; }));
    FailureOf(with([](GifSpec& s) { s.beforeImage = {0x99}; })); // unknown block
    FailureOf(with([](GifSpec& s) { s.hasImage = s.trailer = false; }));
    FailureOf(with([](GifSpec& s) {
        s.beforeImage = {0x21, 0xFE, 200, 'x'}; // extension cut short
        s.hasImage = s.trailer = false;
    }));
}

TEST(GifRead, TruncatedOrDamagedFilesNeverBreakTheReader) {
    GifSpec s = ScreenImage(5, 6, Interlace(Pattern(5, 6, 8), 5, 6), 8, 3);
    s.interlaced = true;
    s.local = Palette(8);
    s.beforeImage = {0x21, 0xF9, 4, 0, 0, 0, 0, 0};
    const Bytes file = BuildGif(s);
    for (size_t n = 0; n < file.size(); ++n) {
        DibImage image;
        std::string error;
        // Only the trailer missing: the image is complete and is taken.
        EXPECT_EQ(graphics::ReadGif(std::span(file.data(), n), image, error), n + 1 == file.size())
            << "cut at " << n;
    }
    std::mt19937 random(4321);
    const Bytes good = BuildGif(ScreenImage(9, 7, Noise(63, 16, 3), 16, 4));
    for (int round = 0; round < 5000; ++round) {
        Bytes damaged = good;
        for (int i = 0, n = 1 + int(random() % 4); i < n; ++i)
            damaged[random() % damaged.size()] = static_cast<uint8_t>(random());
        DibImage image;
        std::string error;
        if (graphics::ReadGif(damaged, image, error))
            EXPECT_TRUE(image.IsConsistent());
        else
            EXPECT_FALSE(error.empty());
    }
}
