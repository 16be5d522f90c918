#include "platform/Png.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "platform/PixelFormat.h"

using namespace platform;

namespace {

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "tarvo_png_" + std::to_string(getpid()) + "_" + name;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

void AppendBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t Crc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void AppendChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    AppendBigEndian(png, static_cast<uint32_t>(data.size()));
    const size_t typeStart = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    AppendBigEndian(png, Crc32(png.data() + typeStart, png.size() - typeStart));
}

// A zlib stream holding `raw` in one stored (uncompressed) block; enough for tiny images.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> z = {0x78, 0x01, 0x01};
    const auto size = static_cast<uint16_t>(raw.size());
    z.insert(z.end(), {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8),
                       static_cast<uint8_t>(~size), static_cast<uint8_t>(~size >> 8)});
    z.insert(z.end(), raw.begin(), raw.end());
    uint32_t a = 1;
    uint32_t b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    AppendBigEndian(z, (b << 16) | a);
    return z;
}

struct PngLayout {
    uint32_t width;
    uint32_t height;
    uint8_t bitDepth;
    uint8_t colorType;                      // 0 gray, 2 RGB, 3 palette, 4 gray+alpha, 6 RGBA
    std::vector<std::vector<uint8_t>> rows; // packed sample bytes, without filter bytes
    std::vector<uint8_t> palette;           // PLTE data for colour type 3
};

// Builds a PNG file by hand, so that the reader is tested on colour types and depths the
// writer never produces.
std::vector<uint8_t> BuildPng(const PngLayout& layout) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    AppendBigEndian(header, layout.width);
    AppendBigEndian(header, layout.height);
    header.insert(header.end(), {layout.bitDepth, layout.colorType, 0, 0, 0});
    AppendChunk(png, "IHDR", header);
    if (!layout.palette.empty()) AppendChunk(png, "PLTE", layout.palette);
    std::vector<uint8_t> raw;
    for (const auto& row : layout.rows) {
        raw.push_back(0); // filter: none
        raw.insert(raw.end(), row.begin(), row.end());
    }
    AppendChunk(png, "IDAT", StoredZlib(raw));
    AppendChunk(png, "IEND", {});
    return png;
}

bool ReadBuilt(const PngLayout& layout, RgbImage& image) {
    const std::string path = TempPath("built.png");
    WriteBytes(path, BuildPng(layout));
    const bool ok = ReadPngRgb(path, image);
    std::remove(path.c_str());
    return ok;
}

} // namespace

TEST(Png, RgbImageRoundTripsAndOutputIsDeterministic) {
    const std::vector<uint8_t> rgb = {255, 0, 0, 0,   255, 0,  0,   0,   255,
                                      1,   2, 3, 128, 64,  32, 255, 255, 255};
    const std::string first = TempPath("a.png");
    const std::string second = TempPath("b.png");
    ASSERT_TRUE(WritePngRgb(first, 3, 2, rgb));
    ASSERT_TRUE(WritePngRgb(second, 3, 2, rgb));
    EXPECT_EQ(ReadBytes(first), ReadBytes(second));
    RgbImage image;
    ASSERT_TRUE(ReadPngRgb(first, image));
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.rgb, rgb);
    std::remove(first.c_str());
    std::remove(second.c_str());
}

TEST(Png, SurfaceChannelsAreWidenedByBitReplication) {
    Surface surface(5, 1);
    const std::array<Pixel, 5> pixels = {0x0000, 0xFFFF, 0xF800, 0x07E0, 0x0821};
    for (int x = 0; x < 5; ++x)
        surface.Set(x, 0, pixels[x]);
    const std::string path = TempPath("surface.png");
    ASSERT_TRUE(WritePng(path, surface));
    RgbImage image;
    ASSERT_TRUE(ReadPngRgb(path, image));
    const std::vector<uint8_t> expected = {0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 0, 8, 4, 8};
    EXPECT_EQ(image.rgb, expected);
    std::remove(path.c_str());
}

