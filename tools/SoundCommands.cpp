// tarvo-tool sound info: a wave file as the sound engine sees it.
#include "tools/Command.h"

#include <cstdio>
#include <string>
#include <vector>

#include "sound/WaveFile.h"

namespace tools {

namespace {

std::string Seconds(uint64_t bytes, uint32_t bytesPerSecond) {
    if (bytesPerSecond == 0) return "unknown length";
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", static_cast<double>(bytes) / bytesPerSecond);
    return text;
}

void PrintFormat(const sound::WaveLayout& layout, std::ostream& out) {
    const sound::WaveFormat& f = layout.format;
    out << "format: " << (f.formatTag == 1 ? "PCM" : "tag " + std::to_string(f.formatTag)) << ", "
        << f.channels << (f.channels == 1 ? " channel, " : " channels, ") << f.bitsPerSample
        << " bits, " << f.samplesPerSec << " Hz (block " << f.blockAlign << ", " << f.avgBytesPerSec
        << " bytes/s; format chunk " << layout.formatSize << " bytes)\n";
    out << "data: " << layout.dataSize << " bytes at offset " << layout.dataOffset << " ("
        << Seconds(layout.dataSize, f.avgBytesPerSec) << ")\n";
}

void Info(const Invocation& in) {
    const std::string& file = in.args[0];
    const std::vector<uint8_t> bytes = ReadFileBytes(file);
    sound::MemoryWaveSource source(bytes);
    sound::WaveLayout layout;
    std::string reason;
    if (!sound::ParseWaveLayout(source, layout, reason))
        throw Failure(file + ": refused as an invalid wave file: " + reason);
    PrintFormat(layout, in.out);
    if (!sound::IsPlayableFormat(layout.format, reason))
        throw Failure(file + ": refused, the mixer does not play " + reason);
    const uint64_t held = bytes.size() - layout.dataOffset;
    if (held < layout.dataSize)
        in.out << "note: the file ends " << layout.dataSize - held
               << " bytes before its data does; the rest is not played\n";
    if (sound::IsStreamed(layout)) {
        const uint32_t chunk = sound::StreamChunkBytes(layout.format);
        in.out << "playback: streamed, 3 chunks of " << chunk << " bytes (buffer " << 3 * chunk
               << " bytes)\n";
    } else {
        in.out << "playback: static, held in memory whole\n";
    }
}

} // namespace

CommandGroup SoundCommands() {
    CommandGroup group{"sound", "Wave sounds (.WAV) as the sound engine plays them.", {}};
    group.commands.push_back(Command{
        "info",
        "FILE.wav",
        "print the format, the length and how the engine plays the file, or why it refuses it",
        "The chunks are found as the engine finds them (in any order, odd sizes padded). A file "
        "the engine would refuse ends the command with status 1 and the reason: no RIFF WAVE, "
        "a missing or short format chunk, data longer than the file, or a format the mixer "
        "does not play (PCM with 1 or 2 channels of 8 or 16 bits is played). Sounds of five "
        "seconds and more are streamed.",
        {},
        1,
        1,
        Info,
    });
    return group;
}

} // namespace tools
