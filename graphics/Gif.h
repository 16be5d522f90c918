#pragma once
// GIF pictures (87a and 89a), read into the same 8-bit DIB a BMP room background becomes.
#include "graphics/Dib.h"

#include <span>
#include <string>

namespace graphics {

// Decodes the first image of a GIF file onto its logical screen, which is first filled with
// the background colour index; the screen is enlarged when the image reaches past it. The
// result has 8 bits per pixel and the image's colour table (its own, or else the file's
// global one) as palette. Extensions (comments, transparency, animation control) are skipped
// and later images are ignored. A file whose blocks end with the trailer before any image
// yields the blank screen.
// Fails, with a reason, on truncated data, an LZW stream using a code that is not yet
// defined, or a stream producing more pixels than the image holds. A stream that ends early
// leaves the remaining pixels at the background colour.
bool ReadGif(std::span<const uint8_t> file, DibImage& out, std::string& error);

} // namespace graphics
