// Pictures as the resource manager loads them: tried as a BMP, then as a GIF, converted to
// display pixels; an accepted picture is consistent, and written as a BMP it reads back with
// the same pixels.
#include "fuzz/FuzzTarget.h"
#include "graphics/PictureConvert.h"

#include "codecs/PictureBuilders.h"

#include "fuzz/PictureChecks.h"

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    using namespace testpictures;
    std::vector<Seed> seeds;
    for (const uint16_t bpp : {1, 4, 8, 24, 16, 32}) {
        BmpSpec s = Bmp(40, 5, bpp == 24 ? -3 : 3, bpp, bpp >= 16 ? 3 : 0);
        if (bpp <= 8) s.palette = Palette(1 << bpp);
        if (bpp >= 16)
            s.masks = bpp == 16 ? std::vector<uint32_t>{0xF800, 0x07E0, 0x001F}
                                : std::vector<uint32_t>{0xFF0000, 0xFF00, 0xFF};
        for (int y = 0; y < 3; ++y)
            s.rows.push_back(Bytes((5 * bpp + 7) / 8, static_cast<uint8_t>(0x5A + y)));
        seeds.push_back({"depth" + std::to_string(bpp) + ".bmp", BuildBmp(s)});
    }
    BmpSpec core = Bmp(12, 4, 2, 8);
    core.palette = Palette(256);
    core.rows = {Bytes{1, 2, 3, 4}, Bytes{5, 6, 7, 8}};
    seeds.push_back({"core.bmp", BuildBmp(core)});
    return seeds;
}

TARVO_FUZZ_TARGET(data, size) {
    graphics::DibImage image;
    std::string error;
    if (graphics::DecodePicture(fuzz::Input(data, size), image, error)) fuzz::CheckPicture(image);
    return 0;
}
