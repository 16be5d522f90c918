#include "graphics/FlicDecoder.h"

#include "FlicBuilders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace flictest;
using codecs::FlicDecoder;
using codecs::FlicStreamDecoder;
using platform::PixelShifts;

namespace {

// Decodes `frames` frames of a memory-mode animation; the picture of the last one.
std::vector<int> DecodeFrames(const Bytes& file, int width, int height, int frames) {
    FlicDecoder decoder;
    EXPECT_TRUE(decoder.Open(file, PixelShifts{})) << decoder.Error();
    Picture picture(width, height);
    for (int i = 0; i < frames; ++i)
        EXPECT_TRUE(decoder.NextFrame(picture.Canvas())) << decoder.Error();
    EXPECT_TRUE(picture.GuardsIntact());
    return picture.Indices(decoder.Lut());
}

// Frames k = 1..5 show index k everywhere; the ring frame shows 9 so that it can be told
// apart from frame 1.
Bytes FiveFrames() {
    std::vector<Bytes> frames;
    for (int k = 1; k <= 5; ++k)
        frames.push_back(LiteralFrame(2, {k, k}, k == 1));
    frames.push_back(LiteralFrame(2, {9, 9}));
    return Flic(2, 1, frames);
}

} // namespace

TEST(FlicDecoder, ByteRunRepeatsAndCopiesIncludingA128PixelLiteral) {
    Bytes rows = {0, 0x80}; // row 0: packet count 0 is not used; 0x80 copies 128 indices
    for (int i = 1; i <= 128; ++i)
        rows.push_back(static_cast<uint8_t>(i));
    rows.insert(rows.end(), {2, 200});                            // then 2 x index 200
    rows.insert(rows.end(), {3, 5, 7, 0xFD, 9, 10, 11, 122, 12}); // row 1
    const Bytes file = Flic(130, 2, {Frame({Palette256(0, 256), ByteRun(rows)})});
    std::vector<int> expected;
    for (int i = 1; i <= 128; ++i)
        expected.push_back(i);
    expected.insert(expected.end(), {200, 200, 7, 7, 7, 7, 7, 9, 10, 11});
    expected.insert(expected.end(), 122, 12);
    EXPECT_EQ(DecodeFrames(file, 130, 2, 1), expected);
}

