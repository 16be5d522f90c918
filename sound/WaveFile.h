#pragma once
// RIFF WAVE files: where the format and the sample data lie, and whether the mixer can play
// them. Pure code over a byte source, so that the engine (through the file layer), the tool
// (a file on disk) and the tests (byte arrays) parse alike.
#include <cstdint>
#include <span>
#include <string>

namespace sound {

// The "fmt " chunk in its PCM layout.
struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

struct WaveLayout {
    WaveFormat format;
    uint32_t formatSize = 0; // the "fmt " chunk's size as stored
    uint64_t dataOffset = 0; // file offset of the first sample byte
    uint32_t dataSize = 0;   // the "data" chunk's size as stored
};

// Random access to the file's bytes.
class WaveSource {
public:
    virtual ~WaveSource() = default;
    virtual uint64_t Size() const = 0;
    // Fills `out` from `offset`; false when the file does not hold that many bytes there.
    virtual bool ReadAt(uint64_t offset, std::span<uint8_t> out) = 0;
};

class MemoryWaveSource final : public WaveSource {
public:
    explicit MemoryWaveSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool ReadAt(uint64_t offset, std::span<uint8_t> out) override;

private:
    std::span<const uint8_t> bytes_;
};

// Finds the "fmt " and "data" chunks, in either order, skipping other chunks (odd sizes are
// followed by a pad byte). False with a reason when the file is no RIFF WAVE, a chunk is
// missing, the format is shorter than 14 bytes, or the file is shorter than its data.
bool ParseWaveLayout(WaveSource& source, WaveLayout& out, std::string& reason);

// Whether the mixer plays this format: PCM, 1 or 2 channels, 8 or 16 bits, 1..192,000 Hz,
// and a block size and byte rate that agree with them. False with a reason otherwise.
bool IsPlayableFormat(const WaveFormat& format, std::string& reason);

// The bytes of the data that a file of `fileSize` bytes really holds from the data offset on,
// cut to whole sample frames: a data chunk whose size runs past the file's end is played as
// far as the file goes, and never read beyond it.
uint32_t HeldDataBytes(const WaveLayout& layout, uint64_t fileSize);

// Sounds whose data lasts under this many whole seconds are held in memory whole; longer
// ones are streamed.
inline constexpr uint32_t kStaticSeconds = 5;

bool IsStreamed(const WaveLayout& layout);
// The size of one of the three chunks of a streamed sound's buffer: 4/3 second of data,
// rounded up to whole sample frames.
uint32_t StreamChunkBytes(const WaveFormat& format);

} // namespace sound
