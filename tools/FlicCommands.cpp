// tarvo-tool flic info|frames|encode: FLC/FLI animations with their mask (.MSK) and change
// (.MS2) rectangle files.
#include "tools/Command.h"

#include "graphics/FlicDecoder.h"
#include "graphics/FlicEncoder.h"
#include "graphics/FlicQuantize.h"
#include "graphics/FlicRects.h"
#include "platform/Files.h"
#include "platform/PixelFormat.h"
#include "platform/Png.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace tools {

namespace {

constexpr int kDefaultFrameTimeMs = 100;

std::string RectText(const platform::Rect& r) {
    char text[64];
    std::snprintf(text, sizeof text, "(%d, %d, %d, %d)", r.left, r.top, r.right, r.bottom);
    return text;
}

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

// FILE with its extension replaced; the new one in lower case when FILE's is.
fs::path Sibling(const fs::path& file, const std::string& upperExtension) {
    const std::string ext = file.extension().string();
    const bool lower = !ext.empty() && std::islower(static_cast<unsigned char>(ext.back()));
    std::string wanted = upperExtension;
    if (lower)
        for (char& c : wanted)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    fs::path out = file;
    return out.replace_extension(wanted);
}

// The rectangle file next to FILE (its name matched without regard to case), if any.
std::optional<fs::path> FindSibling(const fs::path& file, const std::string& extension) {
    const std::string found = platform::ResolveDataPath(Sibling(file, extension).string());
    if (!fs::is_regular_file(found)) return std::nullopt;
    return fs::path(found);
}

codecs::FlicHeader ReadHeader(const std::string& file, const std::vector<uint8_t>& bytes) {
    codecs::FlicHeader header;
    std::string error;
    if (!codecs::ParseFlicHeader(bytes, header, error)) throw Failure(file + ": " + error);
    return header;
}

std::string RectCounts(const codecs::FrameRectLists* lists, size_t frame) {
    if (lists == nullptr || frame >= lists->size()) return "-";
    return std::to_string((*lists)[frame].size());
}

// Reads a rectangle file into `lists`; prints what was found. Returns whether it was read.
bool ReadRectFile(const Invocation& in, const fs::path& flc, const std::string& extension,
                  int frameCount, codecs::FrameRectLists& lists) {
    const std::string label = extension == ".MSK" ? "mask file" : "change file";
    const std::optional<fs::path> path = FindSibling(flc, extension);
    if (!path) {
        in.out << label << ": none (" << Sibling(flc, extension).filename().string() << ")\n";
        return false;
    }
    const std::vector<uint8_t> bytes = ReadFileBytes(*path);
    std::string error;
    platform::Rect stored;
    const bool ok = extension == ".MSK"
                        ? codecs::ParseMaskFile(bytes, frameCount, lists, stored, error)
                        : codecs::ParseRectLists(bytes, frameCount, lists, error);
    in.out << label << ": " << path->string();
    if (!ok) {
        in.out << ": refused: " << error << "\n";
        return false;
    }
    in.out << "\n";
    if (extension == ".MSK")
        in.out << "bounding rectangle: " << RectText(stored) << " as stored, "
               << RectText(codecs::AdjustBoundingRect(stored)) << " adjusted\n";
    return true;
}

// Decodes one whole lap (frames 1..N and the ring frame); the fault, or "" when none.
std::string CheckDecoding(std::vector<uint8_t> bytes) {
    codecs::FlicDecoder decoder;
    if (!decoder.Open(std::move(bytes), platform::PixelShifts{})) return decoder.Error();
    std::vector<uint16_t> pixels(static_cast<size_t>(decoder.Width()) * decoder.Height());
    for (int i = 0; i <= decoder.FrameCount(); ++i)
        if (!decoder.NextFrame({pixels, decoder.Width()})) return decoder.Error();
    return {};
}

void Info(const Invocation& in) {
    const std::string& file = in.args[0];
    const std::vector<uint8_t> bytes = ReadFileBytes(file);
    const codecs::FlicHeader h = ReadHeader(file, bytes);
    in.out << "format: " << (h.magic == codecs::kFlcMagic ? "FLC" : "FLI") << " (magic "
           << Hex(h.magic) << ")\n"
           << "file size: " << bytes.size() << " (header says " << h.fileSize << ")\n"
           << "frames: " << h.frameCount << "\n"
           << "size: " << h.width << " x " << h.height << "\n"
           << "speed: " << h.speed << " (frame time " << h.frameTime << " ms)\n"
           << "frame offsets: " << h.firstFrameOffset << ", " << h.secondFrameOffset << "\n";

    codecs::FrameRectLists masks, changes;
    const bool haveMasks = ReadRectFile(in, file, ".MSK", h.frameCount, masks);
    const bool haveChanges = ReadRectFile(in, file, ".MS2", h.frameCount, changes);

    std::vector<codecs::FlicFrameInfo> frames;
    std::string walkError;
    const bool walked = codecs::ListFlicFrames(bytes, h, frames, walkError);
    in.out << "frame\toffset\tsize\tmask\tchange\tchunks (type:size)\n";
    for (size_t k = 0; k < frames.size(); ++k) {
        const bool ring = static_cast<int>(k) == h.frameCount;
        in.out << (ring ? "ring" : std::to_string(k + 1)) << '\t' << frames[k].offset << '\t'
               << frames[k].size << '\t' << RectCounts(haveMasks ? &masks : nullptr, k) << '\t'
               << RectCounts(haveChanges ? &changes : nullptr, k) << '\t';
        for (const codecs::FlicChunkInfo& chunk : frames[k].chunks)
            in.out << ' ' << chunk.type << ':' << chunk.size;
        in.out << '\n';
    }
    if (!walked) in.out << "frame walk: " << walkError << "\n";
    if (walked && static_cast<int>(frames.size()) == h.frameCount)
        in.out << "no ring frame: frame 1 is drawn again after frame " << h.frameCount << "\n";
    const std::string fault = CheckDecoding(bytes);
    in.out << "decoding: " << (fault.empty() ? "ok" : fault) << "\n";
}

void Frames(const Invocation& in) {
    const std::string& file = in.args[0];
    const fs::path dir = in.args[1];
    codecs::FlicDecoder decoder;
    if (!decoder.Open(ReadFileBytes(file), platform::PixelShifts{}))
        throw Failure(file + ": " + decoder.Error());
    fs::create_directories(dir);
    const int width = decoder.Width(), height = decoder.Height();
    std::vector<uint16_t> pixels(static_cast<size_t>(width) * height);
    std::vector<uint8_t> rgb(pixels.size() * 3);
    for (int k = 1; k <= decoder.FrameCount(); ++k) {
        if (!decoder.NextFrame({pixels, width})) throw Failure(file + ": " + decoder.Error());
        for (size_t i = 0; i < pixels.size(); ++i)
            platform::Rgb565ToRgb888(pixels[i], rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
        char name[32];
        std::snprintf(name, sizeof name, "frame_%03d.png", k);
        if (!platform::WritePngRgb((dir / name).string(), width, height, rgb))
            throw Failure("cannot write " + (dir / name).string());
    }
    in.out << "wrote " << decoder.FrameCount() << " frames to " << dir.string() << "\n";
}

int FrameTimeOption(const Invocation& in) {
    const std::string text = in.Get("--ms", std::to_string(kDefaultFrameTimeMs));
    size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || value < 1 || value > 0xFFFF)
        throw Failure("--ms takes a number of milliseconds 1..65535, not '" + text + "'");
    return value;
}

void Encode(const Invocation& in) {
    const fs::path out = in.args[0];
    const int frameTime = FrameTimeOption(in);
    std::vector<platform::RgbImage> images;
    for (size_t i = 1; i < in.args.size(); ++i) {
        platform::RgbImage image;
        if (!platform::ReadPngRgb(in.args[i], image))
            throw Failure("cannot read " + in.args[i] + " as a PNG picture");
        images.push_back(std::move(image));
    }
    codecs::IndexedAnimation animation;
    std::string error;
    if (!codecs::IndexFrames(images, animation, error)) throw Failure(error);
    animation.frameTime = frameTime;
    codecs::EncodedFlic encoded;
    if (!codecs::EncodeFlic(animation, encoded, error)) throw Failure(error);
    WriteFileBytes(out, encoded.flc);
    WriteFileBytes(Sibling(out, ".MSK"), encoded.mask);
    WriteFileBytes(Sibling(out, ".MS2"), encoded.change);
    in.out << out.string() << ": " << animation.frames.size() << " frames, " << animation.width
           << " x " << animation.height << ", " << frameTime << " ms, bounding rectangle "
           << RectText(encoded.bounds) << "\n";
}

} // namespace

