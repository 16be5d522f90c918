#pragma once
// From picture file to display pixels: decoding whichever format a picture file is in,
// converting the DIB to the 16-bit display format, and stretching a converted picture over
// a surface. Also the way back, from plain RGB pixels to a DIB worth saving as a BMP.
#include "graphics/Dib.h"
#include "platform/PixelFormat.h"
#include "platform/Surface.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace graphics {

// A picture file as the loader takes it: tried as a BMP first, then as a GIF.
bool DecodePicture(std::span<const uint8_t> file, DibImage& out, std::string& error);

// Writes the picture top row first into `dst` (height rows of `pitchPixels` pixels, at least
// width each). Every pixel's colour, from the palette or stored as RGB, goes through
// `shifts`, which keeps the top bits of each channel. Palette indexes beyond the colour
// table give black. False, with nothing written, for an inconsistent picture.
bool DibToPixels(const DibImage& image, const platform::PixelShifts& shifts, platform::Pixel* dst,
                 int pitchPixels);

// The picture converted onto a surface of its own size; nothing for an inconsistent one.
std::optional<platform::Surface> DibToSurface(const DibImage& image,
                                              const platform::PixelShifts& shifts);

// Nearest-neighbour copy of the rectangle (sx, sy, sw, sh) of `picture` onto the whole of
// `dst`; a width or height of 0 means the picture's own. True when any pixel was written.
bool StretchToSurface(platform::Surface& dst, const platform::Surface& picture, int sx, int sy,
                      int sw, int sh);

// A picture of width × height RGB triples (top row first) as a DIB: 8 bits with a palette
// (colours in order of first appearance) when it has at most 256 colours and `trueColor` is
// not asked for, else 24 bits. False for sizes beyond the DIB limits or a short buffer.
bool DibFromRgb(int width, int height, std::span<const uint8_t> rgb, bool trueColor, DibImage& out);

} // namespace graphics