TEST(FlicDecoder, DeltaFlcSkipsLinesColumnsAndSetsTheLastPixelOfOddRows) {
    Bytes delta;
    Put16(delta, 2);                            // two lines with packets
    Put16(delta, 0xFFFF);                       // skip one row
    Put16(delta, 0x8009);                       // last pixel of the row: index 9
    Put16(delta, 1);                            // one packet:
    delta.insert(delta.end(), {1, 1, 2, 3});    //   skip 1, copy the pair (2, 3)
    Put16(delta, 1);                            // next row, one packet:
    delta.insert(delta.end(), {0, 0xFE, 5, 6}); //  repeat the pair (5, 6) twice
    const Bytes file = Flic(5, 4,
                            {LiteralFrame(5, std::vector<int>(20, 1), true),
                             Frame({Chunk(codecs::kChunkDeltaFlc, delta)})});
    const std::vector<int> expected = {1, 1, 1, 1, 1, 1, 2, 3, 1, 9, 5, 6, 5, 6, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(DecodeFrames(file, 5, 4, 2), expected);
}

TEST(FlicDecoder, FliCopyDeltaFliBlackAndSkippedChunks) {
    const Bytes copy = {1, 2, 3, 4, 5, 6};
    Bytes fliDelta;
    Put16(fliDelta, 1); // first row
    Put16(fliDelta, 1); // one row: two packets, copy (7) after skipping 1, then 8 once
    fliDelta.insert(fliDelta.end(), {2, 1, 1, 7, 0, 0xFF, 8});
    const Bytes file =
        Flic(3, 2,
             {Frame({Palette256(0, 256), Chunk(codecs::kChunkFliCopy, copy),
                     Chunk(codecs::kChunkPostageStamp, {1, 2, 3}), Chunk(99, {0xFF, 0xFF})}),
              Frame({Chunk(codecs::kChunkDeltaFli, fliDelta)}),
              Frame({Chunk(codecs::kChunkBlack, {})})});
    EXPECT_EQ(DecodeFrames(file, 3, 2, 1), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(DecodeFrames(file, 3, 2, 2), (std::vector<int>{1, 2, 3, 4, 7, 8}));
    EXPECT_EQ(DecodeFrames(file, 3, 2, 3), (std::vector<int>(6, 0)));
}

TEST(FlicDecoder, PaletteChunksBuildTheLookupTable) {
    const PixelShifts shifts555 = platform::ShiftsFromFormat(platform::kFormat555);
    // COLOR_256 through the display's shifts; two packets with index skips set 2 and 6.
    Bytes packets;
    Put16(packets, 2);
    packets.insert(packets.end(), {2, 1, 255, 128, 8, 3, 1, 16, 32, 64});
    FlicDecoder decoder;
    Picture picture(1, 1);
    ASSERT_TRUE(
        decoder.Open(Flic(1, 1, {Frame({Chunk(codecs::kChunkColor256, packets)})}), shifts555));
    ASSERT_TRUE(decoder.NextFrame(picture.Canvas()));
    EXPECT_EQ(decoder.Palette()[2], (codecs::Rgb{255, 128, 8}));
    EXPECT_EQ(decoder.Lut()[2], shifts555.FromRgb(255, 128, 8));
    EXPECT_EQ(decoder.Lut()[6], shifts555.FromRgb(16, 32, 64));
    EXPECT_EQ(decoder.Lut()[1], 0);

    // COLOR_64: components x4, fixed packing whatever the display: (252, 132, 4) -> 0xFC00.
    Bytes six;
    Put16(six, 1);
    six.insert(six.end(), {5, 1, 63, 33, 1});
    ASSERT_TRUE(decoder.Open(Flic(1, 1, {Frame({Chunk(codecs::kChunkColor64, six)})}), shifts555));
    ASSERT_TRUE(decoder.NextFrame(picture.Canvas()));
    EXPECT_EQ(decoder.Palette()[5], (codecs::Rgb{252, 132, 4}));
    EXPECT_EQ(decoder.Lut()[5], 0xFC00);
}

TEST(FlicDecoder, PaletteChangeAffectsLaterPixelsAndTheColorKey) {
    Bytes delta;
    Put16(delta, 1);
    Put16(delta, 1);
    delta.insert(delta.end(), {0, 1, 1, 1}); // rewrite pixels 0 and 1 with index 1
    const Bytes newColors = {10, 20, 30, 40, 50, 60};
    const Bytes file =
        Flic(3, 1,
             {LiteralFrame(3, {1, 2, 2}, true),
              Frame({Palette256(0, 2, newColors), Chunk(codecs::kChunkDeltaFlc, delta)})});
    FlicDecoder decoder;
    ASSERT_TRUE(decoder.Open(file, PixelShifts{}));
    Picture picture(3, 1);
    ASSERT_TRUE(decoder.NextFrame(picture.Canvas()));
    const uint16_t oldTwo = decoder.Lut()[2];
    ASSERT_TRUE(decoder.NextFrame(picture.Canvas()));
    EXPECT_EQ(decoder.ColorKey(), PixelShifts{}.FromRgb(10, 20, 30));
    EXPECT_EQ(picture.At(0, 0), PixelShifts{}.FromRgb(40, 50, 60));
    EXPECT_EQ(picture.At(2, 0), oldTwo); // not redrawn: keeps the old colour
}

TEST(FlicDecoder, FramesLoopThroughTheRingFrameAndSetFrameOnlyGoesForwards) {
    FlicDecoder decoder;
    ASSERT_TRUE(decoder.Open(FiveFrames(), PixelShifts{}));
    Picture picture(2, 1);
    auto shown = [&] {
        return std::pair(decoder.CurrentFrame(), picture.Indices(decoder.Lut())[0]);
    };
    EXPECT_EQ(decoder.CurrentFrame(), 0);
    for (int k = 1; k <= 4; ++k)
        ASSERT_TRUE(decoder.NextFrame(picture.Canvas()));
    ASSERT_TRUE(decoder.SetFrame(3, picture.Canvas())); // 5, ring (shown as 1), 2, 3
    EXPECT_EQ(shown(), std::pair(3, 3));
    ASSERT_TRUE(decoder.SetFrame(7, picture.Canvas())); // beyond N: exactly one frame
    EXPECT_EQ(shown(), std::pair(4, 4));
    ASSERT_TRUE(decoder.SetFrame(0, picture.Canvas()));
    ASSERT_TRUE(decoder.SetFrame(4, picture.Canvas()));
    EXPECT_EQ(shown(), std::pair(4, 4));
    ASSERT_TRUE(decoder.SetFrame(-1, picture.Canvas()));
    ASSERT_TRUE(decoder.SetFrame(-1, picture.Canvas())); // after frame N: the ring frame
    EXPECT_EQ(shown(), std::pair(1, 9));
    ASSERT_TRUE(decoder.SetFrame(-1, picture.Canvas()));
    EXPECT_EQ(shown(), std::pair(2, 2));
}

TEST(FlicDecoder, FliFilesStartAfterTheHeaderAndCountSpeedInTicks) {
    const Bytes fli = Flic(2, 1, {LiteralFrame(2, {4, 5}, true), LiteralFrame(2, {6, 7})}, 1,
                           codecs::kFliMagic, 5);
    FlicDecoder decoder;
    ASSERT_TRUE(decoder.Open(fli, PixelShifts{}));
    EXPECT_EQ(decoder.FrameTime(), 75);
    EXPECT_EQ(DecodeFrames(fli, 2, 1, 1), (std::vector<int>{4, 5}));
    EXPECT_EQ(DecodeFrames(fli, 2, 1, 2), (std::vector<int>{6, 7})); // the ring frame

    ASSERT_TRUE(decoder.Open(Flic(2, 1, {LiteralFrame(2, {1, 1})}, 1, codecs::kFlcMagic, 0),
                             PixelShifts{}));
    EXPECT_EQ(decoder.FrameTime(), 1);
}

TEST(FlicDecoder, WithoutARingFrameFrameOneIsDrawnAgain) {
    const Bytes file = Flic(2, 1, {LiteralFrame(2, {1, 2}, true), LiteralFrame(2, {3, 4})}, 2);
    EXPECT_EQ(DecodeFrames(file, 2, 1, 3), (std::vector<int>{1, 2}));
    EXPECT_EQ(DecodeFrames(file, 2, 1, 4), (std::vector<int>{3, 4}));
}

TEST(FlicDecoder, OpenRefusesBadHeaders) {
    const Bytes good = Flic(2, 1, {LiteralFrame(2, {1, 1}), LiteralFrame(2, {1, 1})});
    auto with = [&](size_t at, uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    const std::vector<Bytes> bad = {with(4, 0x13), // magic
                                    with(6, 0),    // no frames
                                    with(8, 0),    // no width
                                    with(82, 1),   // frame 1 outside the file
                                    Bytes(good.begin(), good.begin() + 100)};
    for (const Bytes& file : bad) {
        FlicDecoder decoder;
        EXPECT_FALSE(decoder.Open(file, PixelShifts{}));
        EXPECT_FALSE(decoder.Valid());
        EXPECT_FALSE(decoder.Error().empty());
        Picture picture(2, 1);
        EXPECT_FALSE(decoder.NextFrame(picture.Canvas()));
    }
}

TEST(FlicStreamDecoder, ShowsFramesInOrderThenRestartsAtFrameTwoWithoutTheRingFrame) {
    FlicStreamDecoder stream;
    ASSERT_TRUE(stream.Open(std::make_unique<MemorySource>(FiveFrames()), PixelShifts{}));
    Picture picture(2, 1);
    std::vector<std::pair<int, int>> shown;
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(stream.NextFrame(picture.Canvas())) << stream.Error();
        shown.emplace_back(stream.CurrentFrame(), picture.Indices(stream.Lut())[0]);
    }
    const std::vector<std::pair<int, int>> expected = {{1, 1}, {2, 2}, {3, 3}, {4, 4},
                                                       {5, 5}, {1, 5}, {2, 2}, {3, 3}};
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(picture.GuardsIntact());
}

TEST(FlicStreamDecoder, SkipsFramesLargerThanItsBuffer) {
    const Bytes huge(codecs::MaxStreamFrameSize(2, 1), 0);
    const Bytes file =
        Flic(2, 1,
             {LiteralFrame(2, {1, 2}, true), Frame({Chunk(77, huge), ByteRun({1, 2, 3})}),
              LiteralFrame(2, {4, 4}), LiteralFrame(2, {1, 2})});
    FlicStreamDecoder stream;
    ASSERT_TRUE(stream.Open(std::make_unique<MemorySource>(file), PixelShifts{}));
    Picture picture(2, 1);
    ASSERT_TRUE(stream.NextFrame(picture.Canvas()));
    ASSERT_TRUE(stream.NextFrame(picture.Canvas()));
    EXPECT_EQ(stream.CurrentFrame(), 2);
    EXPECT_EQ(picture.Indices(stream.Lut()), (std::vector<int>{1, 2}));
    ASSERT_TRUE(stream.NextFrame(picture.Canvas()));
    EXPECT_EQ(picture.Indices(stream.Lut()), (std::vector<int>{4, 4}));
    // Memory mode has no such limit.
    EXPECT_EQ(DecodeFrames(file, 2, 1, 2), (std::vector<int>{3, 3}));
}