CommandGroup FlicCommands() {
    CommandGroup group{"flic", "FLC/FLI animations and their .MSK/.MS2 rectangle files.", {}};
    group.commands.push_back(Command{
        "info",
        "FILE",
        "print the header, the frames and their chunks, and the rectangles",
        "Lists every frame (the ring frame N + 1 included) with its offset, size and chunks\n"
        "(4 COLOR_256, 7 DELTA_FLC, 11 COLOR_64, 12 DELTA_FLI, 13 BLACK, 15 BYTE_RUN,\n"
        "16 FLI_COPY, 18 postage stamp), the number of rectangles of each frame in the mask\n"
        "and change files found next to FILE (any case), and whether a whole lap decodes.",
        {},
        1,
        1,
        &Info});
    group.commands.push_back(Command{
        "frames",
        "FILE OUTDIR",
        "write frames 1..N as OUTDIR/frame_NNN.png",
        "Frames are decoded to 16-bit 5-6-5 pixels, as the game shows them, and widened to\n"
        "24 bits by bit replication. The rectangle files are not needed.",
        {},
        2,
        2,
        &Frames});
    group.commands.push_back(Command{
        "encode",
        "OUT.FLC [--ms N] FRAME.png...",
        "write an animation and its .MSK and .MS2",
        "Each PNG is a frame; all must have the same size. Pure magenta (255, 0, 255) is\n"
        "transparent (palette index 0). More than 255 other colours are reduced by median\n"
        "cut. Frame 1 is stored whole, later frames and the ring frame as deltas. The mask\n"
        "file gets rectangles covering each frame's visible pixels and their bounding\n"
        "rectangle, the change file rectangles covering the pixels that differ from the\n"
        "previous frame (frame 1 from frame N).",
        {{"--ms", "N", "milliseconds per frame (default 100)"}},
        2,
        kUnlimited,
        &Encode});
    return group;
}

} // namespace tools
