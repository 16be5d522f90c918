// GIF pictures: the logical screen, extensions, the first image and its LZW stream; an
// accepted picture is consistent, and written as a BMP it reads back with the same pixels.
#include "graphics/Gif.h"
#include "fuzz/FuzzTarget.h"

#include "codecs/PictureBuilders.h"

#include "fuzz/PictureChecks.h"

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    using namespace testpictures;
    std::vector<uint8_t> pattern;
    for (int i = 0; i < 12 * 9; ++i)
        pattern.push_back(static_cast<uint8_t>((i * 7 + i / 12) % 16));
    GifSpec plain;
    plain.screenWidth = 12;
    plain.screenHeight = 9;
    plain.global = Palette(16);
    plain.width = 12;
    plain.height = 9;
    plain.minCodeSize = 4;
    plain.codes = LzwEncode(pattern, 4);
    GifSpec interlaced = plain;
    interlaced.interlaced = true;
    interlaced.version = "87a";
    interlaced.local = Palette(32);
    interlaced.codes = LzwEncode(Interlace(pattern, 12, 9), 5, {false, 7, true});
    interlaced.minCodeSize = 5;
    GifSpec placed = plain;
    placed.left = 3;
    placed.top = 2;
    placed.beforeImage = {0x21, 0xF9, 4, 1, 0, 0, 5, 0, 0x21, 0xFE, 2, 'h', 'i', 0};
    GifSpec blank = plain;
    blank.hasImage = false;
    return {{"plain.gif", BuildGif(plain)},
            {"interlaced.gif", BuildGif(interlaced)},
            {"placed.gif", BuildGif(placed)},
            {"blank.gif", BuildGif(blank)}};
}

TARVO_FUZZ_TARGET(data, size) {
    graphics::DibImage image;
    std::string error;
    if (graphics::ReadGif(fuzz::Input(data, size), image, error)) fuzz::CheckPicture(image);
    return 0;
}
