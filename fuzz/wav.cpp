// RIFF WAVE files as a sound loads them: the chunk walk, the format check, the data the file
// really holds, and the first reads of it, whole for a short sound and one chunk of the ring
// for a streamed one; then a moment of it mixed, as the mixer plays it.
#include "fuzz/FuzzTarget.h"
#include "sound/Mixer.h"
#include "sound/VoiceBuffer.h"
#include "sound/WaveFile.h"

#include "support/Waves.h"

#include <memory>

namespace {

using testing_support::RiffBuilder;
using Bytes = std::vector<uint8_t>;

constexpr size_t kMixedFrames = 4096;

void Mix(const std::shared_ptr<sound::VoiceBuffer>& buffer, uint32_t rate, bool loop) {
    sound::Mixer mixer;
    const sound::Mixer::VoiceId voice = mixer.Add(buffer);
    mixer.SetFrequency(voice, rate);
    mixer.Play(voice, loop);
    std::vector<int16_t> out(2 * kMixedFrames);
    mixer.Mix(out);
    mixer.Remove(voice);
}

// A short sound: its held data read whole into a static buffer.
void PlayStatic(sound::WaveSource& source, const sound::WaveLayout& layout,
                const sound::PcmFormat& pcm, uint32_t held) {
    auto buffer = std::make_shared<sound::VoiceBuffer>(pcm, held / pcm.BlockAlign(),
                                                       sound::VoiceBuffer::Kind::Static);
    fuzz::Require(source.ReadAt(layout.dataOffset, buffer->StaticBytes()),
                  "the held data lies inside the file");
    Mix(buffer, 0, true);
}

// A streamed sound: a ring of three chunks, the first one filled (or all there is of a data
// chunk cut short by the file's end).
void PlayStreamed(sound::WaveSource& source, const sound::WaveLayout& layout,
                  const sound::PcmFormat& pcm, uint32_t held) {
    const uint32_t chunk = sound::StreamChunkBytes(layout.format);
    fuzz::Require(chunk > 0 && chunk % pcm.BlockAlign() == 0, "chunks hold whole frames");
    auto buffer = std::make_shared<sound::VoiceBuffer>(pcm, 3 * chunk / pcm.BlockAlign(),
                                                       sound::VoiceBuffer::Kind::Ring);
    const size_t first = std::min(chunk, held) / pcm.BlockAlign();
    const sound::VoiceBuffer::Region region = buffer->Writable(0, first);
    fuzz::Require(region.second.empty(), "the first chunk does not wrap");
    fuzz::Require(source.ReadAt(layout.dataOffset, region.first),
                  "the first chunk lies inside the file");
    // The last frames of the held data, where a stream's final refill reads.
    Bytes last(std::min<uint32_t>(held, pcm.BlockAlign()));
    fuzz::Require(source.ReadAt(layout.dataOffset + held - last.size(), last),
                  "the last held frame lies inside the file");
    buffer->Publish(first);
    if (first * pcm.BlockAlign() == held) buffer->EndAtWritten();
    Mix(buffer, 2 * layout.format.samplesPerSec, false);
}

Bytes Samples(size_t count) {
    Bytes b(count);
    for (size_t i = 0; i < count; ++i)
        b[i] = static_cast<uint8_t>(i * 37 + (i >> 7));
    return b;
}

} // namespace

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    using testing_support::WaveBytes;
    const Bytes fmt16 = RiffBuilder::Format(2, 22050, 16);
    return {
        {"mono8.wav", WaveBytes({1, 8, 11025}, Samples(300))},
        {"stereo16.wav", WaveBytes({2, 16, 44100}, Samples(800))},
        // Five seconds at 1000 Hz, 8-bit: the shortest kind of streamed sound.
        {"streamed.wav", WaveBytes({1, 8, 1000}, Samples(5000))},
        {"old-format.wav", RiffBuilder()
                               .Chunk("fmt ", RiffBuilder::Format(1, 8000, 8, 14))
                               .Chunk("data", Samples(64))
                               .Bytes()},
        {"chunks.wav", RiffBuilder()
                           .Chunk("LIST", Bytes(5, 'x'))
                           .Chunk("data", Samples(81))
                           .Chunk("fmt ", RiffBuilder::Format(1, 22050, 8, 18))
                           .Bytes()},
        // The data chunk claims more than follows it: played as far as the file goes.
        {"cut-short.wav",
         RiffBuilder().Chunk("fmt ", fmt16).Chunk("data", Samples(60), 400).Bytes()},
    };
}

TARVO_FUZZ_TARGET(data, size) {
    // Reads outside the file fail, and the reads below must not fail.
    sound::MemoryWaveSource source(fuzz::Input(data, size));
    sound::WaveLayout layout;
    std::string reason;
    if (!sound::ParseWaveLayout(source, layout, reason)) {
        fuzz::Require(!reason.empty(), "a refused file has a reason");
        return 0;
    }
    fuzz::Require(layout.dataOffset <= size, "the data starts inside the file");
    fuzz::Require(layout.dataSize <= size, "a file shorter than its data is refused");
    fuzz::Require(layout.formatSize >= 14, "the format chunk holds 14 bytes or more");
    if (!sound::IsPlayableFormat(layout.format, reason)) return 0;
    const sound::PcmFormat pcm{layout.format.channels, layout.format.bitsPerSample,
                               layout.format.samplesPerSec};
    fuzz::Require(pcm.BlockAlign() == layout.format.blockAlign, "the block is one frame");
    const uint32_t held = sound::HeldDataBytes(layout, size);
    fuzz::Require(held <= layout.dataSize && held % pcm.BlockAlign() == 0 &&
                      layout.dataOffset + held <= size,
                  "the held data is whole frames inside the file");
    if (sound::IsStreamed(layout))
        PlayStreamed(source, layout, pcm, held);
    else
        PlayStatic(source, layout, pcm, held);
    return 0;
}
