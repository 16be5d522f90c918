#pragma once
// Room pictures from BMP or GIF files, converted to the display's 16-bit format.
#include <optional>
#include <string>

#include "platform/Surface.h"

// Reads the picture through the file layer (BMP first, then GIF) and converts it with the
// display's pixel format. A decoded GIF is also written to "work.dib" as a BMP, replacing the
// previous one. Nothing when the file is missing or not a readable picture.
std::optional<platform::Surface> LoadBitmapFile(const std::string& fileName);
