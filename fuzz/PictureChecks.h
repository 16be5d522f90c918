#pragma once
// What every decoded picture must satisfy, whichever file it came from.
#include "fuzz/FuzzTarget.h"
#include "graphics/Dib.h"
#include "graphics/PictureConvert.h"

namespace fuzz {

inline void CheckPicture(const graphics::DibImage& image) {
    Require(image.IsConsistent(), "a decoded picture is consistent");
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
