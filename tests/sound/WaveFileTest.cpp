// Wave files as the engine finds their chunks, and the formats the mixer refuses.
#include <gtest/gtest.h>

#include "sound/WaveFile.h"
#include "support/Waves.h"

using testing_support::RiffBuilder;
using Bytes = std::vector<uint8_t>;

namespace {

bool Parse(const Bytes& file, sound::WaveLayout& layout, std::string& reason) {
    sound::MemoryWaveSource source(file);
    return sound::ParseWaveLayout(source, layout, reason);
}

const Bytes kData(40, 0x11);

} // namespace

TEST(WaveFile, FindsTheChunksInAnyOrder) {
    struct Case {
        const char* what;
        Bytes file;
        uint64_t dataOffset;
        uint16_t bits;
    };
    const Bytes fmt = RiffBuilder::Format(1, 22050, 16);
    const Case cases[] = {
        {"canonical", RiffBuilder().Chunk("fmt ", fmt).Chunk("data", kData).Bytes(), 44, 16},
        {"data before fmt", RiffBuilder().Chunk("data", kData).Chunk("fmt ", fmt).Bytes(), 20, 16},
        // An odd chunk is followed by a pad byte: 12 + 8 + 3 + 1, then fmt, then data.
        {"odd chunk padded",
         RiffBuilder().Chunk("LIST", Bytes(3, 7)).Chunk("fmt ", fmt).Chunk("data", kData).Bytes(),
         12 + 12 + 24 + 8, 16},
        {"a longer format chunk",
         RiffBuilder()
             .Chunk("fmt ", RiffBuilder::Format(1, 22050, 16, 18))
             .Chunk("data", kData)
             .Bytes(),
         12 + 26 + 8, 16},
        // The oldest layout has no sample size: it follows from the block size.
        {"14-byte format",
         RiffBuilder()
             .Chunk("fmt ", RiffBuilder::Format(2, 11025, 8, 14))
             .Chunk("data", kData)
             .Bytes(),
         12 + 22 + 8, 8},
        {"second data chunk ignored",
         RiffBuilder().Chunk("data", kData).Chunk("data", Bytes(2)).Chunk("fmt ", fmt).Bytes(), 20,
         16},
    };
    for (const Case& c : cases) {
        sound::WaveLayout layout;
        std::string reason;
        ASSERT_TRUE(Parse(c.file, layout, reason)) << c.what << ": " << reason;
        EXPECT_EQ(layout.dataOffset, c.dataOffset) << c.what;
        EXPECT_EQ(layout.dataSize, kData.size()) << c.what;
        EXPECT_EQ(layout.format.bitsPerSample, c.bits) << c.what;
    }
}

TEST(WaveFile, RefusesBrokenFiles) {
    struct Case {
        const char* what;
        Bytes file;
        const char* reason;
    };
    const Bytes fmt = RiffBuilder::Format(1, 22050, 16);
    Bytes notWave = RiffBuilder().Chunk("fmt ", fmt).Chunk("data", kData).Bytes();
    notWave[8] = 'A';
    const Bytes whole = RiffBuilder().Chunk("fmt ", fmt).Chunk("data", kData).Bytes();
    const Case cases[] = {
        {"empty", {}, "shorter than a RIFF header"},
        {"not WAVE", notWave, "not a RIFF WAVE file"},
        {"no data", RiffBuilder().Chunk("fmt ", fmt).Bytes(), "no data chunk"},
        {"no format", RiffBuilder().Chunk("data", kData).Bytes(), "no format chunk"},
        {"short format", RiffBuilder().Chunk("fmt ", Bytes(12)).Chunk("data", kData).Bytes(),
         "format chunk shorter than 14 bytes"},
        // Truncated inside the data's chunk header: the data chunk is never seen.
        {"truncated", Bytes(whole.begin(), whole.begin() + 40), "no data chunk"},
        // The RIFF size ends the file before the data chunk.
        {"RIFF size too small", RiffBuilder().Chunk("fmt ", fmt).Chunk("data", kData).Bytes(28),
         "no data chunk"},
        {"huge data size",
         RiffBuilder().Chunk("fmt ", fmt).Chunk("data", kData, 0xFFFFFFF0).Bytes(),
         "file shorter than its data (4294967280 bytes)"},
        // A huge chunk before the format leaps over the end of the file.
        {"huge chunk before the format",
         RiffBuilder()
             .Chunk("JUNK", Bytes(4), 0x7FFFFFFF)
             .Chunk("fmt ", fmt)
             .Chunk("data", kData)
             .Bytes(),
         "no format chunk"},
    };
    for (const Case& c : cases) {
        sound::WaveLayout layout;
        std::string reason;
        EXPECT_FALSE(Parse(c.file, layout, reason)) << c.what;
        EXPECT_EQ(reason, c.reason) << c.what;
    }
}

