#include "sound/VoiceBuffer.h"

#include <algorithm>

namespace sound {

VoiceBuffer::VoiceBuffer(const PcmFormat& format, size_t frames, Kind kind)
    : format_(format), kind_(kind), frames_(frames), bytes_(frames * format.BlockAlign()) {
    if (kind == Kind::Static) {
        written_.store(frames, std::memory_order_relaxed);
        end_.store(frames, std::memory_order_relaxed);
    }
}

size_t VoiceBuffer::FreeFrames() const {
    const uint64_t filled = Written() - consumed_.load(std::memory_order_acquire);
    return filled >= frames_ ? 0 : static_cast<size_t>(frames_ - filled);
}

VoiceBuffer::Region VoiceBuffer::Writable(uint64_t frame, size_t count) {
    Region region;
    if (frames_ == 0) return region;
    count = std::min(count, frames_);
    const size_t frameBytes = FrameBytes();
    const size_t start = static_cast<size_t>(frame % frames_);
    const size_t firstCount = std::min(count, frames_ - start);
    region.first = std::span(bytes_.data() + start * frameBytes, firstCount * frameBytes);
    region.second = std::span(bytes_.data(), (count - firstCount) * frameBytes);
    return region;
}

void VoiceBuffer::Publish(size_t count) {
    written_.store(Written() + count, std::memory_order_release);
}

void VoiceBuffer::EndAtWritten() {
    end_.store(Written(), std::memory_order_release);
}

void VoiceBuffer::Reset() {
    written_.store(0, std::memory_order_relaxed);
    consumed_.store(0, std::memory_order_relaxed);
    end_.store(kNoEnd, std::memory_order_relaxed);
    ended_.store(false, std::memory_order_relaxed);
}

} // namespace sound
