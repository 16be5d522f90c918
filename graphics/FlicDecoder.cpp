#include "graphics/FlicDecoder.h"

#include "platform/ByteReader.h"
#include "platform/ImageBudget.h"

namespace codecs {

using platform::ByteReader;

namespace {

// FLI speeds count 1/70 s ticks; the engine has always taken each tick as 15 ms.
constexpr int kFliTickMs = 15;

std::string FrameName(int number, int frameCount) {
    if (number > frameCount) return "ring frame " + std::to_string(number);
    return "frame " + std::to_string(number);
}

// The size field of a frame that starts at `offset` in a file of `fileSize` bytes, when the
// whole frame (at least its header) lies inside the file.
bool FrameFits(uint64_t offset, uint32_t size, uint64_t fileSize) {
    return offset <= fileSize && size >= kFrameHeaderSize && size <= fileSize - offset;
}

bool ListChunks(std::span<const uint8_t> frame, FlicFrameInfo& info, std::string& error) {
    ByteReader in(frame);
    in.Seek(6);
    const int chunkCount = in.U16();
    in.Seek(kFrameHeaderSize);
    for (int i = 0; i < chunkCount; ++i) {
        const size_t start = in.Tell();
        FlicChunkInfo chunk;
        chunk.size = in.U32();
        chunk.type = in.U16();
        if (in.Failed() || chunk.size < kChunkHeaderSize || chunk.size > frame.size() - start) {
            error = "chunk " + std::to_string(i + 1) + " leaves the frame";
            return false;
        }
        info.chunks.push_back(chunk);
        in.Seek(start + chunk.size);
    }
    return true;
}

} // namespace

bool ParseFlicHeader(std::span<const uint8_t> header, FlicHeader& out, std::string& error,
                     FlicFault* fault) {
    FlicFault ignored;
    FlicFault& why = fault != nullptr ? *fault : ignored;
    why = FlicFault::NotFlic;
    ByteReader in(header);
    FlicHeader h;
    h.fileSize = in.U32();
    h.magic = in.U16();
    h.frameCount = in.U16();
    h.width = in.U16();
    h.height = in.U16();
    in.Seek(16);
    h.speed = in.U16();
    in.Seek(80);
    h.firstFrameOffset = in.U32();
    h.secondFrameOffset = in.U32();
    if (in.Failed() || header.size() < kFlicHeaderSize) {
        error = "file shorter than the 128-byte header";
        return false;
    }
    if (h.magic != kFlcMagic && h.magic != kFliMagic) {
        error = "not an FLC or FLI file (magic " + std::to_string(h.magic) + ")";
        return false;
    }
    why = FlicFault::Damaged;
    if (h.frameCount == 0 || h.width == 0 || h.height == 0) {
        error = "no frames or an empty picture";
        return false;
    }
    if (!platform::FitsImageBudget(h.width, h.height)) {
        why = FlicFault::TooLarge;
        error = "a picture of " + platform::ImageBudgetRefusal(h.width, h.height);
        return false;
    }
    why = FlicFault::None;
    h.frameTime = h.magic == kFliMagic ? h.speed * kFliTickMs : h.speed;
    if (h.frameTime == 0) h.frameTime = 1;
    out = h;
    return true;
}

uint32_t FirstFrameOffset(const FlicHeader& header) {
    return header.firstFrameOffset != 0 ? header.firstFrameOffset
                                        : static_cast<uint32_t>(kFlicHeaderSize);
}

bool ListFlicFrames(std::span<const uint8_t> file, const FlicHeader& header,
                    std::vector<FlicFrameInfo>& frames, std::string& error) {
    frames.clear();
    uint64_t offset = FirstFrameOffset(header);
    for (int number = 1; number <= header.frameCount + 1; ++number) {
        // A file may end without a ring frame; playback then decodes frame 1 again.
        if (number > header.frameCount && offset == file.size()) return true;
        uint32_t size = 0;
        if (!ByteReader::U32At(file, offset, size) || !FrameFits(offset, size, file.size())) {
            error = FrameName(number, header.frameCount) + " leaves the file";
            return false;
        }
        FlicFrameInfo info;
        info.offset = static_cast<uint32_t>(offset);
        info.size = size;
        std::string why;
        const bool chunksOk = ListChunks(file.subspan(offset, size), info, why);
        frames.push_back(std::move(info));
        if (!chunksOk) {
            error = FrameName(number, header.frameCount) + ": " + why;
            return false;
        }
        offset += size;
    }
    return true;
}

// --- Playback --------------------------------------------------------------------------------

bool FlicPlayback::Start(const FlicHeader& header, const platform::PixelShifts& shifts) {
    header_ = header;
    current_ = 0;
    frames_.Reset(header.width, header.height, shifts);
    valid_ = true;
    error_.clear();
    fault_ = FlicFault::None;
    return true;
}

bool FlicPlayback::Refuse(const std::string& reason, FlicFault fault) {
    valid_ = false;
    error_ = reason;
    fault_ = fault;
    return false;
}

bool FlicPlayback::DecodeFrame(std::span<const uint8_t> frame, const FlicCanvas& canvas) {
    if (frames_.Decode(frame, canvas)) return true;
    return Refuse(FrameName(current_ + 1, header_.frameCount) + ": " + frames_.Error());
}

bool FlicPlayback::NextFrame(const FlicCanvas& canvas) {
    return valid_ && Advance(canvas);
}

bool FlicPlayback::SetFrame(int n, const FlicCanvas& canvas) {
    if (!valid_) return false;
    if (n == 0 || n == current_) return true;
    if (n < 0 || n > header_.frameCount) return Advance(canvas);
    // Frames only go forwards: at most one lap (N + 1 decodes, the ring frame included).
    while (current_ != n)
        if (!Advance(canvas)) return false;
    return true;
}

// --- Memory mode -----------------------------------------------------------------------------

std::span<const uint8_t> FlicDecoder::FrameAt(size_t offset) const {
    uint32_t size = 0;
    if (!ByteReader::U32At(file_, offset, size) || !FrameFits(offset, size, file_.size()))
        return {};
    return std::span<const uint8_t>(file_).subspan(offset, size);
}

bool FlicDecoder::Open(std::vector<uint8_t> file, const platform::PixelShifts& shifts) {
    file_ = std::move(file);
    FlicHeader header;
    std::string error;
    FlicFault fault;
    if (!ParseFlicHeader(file_, header, error, &fault)) return Refuse(error, fault);
    firstFrame_ = FirstFrameOffset(header);
    const std::span<const uint8_t> first = FrameAt(firstFrame_);
    if (first.empty()) return Refuse("frame 1 leaves the file");
    secondFrame_ =
        header.secondFrameOffset != 0 ? header.secondFrameOffset : firstFrame_ + first.size();
    next_ = firstFrame_;
    return Start(header, shifts);
}

bool FlicDecoder::Advance(const FlicCanvas& canvas) {
    const bool ringDue = current_ == header_.frameCount;
    if (ringDue && next_ == file_.size()) {
        // No ring frame in the file: frame 1 is drawn again instead.
        current_ = 0;
        next_ = firstFrame_;
    }
    const std::span<const uint8_t> frame = FrameAt(next_);
    if (frame.empty())
        return Refuse(FrameName(current_ + 1, header_.frameCount) + " leaves the file");
    if (!DecodeFrame(frame, canvas)) return false;
    if (current_ == header_.frameCount) {
        next_ = secondFrame_;
        current_ = 1;
    } else {
        next_ += frame.size();
        ++current_;
    }
    return true;
}

// --- Streaming mode --------------------------------------------------------------------------

size_t MaxStreamFrameSize(int width, int height) {
    constexpr size_t kRoomForOtherChunks = 65536;
    return 2 * static_cast<size_t>(width) * static_cast<size_t>(height) + kRoomForOtherChunks;
}

bool FlicStreamDecoder::FrameSizeAt(uint64_t offset, uint32_t& size) {
    uint8_t field[4];
    const uint64_t fileSize = source_->Size();
    if (offset > fileSize || fileSize - offset < kFrameHeaderSize) return false;
    if (!source_->ReadAt(offset, field)) return false;
    return ByteReader::U32At(field, 0, size) && FrameFits(offset, size, fileSize);
}

bool FlicStreamDecoder::Open(std::unique_ptr<FlicSource> source,
                             const platform::PixelShifts& shifts) {
    source_ = std::move(source);
    if (!source_) return Refuse("no file", FlicFault::NotFlic);
    uint8_t headerBytes[kFlicHeaderSize];
    if (source_->Size() < kFlicHeaderSize || !source_->ReadAt(0, headerBytes))
        return Refuse("file shorter than the 128-byte header", FlicFault::NotFlic);
    FlicHeader header;
    std::string error;
    FlicFault fault;
    if (!ParseFlicHeader(headerBytes, header, error, &fault)) return Refuse(error, fault);
    next_ = FirstFrameOffset(header);
    uint32_t firstSize = 0;
    if (!FrameSizeAt(next_, firstSize)) return Refuse("frame 1 leaves the file");
    secondFrame_ = header.secondFrameOffset != 0 ? header.secondFrameOffset : next_ + firstSize;
    // No frame can be larger than the file; small files get a small buffer.
    const uint64_t bufferSize =
        std::min<uint64_t>(MaxStreamFrameSize(header.width, header.height), source_->Size());
    buffer_.assign(static_cast<size_t>(bufferSize), 0);
    return Start(header, shifts);
}

bool FlicStreamDecoder::Advance(const FlicCanvas& canvas) {
    if (current_ == header_.frameCount) {
        // The step after the last frame: the picture stays, numbering and frames restart
        // at frame 2 (the ring frame is not read).
        current_ = 1;
        next_ = secondFrame_;
        return true;
    }
    uint32_t size = 0;
    if (!FrameSizeAt(next_, size))
        return Refuse(FrameName(current_ + 1, header_.frameCount) + " leaves the file");
    if (size <= buffer_.size()) {
        const std::span<uint8_t> frame(buffer_.data(), size);
        if (!source_->ReadAt(next_, frame))
            return Refuse("cannot read " + FrameName(current_ + 1, header_.frameCount));
        if (!DecodeFrame(frame, canvas)) return false;
    }
    next_ += size;
    ++current_;
    return true;
}

} // namespace codecs
