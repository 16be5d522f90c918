// tarvo-tool picture FILE OUT.png | picture encode IN.png OUT.BMP: room pictures (BMP, GIF).
#include "tools/Command.h"

#include "graphics/Dib.h"
#include "graphics/PictureConvert.h"
#include "platform/PixelFormat.h"
#include "platform/Png.h"

#include <string>
#include <vector>

namespace tools {

namespace {

// Shown as the game shows it: reduced to the 5-6-5 display format, then widened back to
// 8 bits per channel by repeating the top bits, so that the PNG holds exactly the colours
// a player would see.
void Show(const Invocation& in) {
    const std::string& file = in.args[0];
    const std::string& png = in.args[1];
    const std::vector<uint8_t> data = ReadFileBytes(file);
    graphics::DibImage image;
    std::string error;
    if (!graphics::DecodePicture(data, image, error)) throw Failure(file + ": " + error);

    std::vector<platform::Pixel> pixels(static_cast<size_t>(image.width) * image.height);
    const platform::PixelShifts shifts = platform::ShiftsFromFormat(platform::kFormat565);
    if (!graphics::DibToPixels(image, shifts, pixels.data(), image.width))
        throw Failure(file + ": picture cannot be converted");
    std::vector<uint8_t> rgb(pixels.size() * 3);
    for (size_t i = 0; i < pixels.size(); ++i)
        platform::Rgb565ToRgb888(pixels[i], rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]);
    if (!platform::WritePngRgb(png, image.width, image.height, rgb))
        throw Failure("cannot write " + png);
    in.out << file << ": " << image.width << " x " << image.height << ", " << image.bitsPerPixel
           << " bits per pixel\n";
}

void Encode(const Invocation& in) {
    const std::string& png = in.args[0];
    const std::string& file = in.args[1];
    platform::RgbImage source;
    if (!platform::ReadPngRgb(png, source)) throw Failure("cannot read " + png + " as a PNG");
    graphics::DibImage image;
    if (!graphics::DibFromRgb(source.width, source.height, source.rgb, in.Has("--24"), image))
        throw Failure(png + ": picture too large for a BMP");
    WriteFileBytes(file, graphics::EncodeDibFile(image));
    in.out << file << ": " << image.width << " x " << image.height << ", " << image.bitsPerPixel
           << " bits per pixel\n";
}

} // namespace

CommandGroup PictureCommands() {
    CommandGroup group{"picture", "Room pictures: Windows BMP and GIF files.", {}};
    group.commands.push_back(Command{
        "",
        "FILE OUT.png",
        "convert a BMP or GIF picture to PNG with the colours the game shows",
        "FILE is read the way the game loads a picture file: as a BMP, and failing that as a\n"
        "GIF (first image only). Its colours are reduced to the 16-bit display format (5 bits\n"
        "red, 6 green, 5 blue) and widened back by repeating the top bits.",
        {},
        2,
        2,
        &Show});
    group.commands.push_back(
        Command{"encode",
                "IN.png OUT.BMP [--24]",
                "write a PNG as a BMP the game can load",
                "The BMP has 8 bits per pixel and a colour table (colours in order of first\n"
                "appearance) when the picture has at most 256 colours, else 24 bits per pixel.\n"
                "Rows are stored bottom row first, each padded to 4 bytes.",
                {{"--24", "", "always write 24 bits per pixel"}},
                2,
                2,
                &Encode});
    return group;
}

} // namespace tools
