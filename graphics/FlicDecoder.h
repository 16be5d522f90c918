#pragma once
// FLC/FLI animations: the 128-byte file header, the walk from frame to frame and playback in
// two modes that share the chunk decoder (graphics/FlicChunks.h):
//
//  - FlicDecoder holds the whole file in memory. After frame N the file holds a ring frame
//    N + 1 that turns the picture of frame N back into frame 1; playback decodes it and goes
//    on with frame 2, so the numbers shown are 1, 2, ..., N, 1, 2, ...
//  - FlicStreamDecoder reads one frame at a time from a FlicSource into a buffer of a fixed
//    size. It shows frames 1..N; the step after frame N keeps the picture, sets the number to
//    1 and playback goes on with frame 2 (the ring frame is not read in this mode).
//
// A fault while decoding marks the decoder invalid for good: it decodes nothing more.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "graphics/FlicChunks.h"

namespace codecs {

inline constexpr uint16_t kFlcMagic = 0xAF12;
inline constexpr uint16_t kFliMagic = 0xAF11;
inline constexpr size_t kFlicHeaderSize = 128;

struct FlicHeader {
    uint32_t fileSize = 0; // as stored at offset 0; informative only
    uint16_t magic = 0;
    int frameCount = 0;
    int width = 0;
    int height = 0;
    uint16_t speed = 0; // low half of the 32-bit field at offset 16
    int frameTime = 1;  // milliseconds per frame: speed for FLC, speed x 15 for FLI, at least 1
    uint32_t firstFrameOffset = 0;  // offset 80; 0 in FLI files
    uint32_t secondFrameOffset = 0; // offset 84; 0 in FLI files
};

// Why an animation was refused: not an animation at all (a short header or a wrong magic),
// a picture over the image budget (platform/ImageBudget.h), or damaged frames.
enum class FlicFault { None, NotFlic, TooLarge, Damaged };

// Reads the header fields; fails on a short header, a wrong magic, no frames, a zero size or
// a size over the image budget, which is checked before anything is allocated for it.
bool ParseFlicHeader(std::span<const uint8_t> header, FlicHeader& out, std::string& error,
                     FlicFault* fault = nullptr);

// Where frame 1 starts: offset 80, or 128 (right after the header) when it is 0.
uint32_t FirstFrameOffset(const FlicHeader& header);

struct FlicChunkInfo {
    uint16_t type = 0;
    uint32_t size = 0;
};

struct FlicFrameInfo {
    uint32_t offset = 0;
    uint32_t size = 0;
    std::vector<FlicChunkInfo> chunks;
};

// Walks frames 1..N and the ring frame without decoding them. Stops at the first frame or
// chunk that leaves the file (false, with the reason); `frames` keeps the frames before it.
bool ListFlicFrames(std::span<const uint8_t> file, const FlicHeader& header,
                    std::vector<FlicFrameInfo>& frames, std::string& error);

// What both playback modes share: the header, the chunk decoder and the frame numbering.
class FlicPlayback {
public:
    virtual ~FlicPlayback() = default;

    int FrameCount() const { return header_.frameCount; }
    int FrameTime() const { return header_.frameTime; }
    int Width() const { return header_.width; }
    int Height() const { return header_.height; }
    const FlicHeader& Header() const { return header_; }
    // 0 before the first frame, then the number of the frame shown (1..N).
    int CurrentFrame() const { return current_; }
    // The pixel value of palette index 0, the transparent colour.
    uint16_t ColorKey() const { return frames_.Lut()[0]; }
    const FlicPalette& Palette() const { return frames_.Palette(); }
    const FlicLut& Lut() const { return frames_.Lut(); }
    bool Valid() const { return valid_; }
    // Why Open or decoding failed.
    const std::string& Error() const { return error_; }
    FlicFault Fault() const { return fault_; }

    // Decodes the next frame onto the canvas (which holds the previous frame's picture).
    bool NextFrame(const FlicCanvas& canvas);
    // Shows frame n: -1 or n > N decode one frame; 1..N decode forwards (through the loop
    // point if needed) until frame n is shown; 0 or the current number do nothing.
    bool SetFrame(int n, const FlicCanvas& canvas);

protected:
    bool Start(const FlicHeader& header, const platform::PixelShifts& shifts);
    bool DecodeFrame(std::span<const uint8_t> frame, const FlicCanvas& canvas);
    bool Refuse(const std::string& reason, FlicFault fault = FlicFault::Damaged);
    // Moves on by one frame: decodes it (or, in streaming mode, skips it) and sets current_.
    virtual bool Advance(const FlicCanvas& canvas) = 0;

    FlicHeader header_;
    int current_ = 0;

private:
    FlicFrameDecoder frames_;
    bool valid_ = false;
    std::string error_;
    FlicFault fault_ = FlicFault::None;
};

// Memory mode: the decoder keeps the file's bytes.
class FlicDecoder : public FlicPlayback {
public:
    bool Open(std::vector<uint8_t> file, const platform::PixelShifts& shifts);

private:
    bool Advance(const FlicCanvas& canvas) override;
    // The bytes of the frame at `offset`, or an empty span when it leaves the file.
    std::span<const uint8_t> FrameAt(size_t offset) const;

    std::vector<uint8_t> file_;
    size_t firstFrame_ = 0;
    size_t secondFrame_ = 0;
    size_t next_ = 0; // the frame decoded next
};

// Random-access reads of an animation file for streaming mode.
class FlicSource {
public:
    virtual ~FlicSource() = default;
    virtual uint64_t Size() const = 0;
    // Fills `out` from `offset`; all or nothing.
    virtual bool ReadAt(uint64_t offset, std::span<uint8_t> out) = 0;
};

// The largest frame streaming mode reads: any frame a sane writer produces for the size (a
// DELTA_FLC of single pixel pairs takes 2 bytes per pixel), plus room for palette and stamp
// chunks. Larger frames are skipped and leave the picture as it is.
size_t MaxStreamFrameSize(int width, int height);

class FlicStreamDecoder : public FlicPlayback {
public:
    bool Open(std::unique_ptr<FlicSource> source, const platform::PixelShifts& shifts);

private:
    bool Advance(const FlicCanvas& canvas) override;
    // The size of the frame at `offset`; false when its header or its bytes leave the file.
    bool FrameSizeAt(uint64_t offset, uint32_t& size);

    std::unique_ptr<FlicSource> source_;
    std::vector<uint8_t> buffer_;
    uint64_t secondFrame_ = 0;
    uint64_t next_ = 0;
};

} // namespace codecs
