#pragma once
// What every decoded picture must satisfy, whichever file it came from.
#include "fuzz/FuzzTarget.h"
#include "graphics/Dib.h"
#include "graphics/PictureConvert.h"

namespace fuzz {

// A small file may describe a large picture (a GIF whose data ends early leaves the rest of
// its screen in the background colour); converting and rewriting such a picture takes
// seconds under the sanitizers, so those checks are kept to pictures of up to 4 M pixels.
inline constexpr int64_t kMaxConvertedPixels = int64_t{4} << 20;

inline void CheckPicture(const graphics::DibImage& image) {
    Require(image.IsConsistent(), "a decoded picture is consistent");
    if (int64_t{image.width} * image.height > kMaxConvertedPixels) return;
    std::vector<platform::Pixel> pixels(static_cast<size_t>(image.width) * image.height);
    Require(graphics::DibToPixels(image, platform::PixelShifts{}, pixels.data(), image.width),
            "a decoded picture converts to display pixels");
    graphics::DibImage again;
    std::string error;
    Require(graphics::ReadDib(graphics::EncodeDibFile(image), again, error),
            "a decoded picture written as a BMP reads back");
    Require(again.width == image.width && again.height == image.height &&
                again.bitsPerPixel == image.bitsPerPixel && again.bits == image.bits,
            "a decoded picture written as a BMP keeps its pixels");
}

} // namespace fuzz
