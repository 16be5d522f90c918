// Our GIF decoder beside giflib on the same files in one run: whole pictures decoded from
// memory per second, and the ratio. Ours places the image on its logical screen in a DIB;
// giflib's DGifSlurp decodes the rasters of every image the file holds (here: one).
//
//   build/bench/gif_compare [SAMPLES_DIR]      (default: the files the build made)
#include <gif_lib.h>

#include <cstring>

#include "graphics/Gif.h"

#include "Compare.h"

namespace {

struct Reader {
    const std::vector<uint8_t>* file;
    size_t position;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int count) {
    auto* reader = static_cast<Reader*>(gif->UserData);
    const size_t n =
        std::min<size_t>(static_cast<size_t>(count), reader->file->size() - reader->position);
    std::memcpy(out, reader->file->data() + reader->position, n);
    reader->position += n;
    return static_cast<int>(n);
}

bool DecodeGiflib(const std::vector<uint8_t>& file) {
    Reader reader{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
    if (gif == nullptr) return false;
    const bool ok = DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1;
    DGifCloseFile(gif, &error);
    return ok;
}

bool DecodeOurs(const std::vector<uint8_t>& file) {
    graphics::DibImage image;
    std::string error;
    return graphics::ReadGif(file, image, error);
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path dir = argc > 1 ? argv[1] : TARVO_BENCH_SAMPLES;
    const std::pair<const char*, const char*> files[] = {
        {"room.gif", "flat shapes and gradients"},
        {"dithered.gif", "dithered, short strings"},
    };
    bool met = true;
    for (const auto& [name, what] : files) {
        const std::vector<uint8_t> file = compare::ReadFile(dir / name);
        const auto [ours, theirs] = compare::BestRates(
            1, [&] { return DecodeOurs(file); }, [&] { return DecodeGiflib(file); });
        if (ours == 0 || theirs == 0) {
            std::fprintf(stderr, "%s: decoding failed (%s)\n", name, ours == 0 ? "ours" : "giflib");
            return 1;
        }
        char title[160];
        std::snprintf(title, sizeof title, "GIF %s: %s, 640 x 480, %zu bytes", name, what,
                      file.size());
        compare::Report(title, "pictures", ours, "giflib", theirs, 1.0);
        met = met && ours >= theirs;
    }
    return met ? 0 : 3;
}
