// The plain program of a fuzz target, for builds without libFuzzer:
//
//   fuzz_NAME_replay INPUT...      runs every file (folders: every file in them, in name
//                                  order) through the target once; a fault crashes the run
//   fuzz_NAME_replay --make-corpus OUT [--from DIR --match SUFFIX...]... [--regressions DIR]
//                                  writes the corpus: the makers' seeds, the files under each
//                                  DIR whose names end in a SUFFIX (any case), and the
//                                  regression inputs DIR/*.hex turned into bytes
//
// Regression inputs are text: hexadecimal bytes, blanks anywhere, '#' to the end of a line
// a comment (saying what the input once broke).
#include "fuzz/FuzzTarget.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::optional<std::vector<uint8_t>> ParseHex(const std::string& text) {
    std::vector<uint8_t> bytes;
    int high = -1;
    bool comment = false;
    for (char c : text) {
        if (c == '\n') comment = false;
        if (comment || std::isspace(static_cast<unsigned char>(c))) continue;
        if (c == '#') {
            comment = true;
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        const int digit =
            std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<uint8_t>(high << 4 | digit));
            high = -1;
        }
    }
    if (high >= 0) return std::nullopt;
    return bytes;
}

bool EndsWithIgnoringCase(const std::string& name, const std::string& suffix) {
    if (suffix.size() > name.size()) return false;
    return std::equal(suffix.rbegin(), suffix.rend(), name.rbegin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

std::vector<fs::path> FilesIn(const fs::path& root) {
    std::vector<fs::path> files;
    if (fs::is_regular_file(root)) return {root};
    if (fs::is_directory(root))
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(root))
            if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

int Replay(int argc, char** argv) {
    size_t count = 0;
    double slowestMs = 0;
    std::string slowest;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path& file : FilesIn(argv[i])) {
            const std::vector<uint8_t> bytes = ReadFile(file);
            const auto start = std::chrono::steady_clock::now();
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            const std::chrono::duration<double, std::milli> took =
                std::chrono::steady_clock::now() - start;
            if (took.count() > slowestMs) {
                slowestMs = took.count();
                slowest = file.filename().string();
            }
            ++count;
        }
    }
    if (count == 0) {
        std::cerr << "no inputs to replay\n";
        return 1;
    }
    std::cout << count << " inputs replayed; the slowest, " << slowest << ", took "
              << static_cast<int>(slowestMs + 0.5) << " ms\n";
    return 0;
}

struct Source {
    fs::path dir;
    std::vector<std::string> suffixes;
};

int MakeCorpus(const std::vector<std::string>& args) {
    const fs::path out = args.at(0);
    std::vector<Source> sources;
    fs::path regressions;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--from" && i + 1 < args.size()) {
            sources.push_back({args[++i], {}});
        } else if (args[i] == "--match" && i + 1 < args.size() && !sources.empty()) {
            sources.back().suffixes.push_back(args[++i]);
        } else if (args[i] == "--regressions" && i + 1 < args.size()) {
            regressions = args[++i];
        } else {
            std::cerr << "unexpected argument " << args[i] << "\n";
            return 2;
        }
    }
    fs::remove_all(out);
    fs::create_directories(out);
    size_t written = 0;
    for (const fuzz::Seed& seed : fuzz::MakerSeeds())
        written += WriteFile(out / ("maker-" + seed.name), seed.bytes);
    for (const Source& source : sources)
        for (const fs::path& file : FilesIn(source.dir))
            for (const std::string& suffix : source.suffixes)
                if (EndsWithIgnoringCase(file.filename().string(), suffix)) {
                    written +=
                        WriteFile(out / ("demo-" + file.filename().string()), ReadFile(file));
                    break;
                }
    for (const fs::path& file : FilesIn(regressions)) {
        if (file.extension() != ".hex") continue;
        const std::vector<uint8_t> text = ReadFile(file);
        const auto bytes = ParseHex(std::string(text.begin(), text.end()));
        if (!bytes) {
            std::cerr << file.string() << ": not hexadecimal bytes\n";
            return 1;
        }
        written += WriteFile(out / ("regression-" + file.stem().string()), *bytes);
    }
    if (written == 0) {
        std::cerr << out.string() << ": no seeds for this target\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--make-corpus")
        return MakeCorpus(std::vector<std::string>(argv + 2, argv + argc));
    return Replay(argc, argv);
}
