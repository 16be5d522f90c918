#pragma once
// Playing the demo headless from a replay, and looking at what it showed: screenshots by
// region and colour, and the trace.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "core/SaveFormat.h"
#include "graphics/FlicDecoder.h"
#include "graphics/PictureConvert.h"
#include "platform/Png.h"
#include "resources/FileAccess.h"
#include "support/Subprocess.h"
#include "support/TempDir.h"

namespace demo_play {

using testing_support::TempDir;

inline const std::string kGame = std::string(TARVO_BINARY_DIR) + "/demo";

struct Play {
    int status = -1;
    std::string output;
    std::string trace;
};

// From the start out to Harbour Street, by the crates: take the oil can (the action menu's
// take), take it out of the case and oil the stuck door, go out through it once it has swung
// open, and walk right twice. Tarvo walks to each thing he uses: every click that sends him
// waits for him to arrive (and in the street for the view, which follows him), and a door
// for its swing. From frame 870 on Tarvo stands at 910, 440 and nothing moves.
inline constexpr const char* kOutToTheCrates = R"(
2 move 320 240
3 rdown 320 240
5 move 300 310
7 ldown 300 310
9 move 370 222
11 ldown 370 222
220 key I
222 move 256 232
225 ldown 256 232
227 move 300 300
229 key I
231 move 550 200
234 ldown 550 200
370 ldown 550 200
380 key W
381 ldown 630 420
660 ldown 600 420
)";

// Runs the demo headless with `replay` (its lines, as in a replay file). Saves go into `dir`,
// not into the shared game folder. `more` holds further options.
inline Play RunDemo(const TempDir& dir, const std::string& replay, const std::string& more = "") {
    dir.Write("replay.txt", replay);
    const testing_support::ProgramRun run = testing_support::RunProgram(
        "app/tarvo", kGame + " --headless --replay " + (dir / "replay.txt") + " --screenshot-dir " +
                         dir.Path() + " --save-dir " + dir.Path() +
                         " --trace=" + (dir / "trace.txt") + (more.empty() ? "" : " " + more));
    Play play;
    play.status = run.status;
    play.output = run.output;
    std::ifstream in(dir / "trace.txt");
    play.trace.assign(std::istreambuf_iterator<char>(in), {});
    return play;
}

// The bytes of a file the game wrote (empty if it is not there).
inline std::vector<uint8_t> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A save's bytes parsed; a save that does not parse fails the test.
inline SavedGame Parsed(const std::vector<uint8_t>& bytes) {
    SavedGame game;
    std::string error;
    EXPECT_TRUE(ParseSavedGame(bytes, game, error)) << error;
    return game;
}

inline platform::RgbImage Shot(const TempDir& dir, const std::string& name) {
    platform::RgbImage image;
    EXPECT_TRUE(platform::ReadPngRgb(dir / name, image)) << name;
    return image;
}

struct Rgb {
    uint8_t r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline Rgb At(const platform::RgbImage& image, int x, int y) {
    const size_t i = static_cast<size_t>((y * image.width + x) * 3);
    return {image.rgb[i], image.rgb[i + 1], image.rgb[i + 2]};
}

// How many pixels of the rectangle have exactly the colour `c` as the display shows it.
inline int CountColour(const platform::RgbImage& image, int x0, int y0, int x1, int y1,
                       uint32_t colorRef) {
    uint8_t r, g, b;
    platform::Rgb565ToRgb888(platform::PixelShifts{}.FromColorRef(colorRef), r, g, b);
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += At(image, x, y) == Rgb{r, g, b};
    return n;
}

inline bool SameRegion(const platform::RgbImage& a, const platform::RgbImage& b, int x0, int y0,
                       int x1, int y1) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (!(At(a, x, y) == At(b, x, y))) return false;
    return true;
}

// The bytes of a file as the game finds it in its archives (empty if it is not there).
inline std::vector<uint8_t> GameFile(const std::string& name) {
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(kGame);
    ResetFileTable();
    OpenArchive("patch.str");
    OpenArchive("main.str");
    std::vector<uint8_t> bytes;
    if (!FileReadAll(name.c_str(), bytes)) bytes.clear();
    CloseArchives();
    std::filesystem::current_path(cwd);
    return bytes;
}

// A room picture as the engine converts it, read from the demo's archives.
inline std::optional<platform::Surface> RoomPicture(const std::string& name) {
    const std::vector<uint8_t> bytes = GameFile(name);
    graphics::DibImage dib;
    std::string error;
    if (bytes.empty() || !graphics::DecodePicture(bytes, dib, error)) return std::nullopt;
    return graphics::DibToSurface(dib, platform::PixelShifts{});
}

// Frame `frame` (from 1) of an animation, read from the demo's archives, as the engine
// decodes it; its transparent pixels hold the colour key.
inline std::optional<platform::Surface> AnimationFrame(const std::string& name, int frame) {
    codecs::FlicDecoder decoder;
    if (!decoder.Open(GameFile(name), platform::PixelShifts{})) return std::nullopt;
    platform::Surface s(decoder.Width(), decoder.Height());
    std::vector<uint16_t> canvas(static_cast<size_t>(decoder.Width()) * decoder.Height());
    if (!decoder.SetFrame(frame, codecs::FlicCanvas{canvas, decoder.Width()})) return std::nullopt;
    for (int y = 0; y < decoder.Height(); ++y)
        for (int x = 0; x < decoder.Width(); ++x)
            s.Set(x, y, canvas[static_cast<size_t>(y) * decoder.Width() + x]);
    return s;
}

inline Rgb Shown(const platform::Surface& s, int x, int y) {
    uint8_t r, g, b;
    platform::Rgb565ToRgb888(s.At(x, y), r, g, b);
    return {r, g, b};
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A message as the trace writes it when it is delivered: type, first parameter, target and
// sender by name.
inline std::string Delivered(const char* type, int param1, const char* target, const char* sender) {
    char line[160];
    std::snprintf(line, sizeof line, "%-15s %-5d \"%s\" \t\"%s\"\n", type, param1, target, sender);
    return line;
}

// Whether the lines appear in the trace in this order (others may come between).
inline bool InOrder(const std::string& trace, const std::vector<std::string>& lines) {
    size_t at = 0;
    for (const std::string& line : lines) {
        at = trace.find(line, at);
        if (at == std::string::npos) {
            ADD_FAILURE() << "missing or out of order: " << line;
            return false;
        }
        at += line.size();
    }
    return true;
}

} // namespace demo_play
