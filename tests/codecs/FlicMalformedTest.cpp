// Corrupt animations: every fault must end in a refusal, never in a read or write outside
// the data or the destination (the guard pixels around the frame stay untouched; run under
// AddressSanitizer for the reads).
#include "graphics/FlicDecoder.h"

#include "FlicBuilders.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace flictest;
using codecs::FlicDecoder;
using platform::PixelShifts;

namespace {

constexpr int kWidth = 4;
constexpr int kHeight = 2;

Bytes Words(std::initializer_list<uint32_t> words) {
    Bytes out;
    for (uint32_t w : words)
        Put16(out, w);
    return out;
}

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A valid frame 1 followed by a frame 2 holding `chunkBytes` (chunk headers included).
Bytes WithSecondFrame(const Bytes& chunkBytes, int chunkCount = 1) {
    Bytes second = Frame({chunkBytes});
    second[6] = static_cast<uint8_t>(chunkCount);
    return Flic(kWidth, kHeight,
                {LiteralFrame(kWidth, std::vector<int>(8, 1), true), second,
                 LiteralFrame(kWidth, std::vector<int>(8, 1))});
}

Bytes RawChunk(uint32_t size, uint16_t type, const Bytes& data) {
    Bytes out;
    Put32(out, size);
    Put16(out, type);
    return Cat(out, data);
}

// Decodes up to `frames` frames; true when all of them decoded.
bool DecodeAll(codecs::FlicPlayback& decoder, Picture& picture, int frames) {
    for (int i = 0; i < frames; ++i)
        if (!decoder.NextFrame(picture.Canvas())) return false;
    return true;
}

// Frames with every chunk kind the decoder draws, and the ring frame.
Bytes MixedAnimation() {
    Bytes delta = Words({2, 1});
    delta = Cat(delta, {1, 1, 7, 8});
    delta = Cat(delta, Words({1}));
    delta = Cat(delta, {0, 0xFF, 9, 9});
    Bytes fli = Words({0, 1});
    fli = Cat(fli, {1, 0, 0xFE, 3});
    return Flic(
        kWidth, kHeight,
        {LiteralFrame(kWidth, {1, 2, 3, 4, 5, 6, 7, 8}, true),
         Frame({Chunk(codecs::kChunkDeltaFlc, delta)}),
         Frame({Chunk(codecs::kChunkDeltaFli, fli), Chunk(codecs::kChunkColor64, Words({0}))}),
         Frame({Chunk(codecs::kChunkFliCopy, Bytes(8, 2))}),
         LiteralFrame(kWidth, {1, 2, 3, 4, 5, 6, 7, 8})});
}

} // namespace

TEST(FlicMalformed, EveryFaultyChunkIsRefused) {
    const Bytes pairRow = Cat(Words({1, 1}), {3, 1, 5, 5});
    const std::vector<std::pair<std::string, Bytes>> cases = {
        {"repeat past the row", ByteRun({0, 5, 1, 0, 4, 1})},
        {"literal past the row", ByteRun({0, 0xFB, 1, 2, 3, 4, 5, 0, 4, 1})},
        {"runs end early", ByteRun({0, 2, 1})},
        {"delta lines past the last row", Chunk(codecs::kChunkDeltaFlc, Words({3, 0, 0, 0}))},
        {"delta skip past the last row", Chunk(codecs::kChunkDeltaFlc, Words({1, 0xFFFE, 0}))},
        {"delta packets missing",
         Chunk(codecs::kChunkDeltaFlc, Cat(Words({1, 0x7FFF}), {0, 1, 5, 5}))},
        {"delta column skip past the row",
         Chunk(codecs::kChunkDeltaFlc, Cat(Words({1, 1}), {5, 0}))},
        {"delta pair copy past the row", Chunk(codecs::kChunkDeltaFlc, pairRow)},
        {"delta pair repeat past the row",
         Chunk(codecs::kChunkDeltaFlc, Cat(Words({1, 1}), {0, 0xFD, 5, 5}))},
        {"line delta past the last row", Chunk(codecs::kChunkDeltaFli, Words({1, 2, 0, 0}))},
        {"line delta repeat past the row",
         Chunk(codecs::kChunkDeltaFli, Cat(Words({0, 1}), {1, 2, 0xFD, 5}))},
        {"copy too short", Chunk(codecs::kChunkFliCopy, Bytes(7, 1))},
        {"palette past colour 255",
         Chunk(codecs::kChunkColor256, Cat(Words({1}), {255, 2, 1, 2, 3, 4, 5, 6}))},
        {"palette cut short", Chunk(codecs::kChunkColor64, Cat(Words({1}), {0, 0, 1, 2, 3}))},
        {"chunk smaller than its header", RawChunk(3, codecs::kChunkBlack, {})},
        {"chunk past the frame", RawChunk(1000, 99, {})},
    };
    for (const auto& [name, chunk] : cases) {
        FlicDecoder decoder;
        ASSERT_TRUE(decoder.Open(WithSecondFrame(chunk), PixelShifts{})) << name;
        Picture picture(kWidth, kHeight);
        ASSERT_TRUE(decoder.NextFrame(picture.Canvas())) << name;
        EXPECT_FALSE(decoder.NextFrame(picture.Canvas())) << name;
        EXPECT_FALSE(decoder.Valid()) << name;
        EXPECT_NE(decoder.Error().find("frame 2"), std::string::npos) << name << decoder.Error();
        EXPECT_FALSE(decoder.NextFrame(picture.Canvas())) << name << ": stays invalid";
        EXPECT_TRUE(picture.GuardsIntact()) << name;
    }
    // A chunk count larger than the chunks present.
    FlicDecoder decoder;
    ASSERT_TRUE(decoder.Open(WithSecondFrame(Chunk(codecs::kChunkBlack, {}), 2), PixelShifts{}));
    Picture picture(kWidth, kHeight);
    EXPECT_FALSE(DecodeAll(decoder, picture, 2));
}

