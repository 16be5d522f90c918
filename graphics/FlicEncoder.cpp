#include "graphics/FlicEncoder.h"

#include <algorithm>

#include "graphics/FlicDecoder.h"
#include "platform/ByteWriter.h"
#include "platform/ImageBudget.h"

namespace codecs {

using platform::Rect;

namespace {

constexpr int kBandRows = 16;
constexpr int kBridgeGap = 8;
constexpr int kMaxReplicate = 127;   // BYTE_RUN: t >= 0 repeats
constexpr int kMaxLiteral = 128;     // BYTE_RUN: t = -128 copies 128
constexpr int kMaxPairRun = 128;     // DELTA_FLC: t = -128 repeats a pair 128 times
constexpr int kMaxPairLiteral = 127; // DELTA_FLC: t = 127 copies 127 pairs
constexpr int kMaxLineSkip = 16384;  // 0xC000, the largest skip whose word keeps the top bits 11
constexpr int kMaxColumnSkip = 255;
constexpr uint16_t kFrameType = 0xF1FA;
constexpr uint16_t kHeaderFlags = 3; // "written completely and closed", as finished files carry

using platform::ByteWriter;

// --- Frame data ------------------------------------------------------------------------------

int RunLength(const uint8_t* row, int x, int width, int limit) {
    int n = 1;
    while (x + n < width && n < limit && row[x + n] == row[x])
        ++n;
    return n;
}

void EncodeByteRunRow(const uint8_t* row, int width, ByteWriter& out) {
    ByteWriter packets;
    int count = 0;
    int x = 0;
    while (x < width) {
        const int run = RunLength(row, x, width, kMaxReplicate);
        if (run >= 3) {
            packets.U8(static_cast<uint32_t>(run));
            packets.U8(row[x]);
            x += run;
        } else {
            // Literal bytes up to the next run worth repeating.
            int n = 0;
            while (x + n < width && n < kMaxLiteral && RunLength(row, x + n, width, 3) < 3)
                ++n;
            n = std::max(n, 1);
            packets.U8(static_cast<uint32_t>(256 - n));
            for (int i = 0; i < n; ++i)
                packets.U8(row[x + i]);
            x += n;
        }
        ++count;
    }
    out.U8(static_cast<uint32_t>(std::min(count, 255)));
    out.Bytes(packets.Data());
}

uint16_t PairAt(const uint8_t* row, int pair) {
    return static_cast<uint16_t>(row[2 * pair] | (row[2 * pair + 1] << 8));
}

bool PairChanged(const uint8_t* before, const uint8_t* after, int pair) {
    return PairAt(before, pair) != PairAt(after, pair);
}

// The pixel-pair packets of one changed row; returns how many were written.
int EncodeFlcPackets(const uint8_t* before, const uint8_t* after, int width, ByteWriter& out) {
    const int pairs = width / 2;
    int packets = 0;
    int x = 0; // pixel position after the last packet
    for (int p = 0; p < pairs;) {
        if (!PairChanged(before, after, p)) {
            ++p;
            continue;
        }
        int skip = 2 * p - x;
        while (skip > kMaxColumnSkip) {
            out.U8(kMaxColumnSkip - 1); // keeps x even; a packet of no pairs
            out.U8(0);
            ++packets;
            skip -= kMaxColumnSkip - 1;
        }
        out.U8(static_cast<uint32_t>(skip));
        int run = 1;
        while (p + run < pairs && run < kMaxPairRun && PairAt(after, p + run) == PairAt(after, p))
            ++run;
        if (run >= 2) {
            out.U8(static_cast<uint32_t>(256 - run));
            out.U16(PairAt(after, p));
        } else {
            run = 0;
            while (p + run < pairs && run < kMaxPairLiteral && PairChanged(before, after, p + run))
                ++run;
            out.U8(static_cast<uint32_t>(run));
            for (int i = 0; i < run; ++i)
                out.U16(PairAt(after, p + i));
        }
        p += run;
        x = 2 * p;
        ++packets;
    }
    return packets;
}

} // namespace

std::vector<uint8_t> EncodeByteRun(const std::vector<uint8_t>& frame, int width, int height) {
    ByteWriter out;
    for (int y = 0; y < height; ++y)
        EncodeByteRunRow(frame.data() + static_cast<size_t>(y) * width, width, out);
    return out.Take();
}

std::vector<uint8_t> EncodeDeltaFlc(const std::vector<uint8_t>& previous,
                                    const std::vector<uint8_t>& current, int width, int height) {
    ByteWriter out;
    out.U16(0); // line count, patched below
    int lines = 0;
    int skipped = 0;
    const bool oddWidth = width % 2 != 0;
    for (int y = 0; y < height; ++y) {
        const uint8_t* before = previous.data() + static_cast<size_t>(y) * width;
        const uint8_t* after = current.data() + static_cast<size_t>(y) * width;
        if (std::equal(before, before + width, after)) {
            ++skipped;
            continue;
        }
        while (skipped > kMaxLineSkip) {
            // One skip word per line: an unchanged row without packets carries the rest.
            out.U16(0x10000 - kMaxLineSkip);
            out.U16(0);
            ++lines;
            skipped -= kMaxLineSkip + 1;
        }
        if (skipped > 0) out.U16(0x10000 - static_cast<uint32_t>(skipped));
        skipped = 0;
        // Pairs cannot reach the last pixel of an odd row; a last-pixel word sets it.
        if (oddWidth && before[width - 1] != after[width - 1]) out.U16(0x8000u | after[width - 1]);
        const size_t countAt = out.Size();
        out.U16(0);
        out.PatchU16(countAt, static_cast<uint32_t>(EncodeFlcPackets(before, after, width, out)));
        ++lines;
    }
    if (lines == 0) return {};
    out.PatchU16(0, static_cast<uint32_t>(lines));
    return out.Take();
}

std::vector<Rect> CoverPixels(int width, int height, const std::vector<uint8_t>& marked) {
    std::vector<Rect> rects;
    std::vector<uint8_t> columns(static_cast<size_t>(width));
    for (int y0 = 0; y0 < height; y0 += kBandRows) {
        const int y1 = std::min(height, y0 + kBandRows);
        std::fill(columns.begin(), columns.end(), 0);
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < width; ++x)
                columns[x] |= marked[static_cast<size_t>(y) * width + x] != 0;
        const size_t bandStart = rects.size();
        for (int x = 0; x < width;) {
            if (!columns[x]) {
                ++x;
                continue;
            }
            int end = x + 1; // one past the last marked column of this run
            for (int next = end; next < width && next < end + kBridgeGap; ++next)
                if (columns[next]) end = next + 1;
            // Trim to the rows of the band that hold marked pixels in the run.
            auto rowMarked = [&](int y) {
                const uint8_t* row = marked.data() + static_cast<size_t>(y) * width;
                return std::any_of(row + x, row + end, [](uint8_t m) { return m != 0; });
            };
            int top = y0;
            while (!rowMarked(top))
                ++top;
            int bottom = y1;
            while (!rowMarked(bottom - 1))
                --bottom;
            rects.push_back(Rect{x, top, end, bottom});
            x = end;
        }
        // Join with an equal-width rectangle of the band above that touches this one.
        for (size_t i = bandStart; i < rects.size();) {
            auto above = std::find_if(rects.begin(), rects.begin() + bandStart, [&](const Rect& r) {
                return r.left == rects[i].left && r.right == rects[i].right &&
                       r.bottom == rects[i].top;
            });
            if (above == rects.begin() + bandStart) {
                ++i;
                continue;
            }
            above->bottom = rects[i].bottom;
            rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    return rects;
}

namespace {

std::vector<uint8_t> PaletteChunkData(const FlicPalette& palette) {
    ByteWriter out;
    out.U16(1); // one packet: skip 0, count 0 = all 256 colours
    out.U8(0);
    out.U8(0);
    for (const Rgb& c : palette) {
        out.U8(c.r);
        out.U8(c.g);
        out.U8(c.b);
    }
    return out.Take();
}

void AppendChunk(ByteWriter& frame, uint16_t type, const std::vector<uint8_t>& data) {
    // Chunks keep even sizes, as FLC readers of old expect.
    const size_t padded = data.size() + (data.size() % 2);
    frame.U32(static_cast<uint32_t>(kChunkHeaderSize + padded));
    frame.U16(type);
    frame.Bytes(data);
    if (padded != data.size()) frame.U8(0);
}

// A frame of the given chunks (type, data); chunks with empty data are left out.
void AppendFrame(ByteWriter& file,
                 const std::vector<std::pair<uint16_t, std::vector<uint8_t>>>& chunks) {
    ByteWriter frame;
    frame.U32(0);
    frame.U16(kFrameType);
    int count = 0;
    for (const auto& chunk : chunks)
        count += chunk.second.empty() ? 0 : 1;
    frame.U16(static_cast<uint32_t>(count));
    for (int i = 0; i < 8; ++i)
        frame.U8(0);
    for (const auto& [type, data] : chunks)
        if (!data.empty()) AppendChunk(frame, type, data);
    frame.PatchU32(0, static_cast<uint32_t>(frame.Size()));
    file.Bytes(frame.Data());
}

std::vector<uint8_t> WriteFlc(const IndexedAnimation& a) {
    ByteWriter file;
    file.Reserve(kFlicHeaderSize);
    const int n = static_cast<int>(a.frames.size());
    AppendFrame(file, {{kChunkColor256, PaletteChunkData(a.palette)},
                       {kChunkByteRun, EncodeByteRun(a.frames[0], a.width, a.height)}});
    const size_t secondFrame = file.Size();
    for (int k = 1; k <= n; ++k) {
        // k == n is the ring frame: from frame N back to frame 1.
        const std::vector<uint8_t>& next = a.frames[static_cast<size_t>(k % n)];
        AppendFrame(file,
                    {{kChunkDeltaFlc, EncodeDeltaFlc(a.frames[k - 1], next, a.width, a.height)}});
    }
    file.PatchU32(0, static_cast<uint32_t>(file.Size()));
    file.PatchU16(4, kFlcMagic);
    file.PatchU16(6, static_cast<uint32_t>(n));
    file.PatchU16(8, static_cast<uint32_t>(a.width));
    file.PatchU16(10, static_cast<uint32_t>(a.height));
    file.PatchU16(12, 8); // bits per pixel
    file.PatchU16(14, kHeaderFlags);
    file.PatchU32(16, static_cast<uint32_t>(a.frameTime));
    file.PatchU16(38, 1); // pixel aspect 1:1
    file.PatchU16(40, 1);
    file.PatchU32(80, static_cast<uint32_t>(kFlicHeaderSize));
    file.PatchU32(84, static_cast<uint32_t>(secondFrame));
    return file.Take();
}

Rect Union(const Rect& a, const Rect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

bool Validate(const IndexedAnimation& a, std::string& error) {
    if (a.width < 1 || a.height < 1 || a.width > kMaxEncodedSize || a.height > kMaxEncodedSize)
        error = "frame size must be 1.." + std::to_string(kMaxEncodedSize);
    else if (!platform::FitsImageBudget(a.width, a.height))
        error = "a frame of " + platform::ImageBudgetRefusal(a.width, a.height);
    else if (a.frames.empty() || a.frames.size() > 0xFFFF)
        error = "an animation has 1..65535 frames";
    else if (a.frameTime < 1 || a.frameTime > 0xFFFF)
        error = "frame time must be 1..65535 ms";
    for (const std::vector<uint8_t>& frame : a.frames)
        if (error.empty() && frame.size() != static_cast<size_t>(a.width) * a.height)
            error = "a frame does not hold width x height pixels";
    return error.empty();
}

} // namespace

bool EncodeFlic(const IndexedAnimation& a, EncodedFlic& out, std::string& error) {
    error.clear();
    if (!Validate(a, error)) return false;
    EncodedFlic result;
    result.flc = WriteFlc(a);
    const size_t n = a.frames.size();
    const size_t pixels = a.frames[0].size();
    std::vector<uint8_t> marked(pixels);
    for (size_t k = 0; k < n; ++k) {
        const std::vector<uint8_t>& frame = a.frames[k];
        const std::vector<uint8_t>& previous = a.frames[(k + n - 1) % n];
        for (size_t i = 0; i < pixels; ++i)
            marked[i] = frame[i] != 0;
        result.maskLists.push_back(CoverPixels(a.width, a.height, marked));
        for (const Rect& r : result.maskLists.back())
            result.bounds = Union(result.bounds, r);
        for (size_t i = 0; i < pixels; ++i)
            marked[i] = frame[i] != previous[i];
        result.changeLists.push_back(CoverPixels(a.width, a.height, marked));
    }
    result.mask = WriteMaskFile(result.maskLists, result.bounds);
    result.change = WriteRectLists(result.changeLists);
    out = std::move(result);
    return true;
}

} // namespace codecs
