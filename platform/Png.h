#pragma once
// PNG files: screenshots of 16-bit surfaces (channels widened by bit replication) and plain
// 8-bit RGB images.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Surface.h"

namespace platform {

bool WritePng(const std::string& path, const Surface& surface);
bool WritePngRgb(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // width * height * 3
};
// Reads any PNG as 8-bit RGB (alpha dropped); false on failure.
bool ReadPngRgb(const std::string& path, RgbImage& out);

} // namespace platform