TEST(FlicMalformed, DestinationsSmallerThanTheFrameAreRefused) {
    FlicDecoder decoder;
    ASSERT_TRUE(decoder.Open(MixedAnimation(), PixelShifts{}));
    std::vector<uint16_t> pixels(kWidth * kHeight - 1);
    EXPECT_FALSE(decoder.NextFrame({pixels, kWidth}));
    ASSERT_TRUE(decoder.Open(MixedAnimation(), PixelShifts{}));
    pixels.resize(100);
    EXPECT_FALSE(decoder.NextFrame({pixels, kWidth - 1}));
}

TEST(FlicMalformed, TruncatedFilesFailInBothModes) {
    const Bytes full = MixedAnimation();
    std::vector<codecs::FlicFrameInfo> frames;
    std::string error;
    codecs::FlicHeader header;
    ASSERT_TRUE(codecs::ParseFlicHeader(full, header, error));
    ASSERT_TRUE(codecs::ListFlicFrames(full, header, frames, error)) << error;
    ASSERT_EQ(frames.size(), 5u);
    const size_t ringStart = frames.back().offset; // cut there, the file just lacks the ring
    for (size_t length = 0; length < full.size(); ++length) {
        const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
        FlicDecoder memory;
        Picture picture(kWidth, kHeight);
        const bool memoryOk = memory.Open(cut, PixelShifts{}) && DecodeAll(memory, picture, 6);
        EXPECT_EQ(memoryOk, length == ringStart) << length;
        codecs::FlicStreamDecoder stream;
        // Streaming never reads the ring frame: only a cut inside frames 1..4 is noticed.
        const bool streamOk = stream.Open(std::make_unique<MemorySource>(cut), PixelShifts{}) &&
                              DecodeAll(stream, picture, 6);
        EXPECT_EQ(streamOk, length >= ringStart) << length;
        EXPECT_TRUE(picture.GuardsIntact()) << length;
    }
}

TEST(FlicMalformed, RandomlyDamagedFilesNeverTouchOutsideTheFrame) {
    const Bytes valid = MixedAnimation();
    uint32_t seed = 12345;
    auto random = [&seed](uint32_t range) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % range;
    };
    for (int round = 0; round < 3000; ++round) {
        Bytes damaged = valid;
        for (uint32_t n = 1 + random(3); n > 0; --n)
            damaged[random(static_cast<uint32_t>(damaged.size()))] =
                static_cast<uint8_t>(random(256));
        Picture picture(kWidth, kHeight);
        FlicDecoder memory;
        if (memory.Open(damaged, PixelShifts{})) DecodeAll(memory, picture, 12);
        codecs::FlicStreamDecoder stream;
        if (stream.Open(std::make_unique<MemorySource>(damaged), PixelShifts{}))
            DecodeAll(stream, picture, 12);
        ASSERT_TRUE(picture.GuardsIntact()) << "round " << round;
    }
}
