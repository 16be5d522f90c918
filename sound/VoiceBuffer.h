#pragma once
// The sample bytes a mixer voice plays, in the sound file's own format.
//
// A static buffer holds a whole sound, written once before it is played. A ring buffer holds
// part of a streamed sound and is refilled while it plays: one producer (the refill) and one
// consumer (the mixer) share it without a lock. Both count frames from the start of the
// playback: the producer may write only the frames the consumer is done with, and the
// consumer may read only the frames the producer has published. The counters are atomics
// with release/acquire order, so the bytes behind a published counter are visible to the
// other side.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace sound {

struct PcmFormat {
    uint16_t channels = 1; // 1 or 2
    uint16_t bits = 16;    // 8 (unsigned) or 16 (signed)
    uint32_t rate = 44100;
    uint16_t BlockAlign() const { return static_cast<uint16_t>(channels * bits / 8); }
};

class VoiceBuffer {
public:
    enum class Kind { Static, Ring };
    static constexpr uint64_t kNoEnd = UINT64_MAX;

    VoiceBuffer(const PcmFormat& format, size_t frames, Kind kind);
    VoiceBuffer(const VoiceBuffer&) = delete;
    VoiceBuffer& operator=(const VoiceBuffer&) = delete;

    const PcmFormat& Format() const { return format_; }
    Kind GetKind() const { return kind_; }
    size_t Frames() const { return frames_; }
    size_t FrameBytes() const { return format_.BlockAlign(); }
    const uint8_t* Data() const { return bytes_.data(); }
    // A static buffer's bytes, to be filled before any voice plays it.
    std::span<uint8_t> StaticBytes() { return bytes_; }

    // --- Ring, producer side ---
    uint64_t Written() const { return written_.load(std::memory_order_relaxed); }
    size_t FreeFrames() const;
    // The bytes of `count` frames starting at absolute frame `frame`: one span, or two when
    // the region wraps round the end of the ring.
    struct Region {
        std::span<uint8_t> first, second;
    };
    Region Writable(uint64_t frame, size_t count);
    // Makes `count` more frames readable.
    void Publish(size_t count);
    // No frames follow the ones published: the voice ends when it reaches them.
    void EndAtWritten();
    // Back to empty, for a new playback. Only while no voice plays the buffer.
    void Reset();

    // --- Ring, consumer side ---
    uint64_t Readable() const { return written_.load(std::memory_order_acquire); }
    uint64_t EndFrame() const { return end_.load(std::memory_order_acquire); }
    void Consume(uint64_t upTo) { consumed_.store(upTo, std::memory_order_release); }
    uint64_t Consumed() const { return consumed_.load(std::memory_order_acquire); }

    // Set by the mixer when a voice playing this buffer reached its end; taken by whoever
    // finishes the sound (the refill worker, or the main loop when mixing on the clock).
    bool TakeEnded() { return ended_.exchange(false, std::memory_order_acq_rel); }
    void SetEnded() { ended_.store(true, std::memory_order_release); }
    void ClearEnded() { ended_.store(false, std::memory_order_release); }

private:
    PcmFormat format_;
    Kind kind_;
    size_t frames_;
    std::vector<uint8_t> bytes_;
    std::atomic<uint64_t> written_{0};
    std::atomic<uint64_t> consumed_{0};
    std::atomic<uint64_t> end_{kNoEnd};
    std::atomic<bool> ended_{false};
};

} // namespace sound