TEST(WaveFile, PlayableFormats) {
    auto format = [](uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
        sound::WaveFormat f{tag, channels, rate, 0, static_cast<uint16_t>(channels * bits / 8),
                            bits};
        f.avgBytesPerSec = rate * f.blockAlign;
        return f;
    };
    struct Case {
        sound::WaveFormat f;
        bool playable;
        const char* reason;
    };
    sound::WaveFormat noBlock = format(1, 1, 22050, 16);
    noBlock.blockAlign = 0;
    sound::WaveFormat wrongRate = format(1, 2, 22050, 16);
    wrongRate.avgBytesPerSec = 1;
    const Case cases[] = {
        {format(1, 1, 11025, 8), true, ""},
        {format(1, 2, 48000, 16), true, ""},
        {format(1, 1, 1, 8), true, ""},
        {format(3, 1, 22050, 16), false, "not PCM (format tag 3)"},
        {format(1, 0, 22050, 16), false, "0 channels (1 or 2 are played)"},
        {format(1, 6, 22050, 16), false, "6 channels (1 or 2 are played)"},
        {format(1, 1, 0, 16), false, "0 Hz (1 to 192000 are played)"},
        {format(1, 1, 22050, 24), false, "24 bits per sample (8 or 16 are played)"},
        {noBlock, false, "block align 0 does not fit the format"},
        {wrongRate, false, "byte rate 1 does not fit the format"},
    };
    for (const Case& c : cases) {
        std::string reason;
        EXPECT_EQ(sound::IsPlayableFormat(c.f, reason), c.playable) << c.reason;
        EXPECT_EQ(reason, c.reason);
    }
}

TEST(WaveFile, FiveSecondsAndMoreAreStreamedInChunksOfFourThirdsOfASecond) {
    sound::WaveLayout layout;
    layout.format = {1, 1, 22050, 44100, 2, 16};
    layout.dataSize = 44100 * 5 - 2; // 4.99 s: under five whole seconds
    EXPECT_FALSE(sound::IsStreamed(layout));
    layout.dataSize = 44100 * 5;
    EXPECT_TRUE(sound::IsStreamed(layout));
    EXPECT_EQ(sound::StreamChunkBytes(layout.format), 58800u);
    EXPECT_EQ(sound::StreamChunkBytes({1, 1, 11025, 11025, 1, 8}), 14700u);
    // 1001 Hz stereo 16-bit: 5338 bytes, rounded up to whole frames of 4 bytes.
    EXPECT_EQ(sound::StreamChunkBytes({1, 2, 1001, 4004, 4, 16}), 5340u);
}

TEST(WaveFile, OnlyTheWholeFramesTheFileHoldsArePlayed) {
    struct Case {
        const char* what;
        uint32_t dataSize;
        uint64_t fileSize;
        uint16_t blockAlign;
        uint32_t held;
    };
    // The data starts at byte 44 in each case.
    const Case cases[] = {
        {"all there", 40, 84, 2, 40},
        {"file longer than the data", 40, 200, 2, 40},
        {"data cut by the file's end", 40, 70, 2, 26},
        {"cut inside a frame", 40, 71, 4, 24},
        {"stored size not whole frames", 41, 200, 4, 40},
        {"no data bytes after the header", 40, 44, 2, 0},
        {"file ends before the data offset", 40, 30, 2, 0},
        {"huge stored size", 0xFFFFFFFF, 1044, 2, 1000},
    };
    for (const Case& c : cases) {
        sound::WaveLayout layout;
        layout.format = {1, 1, 22050, 44100, c.blockAlign, 16};
        layout.dataOffset = 44;
        layout.dataSize = c.dataSize;
        EXPECT_EQ(sound::HeldDataBytes(layout, c.fileSize), c.held) << c.what;
    }
}