TEST(Png, WriteRejectsBadArguments) {
    const std::string path = TempPath("bad.png");
    EXPECT_FALSE(WritePngRgb(path, 2, 2, std::vector<uint8_t>(11)));
    EXPECT_FALSE(WritePngRgb(path, 0, 2, {}));
    EXPECT_FALSE(WritePngRgb(path, -1, -1, std::vector<uint8_t>(3)));
    EXPECT_FALSE(WritePng(path, Surface(0, 0)));
    EXPECT_FALSE(WritePngRgb(TempPath("no/such/dir/x.png"), 1, 1, {1, 2, 3}));
}

TEST(Png, ReadsPaletteGrayDeepAndAlphaImagesAsRgb8) {
    RgbImage image;
    // Palette, 2 bits per index: indices 0, 1, 2, 3 in one byte.
    ASSERT_TRUE(ReadBuilt(
        {4, 1, 2, 3, {{0b00011011}}, {10, 20, 30, 40, 50, 60, 70, 80, 90, 1, 2, 3}}, image));
    EXPECT_EQ(image.rgb, (std::vector<uint8_t>{10, 20, 30, 40, 50, 60, 70, 80, 90, 1, 2, 3}));
    // Gray, 1 bit: black, white.
    ASSERT_TRUE(ReadBuilt({2, 1, 1, 0, {{0b01000000}}, {}}, image));
    EXPECT_EQ(image.rgb, (std::vector<uint8_t>{0, 0, 0, 255, 255, 255}));
    // Gray with alpha, 8 bits: the alpha is dropped, not blended.
    ASSERT_TRUE(ReadBuilt({1, 1, 8, 4, {{77, 0}}, {}}, image));
    EXPECT_EQ(image.rgb, (std::vector<uint8_t>{77, 77, 77}));
    // RGBA, 8 bits.
    ASSERT_TRUE(ReadBuilt({1, 2, 8, 6, {{1, 2, 3, 4}, {5, 6, 7, 8}}, {}}, image));
    EXPECT_EQ(image.rgb, (std::vector<uint8_t>{1, 2, 3, 5, 6, 7}));
    // RGB, 16 bits per channel: scaled to 8.
    ASSERT_TRUE(ReadBuilt({1, 1, 16, 2, {{0xFF, 0xFF, 0x00, 0x00, 0x80, 0x80}}, {}}, image));
    EXPECT_EQ(image.width, 1);
    EXPECT_EQ(image.rgb, (std::vector<uint8_t>{255, 0, 128}));
}

TEST(Png, DamagedFilesFailWithoutTouchingTheOutput) {
    const std::string good = TempPath("good.png");
    std::vector<uint8_t> rgb(16 * 16 * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<uint8_t>(i * 7);
    ASSERT_TRUE(WritePngRgb(good, 16, 16, rgb));
    const std::vector<uint8_t> bytes = ReadBytes(good);

    std::vector<std::vector<uint8_t>> damaged;
    for (size_t keep : {size_t{0}, size_t{8}, size_t{20}, size_t{40}, bytes.size() / 2,
                        bytes.size() - 12, bytes.size() - 1}) {
        damaged.emplace_back(bytes.begin(), bytes.begin() + static_cast<long>(keep));
    }
    std::vector<uint8_t> flipped = bytes;
    flipped[bytes.size() / 2] ^= 0x55; // inside the image data: CRC and zlib checks fail
    damaged.push_back(flipped);
    damaged.push_back(std::vector<uint8_t>(100, 0xAB)); // no signature
    // Valid chunks claiming a huge image must be refused, not allocated.
    damaged.push_back(BuildPng({100000, 100000, 8, 2, {{1, 2, 3}}, {}}));
    // A palette image whose palette is missing.
    damaged.push_back(BuildPng({1, 1, 8, 3, {{0}}, {}}));

    const std::string path = TempPath("damaged.png");
    for (size_t i = 0; i < damaged.size(); ++i) {
        WriteBytes(path, damaged[i]);
        RgbImage image{7, 9, {1}};
        EXPECT_FALSE(ReadPngRgb(path, image)) << "case " << i;
        EXPECT_EQ(image.width, 7) << "case " << i;
        EXPECT_EQ(image.rgb.size(), 1u) << "case " << i;
    }
    RgbImage image;
    EXPECT_FALSE(ReadPngRgb(TempPath("missing.png"), image));
    std::remove(path.c_str());
    std::remove(good.c_str());
}
