#include "tools/Command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/Waves.h"

using namespace testing_support;

namespace {

struct ToolRun {
    int status;
    std::string out, err;
};

ToolRun Info(const std::string& file) {
    std::ostringstream out, err;
    const std::vector<std::string> args{"sound", "info", file};
    const int status = tools::RunTool(args, out, err);
    return {status, out.str(), err.str()};
}

} // namespace

TEST(SoundTool, InfoTellsHowTheEngineWouldPlayOrRefuseAFile) {
    TempDir dir;
    WriteWave(dir, "short.wav",
              WaveBytes(sound::PcmFormat{2, 8, 11025}, std::vector<uint8_t>(22050 * 2, 0x80)));
    WriteWave(dir, "long.wav",
              WaveBytes(sound::PcmFormat{1, 16, 22050}, PatternSamples(22050 * 5)));
    WriteWave(dir, "deep.wav",
              RiffBuilder()
                  .Chunk("fmt ", RiffBuilder::Format(1, 22050, 24))
                  .Chunk("data", std::vector<uint8_t>(30))
                  .Bytes());
    WriteWave(dir, "cut.wav",
              RiffBuilder()
                  .Chunk("fmt ", RiffBuilder::Format(1, 22050, 16))
                  .Chunk("data", std::vector<uint8_t>(30), 60)
                  .Bytes());

    const ToolRun shortRun = Info(dir / "short.wav");
    EXPECT_EQ(shortRun.status, 0) << shortRun.err;
    EXPECT_EQ(shortRun.out, "format: PCM, 2 channels, 8 bits, 11025 Hz (block 2, 22050 bytes/s; "
                            "format chunk 16 bytes)\n"
                            "data: 44100 bytes at offset 44 (2.000 s)\n"
                            "playback: static, held in memory whole\n");
    const ToolRun longRun = Info(dir / "long.wav");
    EXPECT_EQ(longRun.status, 0);
    EXPECT_NE(longRun.out.find("data: 220500 bytes at offset 44 (5.000 s)\n"), std::string::npos);
    EXPECT_NE(
        longRun.out.find("playback: streamed, 3 chunks of 58800 bytes (buffer 176400 bytes)\n"),
        std::string::npos);
    // Data running past the end of the file, which is still longer than the stated data size:
    // what the file holds is played.
    const ToolRun cutRun = Info(dir / "cut.wav");
    EXPECT_EQ(cutRun.status, 0);
    EXPECT_NE(cutRun.out.find("note: the file ends 30 bytes before its data does"),
              std::string::npos);

    const ToolRun deepRun = Info(dir / "deep.wav");
    EXPECT_EQ(deepRun.status, 1);
    EXPECT_EQ(deepRun.err, "tarvo-tool: sound info: " + (dir / "deep.wav") +
                               ": refused, the mixer does not play 24 bits per sample (8 or 16 "
                               "are played)\n");
    WriteWave(dir, "text.wav", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'});
    const ToolRun textRun = Info(dir / "text.wav");
    EXPECT_EQ(textRun.status, 1);
    EXPECT_EQ(textRun.err, "tarvo-tool: sound info: " + (dir / "text.wav") +
                               ": refused as an invalid wave file: shorter than a RIFF header\n");
}
