// Writes the files the decoder comparisons read: sprites.flc, scroll.flc, room.gif and
// dithered.gif (see BenchSamples.h) into the folder given.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "BenchSamples.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_bench_samples DIR\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    const std::pair<const char*, std::vector<uint8_t>> files[] = {
        {"sprites.flc", benchsamples::MakeAnimation(false)},
        {"scroll.flc", benchsamples::MakeAnimation(true)},
        {"room.gif", benchsamples::MakePicture(false)},
        {"dithered.gif", benchsamples::MakePicture(true)},
    };
    for (const auto& [name, bytes] : files) {
        std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (bytes.empty() || !out) {
            std::cerr << "cannot write " << (dir / name).string() << "\n";
            return 1;
        }
    }
    return 0;
}
