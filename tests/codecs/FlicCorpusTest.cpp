// Conformance with animations written by other tools: every frame, the ring frame included,
// must equal the reference decode (NAME.ref/frame_NNN.png, 24-bit) reduced to 5-6-5 (green
// to five bits for COLOR_64 palettes, whose fixed packing keeps only five).
#include "graphics/FlicDecoder.h"

#include "platform/Png.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

fs::path CorpusFolder() {
    for (const fs::path& candidate : {fs::path(TARVO_SOURCE_DIR "/../shared/corpus/flic"),
                                      fs::path("/work/shared/corpus/flic")})
        if (fs::is_directory(candidate)) return candidate;
    return {};
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool UsesColor64(const std::vector<uint8_t>& file, const codecs::FlicHeader& header) {
    std::vector<codecs::FlicFrameInfo> frames;
    std::string error;
    codecs::ListFlicFrames(file, header, frames, error);
    for (const codecs::FlicFrameInfo& frame : frames)
        for (const codecs::FlicChunkInfo& chunk : frame.chunks)
            if (chunk.type == codecs::kChunkColor64) return true;
    return false;
}

uint16_t Reduce(const uint8_t* rgb, bool fiveBitGreen) {
    const int green = fiveBitGreen ? (rgb[1] >> 3) << 1 : rgb[1] >> 2;
    return static_cast<uint16_t>(((rgb[0] >> 3) << 11) | (green << 5) | (rgb[2] >> 3));
}

// The number of pixels that differ, and a description of the first.
int CountDifferences(const std::vector<uint16_t>& decoded, const platform::RgbImage& reference,
                     int width, bool fiveBitGreen, std::string& first) {
    int differing = 0;
    for (size_t i = 0; i < decoded.size(); ++i) {
        const uint16_t expected = Reduce(&reference.rgb[3 * i], fiveBitGreen);
        if (decoded[i] == expected) continue;
        if (differing++ == 0) {
            char text[96];
            std::snprintf(text, sizeof text, "first at (%zu, %zu): decoded %04X, reference %04X",
                          i % width, i / width, decoded[i], expected);
            first = text;
        }
    }
    return differing;
}

} // namespace

TEST(FlicCorpus, EveryFrameMatchesTheReferenceDecode) {
    const fs::path folder = CorpusFolder();
    if (folder.empty()) GTEST_SKIP() << "reference corpus not found (../shared/corpus/flic)";
    int checkedFiles = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const fs::path path = entry.path();
        if (path.extension() != ".flc" && path.extension() != ".fli") continue;
        SCOPED_TRACE(path.filename().string());
        std::vector<uint8_t> bytes = ReadAll(path);
        codecs::FlicDecoder decoder;
        ASSERT_TRUE(decoder.Open(bytes, platform::PixelShifts{})) << decoder.Error();
        const bool fiveBitGreen = UsesColor64(bytes, decoder.Header());
        const int width = decoder.Width(), height = decoder.Height();
        std::vector<uint16_t> pixels(static_cast<size_t>(width) * height);
        const fs::path refs = folder / (path.stem().string() + ".ref");
        for (int frame = 1; frame <= decoder.FrameCount() + 1; ++frame) {
            ASSERT_TRUE(decoder.NextFrame({pixels, width}))
                << "frame " << frame << ": " << decoder.Error();
            char name[32];
            std::snprintf(name, sizeof name, "frame_%03d.png", frame);
            platform::RgbImage reference;
            ASSERT_TRUE(platform::ReadPngRgb((refs / name).string(), reference)) << name;
            ASSERT_EQ(reference.width, width);
            ASSERT_EQ(reference.height, height);
            std::string first;
            EXPECT_EQ(CountDifferences(pixels, reference, width, fiveBitGreen, first), 0)
                << name << ": " << first;
        }
        char extra[32]; // every reference frame was compared
        std::snprintf(extra, sizeof extra, "frame_%03d.png", decoder.FrameCount() + 2);
        EXPECT_FALSE(fs::exists(refs / extra));
        ++checkedFiles;
    }
    EXPECT_GT(checkedFiles, 0) << "no .flc or .fli files in " << folder;
}
