#include "graphics/Bitmap.h"

#include <vector>

#include "graphics/PictureConvert.h"
#include "graphics/QVideoSystem.h"
#include "resources/FileAccess.h"

std::optional<platform::Surface> LoadBitmapFile(const std::string& fileName) {
    std::vector<uint8_t> bytes;
    if (!FileReadAll(fileName.c_str(), bytes)) return std::nullopt;
    graphics::DibImage dib;
    std::string error;
    if (!graphics::DecodePicture(bytes, dib, error)) return std::nullopt;
    // A GIF leaves its decoded picture behind for inspection; a failed write is no matter.
    const bool isGif = bytes.size() >= 3 && bytes[0] == 'G' && bytes[1] == 'I' && bytes[2] == 'F';
    if (isGif) graphics::WriteDibFile(graphics::kGifDumpFileName, dib);
    return graphics::DibToSurface(dib, g_pixelShifts);
}
