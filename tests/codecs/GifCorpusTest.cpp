// The GIF decoder against pictures made by other tools, compared with an independent
// decoder's output (24-bit PNGs next to them).
#include "graphics/Gif.h"
#include "graphics/PictureConvert.h"
#include "platform/Png.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

fs::path CorpusDir() {
    for (const fs::path& dir :
         {fs::path(TARVO_SOURCE_DIR "/../shared/corpus/gif"), fs::path("/work/shared/corpus/gif")})
        if (fs::is_directory(dir)) return dir;
    return {};
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The reference colour reduced to 5-6-5 by keeping each channel's top bits.
uint16_t Reduce565(const uint8_t* rgb) {
    return static_cast<uint16_t>(((rgb[0] >> 3) << 11) | ((rgb[1] >> 2) << 5) | (rgb[2] >> 3));
}

class GifCorpus : public ::testing::TestWithParam<const char*> {};

} // namespace

TEST_P(GifCorpus, MatchesTheReferenceDecodeExactlyAndAfterReduction) {
    const fs::path dir = CorpusDir();
    if (dir.empty()) GTEST_SKIP() << "reference corpus not found (../shared/corpus/gif)";
    const std::string name = GetParam();
    const std::vector<uint8_t> file = ReadAll(dir / (name + ".gif"));
    platform::RgbImage reference;
    ASSERT_FALSE(file.empty()) << name;
    ASSERT_TRUE(platform::ReadPngRgb((dir / (name + ".ref.png")).string(), reference)) << name;

    graphics::DibImage image;
    std::string error;
    ASSERT_TRUE(graphics::ReadGif(file, image, error)) << error;
    ASSERT_EQ(image.width, reference.width);
    ASSERT_EQ(image.height, reference.height);

    std::vector<uint16_t> display(static_cast<size_t>(image.width) * image.height);
    ASSERT_TRUE(graphics::DibToPixels(image, platform::ShiftsFromFormat(platform::kFormat565),
                                      display.data(), image.width));
    int mismatches = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const size_t i = static_cast<size_t>(y) * image.width + x;
            const uint8_t* expected = &reference.rgb[i * 3];
            const uint8_t index = image.TopDownRow(y)[x];
            ASSERT_LT(index, image.palette.size());
            const graphics::DibColor c = image.palette[index];
            const bool same = c.red == expected[0] && c.green == expected[1] &&
                              c.blue == expected[2] && display[i] == Reduce565(expected);
            if (!same && ++mismatches <= 5)
                ADD_FAILURE() << name << " pixel " << x << "," << y << ": index " << int(index);
        }
    EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(Pictures, GifCorpus, ::testing::Values("cary", "eagle", "scotty"));
