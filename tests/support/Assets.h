#pragma once
// Small game files made in tests: animations with their rectangle files, and BMP pictures.
#include <string>
#include <vector>

#include "graphics/FlicEncoder.h"
#include "graphics/PictureConvert.h"
#include "support/TempDir.h"

namespace testing_support {

// The palette of test animations: black for index 0, and for every other index a colour no
// other index shares, none of them black.
inline codecs::Rgb PaletteColor(int i) {
    if (i == 0) return codecs::Rgb{};
    return codecs::Rgb{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 128};
}

// An animation of `frames` frames of w x h palette indices (colours from PaletteColor),
// written as NAME.FLC, NAME.MSK and NAME.MS2 into `dir`.
inline bool WriteAnimation(const TempDir& dir, const std::string& name, int w, int h,
                           const std::vector<std::vector<uint8_t>>& frames, int frameTime = 100,
                           bool withChangeFile = true) {
    codecs::IndexedAnimation a;
    a.width = w;
    a.height = h;
    a.frameTime = frameTime;
    for (int i = 0; i < 256; ++i)
        a.palette[static_cast<size_t>(i)] = PaletteColor(i);
    a.frames = frames;
    codecs::EncodedFlic out;
    std::string error;
    if (!codecs::EncodeFlic(a, out, error)) return false;
    auto text = [](const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); };
    dir.Write(name + ".FLC", text(out.flc));
    dir.Write(name + ".MSK", text(out.mask));
    if (withChangeFile) dir.Write(name + ".MS2", text(out.change));
    return true;
}

// A frame of w x h indices: `fill` everywhere, `value` inside [x0, x1) x [y0, y1).
inline std::vector<uint8_t> Frame(int w, int h, uint8_t fill, int x0, int y0, int x1, int y1,
                                  uint8_t value) {
    std::vector<uint8_t> f(static_cast<size_t>(w * h), fill);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            f[static_cast<size_t>(y * w + x)] = value;
    return f;
}

// A BMP of w x h in one colour, with a differently coloured left column.
inline bool WritePicture(const TempDir& dir, const std::string& name, int w, int h, uint8_t r,
                         uint8_t g, uint8_t b) {
    std::vector<uint8_t> rgb(static_cast<size_t>(w * h * 3));
    for (int i = 0; i < w * h; ++i) {
        const bool edge = i % w == 0;
        rgb[static_cast<size_t>(3 * i)] = edge ? 255 : r;
        rgb[static_cast<size_t>(3 * i + 1)] = edge ? 255 : g;
        rgb[static_cast<size_t>(3 * i + 2)] = edge ? 255 : b;
    }
    graphics::DibImage dib;
    if (!graphics::DibFromRgb(w, h, rgb, false, dib)) return false;
    const std::vector<uint8_t> bytes = graphics::EncodeDibFile(dib);
    dir.Write(name, std::string(bytes.begin(), bytes.end()));
    return true;
}

} // namespace testing_support
