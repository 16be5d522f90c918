// FLC/FLI animations in both playback modes, as the engine plays them: a lap and a bit of
// frames decoded onto a destination with guard pixels around the frame that must stay as
// they are, and the frame walk of tarvo-tool flic info.
#include "fuzz/FuzzTarget.h"
#include "graphics/FlicDecoder.h"
#include "graphics/FlicEncoder.h"

#include "codecs/FlicBuilders.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Frames decoded per input: enough for a lap of a small animation, bounded in pixels so that
// an input of a few thousand frames of a large picture stays quick.
constexpr uint64_t kMaxPixelsDecoded = 64 << 20;
constexpr int kMaxFramesDecoded = 300;
constexpr uint16_t kGuard = 0xBEEF;

class BytesSource final : public codecs::FlicSource {
public:
    explicit BytesSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool ReadAt(uint64_t offset, std::span<uint8_t> out) override {
        fuzz::Require(offset <= bytes_.size() && out.size() <= bytes_.size() - offset,
                      "streaming reads stay inside the file");
        std::memcpy(out.data(), bytes_.data() + offset, out.size());
        return true;
    }

private:
    std::span<const uint8_t> bytes_;
};

// The frame with a guard column on the right and a guard row below.
struct Destination {
    int width, height, pitch;
    std::vector<uint16_t> pixels;

    Destination(int w, int h)
        : width(w), height(h), pitch(w + 1), pixels(static_cast<size_t>(pitch) * (h + 1), kGuard) {}
    codecs::FlicCanvas Canvas() { return {pixels, pitch}; }
    bool GuardsIntact() const {
        for (int y = 0; y <= height; ++y)
            for (int x = y < height ? width : 0; x < pitch; ++x)
                if (pixels[static_cast<size_t>(y) * pitch + x] != kGuard) return false;
        return true;
    }
};

void Play(codecs::FlicPlayback& decoder) {
    Destination destination(decoder.Width(), decoder.Height());
    const uint64_t pixels = uint64_t(decoder.Width()) * uint64_t(decoder.Height());
    const int frames = static_cast<int>(std::min<uint64_t>(
        {uint64_t(decoder.FrameCount()) + 2, kMaxFramesDecoded, kMaxPixelsDecoded / pixels + 1}));
    for (int i = 0; i < frames && decoder.NextFrame(destination.Canvas()); ++i)
        fuzz::Require(decoder.CurrentFrame() >= 1 && decoder.CurrentFrame() <= decoder.FrameCount(),
                      "frame numbers stay within 1..N");
    fuzz::Require(destination.GuardsIntact(), "decoding writes only inside the frame");
    decoder.SetFrame(1, destination.Canvas());
    fuzz::Require(destination.GuardsIntact(), "decoding writes only inside the frame");
}

} // namespace

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    using namespace flictest;
    std::vector<Seed> seeds;
    // Every chunk kind the decoder draws, in FLC and FLI files.
    Bytes delta;
    for (int v : {2, 0, 0x8003, 1, 1, 0xFFFE, 1, 0, 0x81}) // two rows, a skip, a last pixel
        Put16(delta, static_cast<uint32_t>(v));
    Bytes fliDelta = {1, 0, 2, 0, 1, 0, 2, 5, 6, 1, 1, 0xFE, 9};
    Bytes palette64 = {1, 0, 0, 2, 63, 0, 0, 0, 63, 0};
    seeds.push_back(
        {"chunks.flc",
         Flic(5, 4,
              {LiteralFrame(5, std::vector<int>(20, 3), true),
               Frame({Chunk(codecs::kChunkDeltaFlc, delta)}),
               Frame({Chunk(codecs::kChunkColor64, palette64), Chunk(codecs::kChunkBlack, {})}),
               Frame({Chunk(codecs::kChunkFliCopy, Bytes(20, 7))})})});
    seeds.push_back({"delta.fli", Flic(3, 3,
                                       {LiteralFrame(3, std::vector<int>(9, 1), true),
                                        Frame({Chunk(codecs::kChunkDeltaFli, fliDelta),
                                               Chunk(codecs::kChunkPostageStamp, {1, 2, 3})})},
                                       2, codecs::kFliMagic, 5)});
    seeds.push_back({"huge-header.flc", ClaimedSizeFlic(65535, 65535)});
    // An animation as the engine's encoder writes it: a sprite moving over a background.
    codecs::IndexedAnimation a;
    a.width = 24;
    a.height = 16;
    for (int k = 0; k < 4; ++k) {
        std::vector<uint8_t> frame(24 * 16, 1);
        for (int y = 4; y < 9; ++y)
            std::fill_n(frame.begin() + y * 24 + 3 * k, 5, static_cast<uint8_t>(10 + k));
        a.frames.push_back(frame);
    }
    codecs::EncodedFlic encoded;
    std::string error;
    if (codecs::EncodeFlic(a, encoded, error)) seeds.push_back({"encoded.flc", encoded.flc});
    return seeds;
}

TARVO_FUZZ_TARGET(data, size) {
    const std::span<const uint8_t> file = fuzz::Input(data, size);
    codecs::FlicDecoder memory;
    if (memory.Open({file.begin(), file.end()}, platform::PixelShifts{})) Play(memory);
    codecs::FlicStreamDecoder streaming;
    if (streaming.Open(std::make_unique<BytesSource>(file), platform::PixelShifts{}))
        Play(streaming);
    codecs::FlicHeader header;
    std::string error;
    if (codecs::ParseFlicHeader(file, header, error)) {
        std::vector<codecs::FlicFrameInfo> frames;
        codecs::ListFlicFrames(file, header, frames, error);
        fuzz::Require(frames.size() <= size_t(header.frameCount) + 1, "the walk ends at the ring");
    }
    return 0;
}
