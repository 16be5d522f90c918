// Sizes claimed by headers are checked against the image budget (8192 on a side, 32 M pixels)
// before anything is allocated: a small damaged file must be refused, not decoded into
// gigabytes. Whether the refusal is fast is measured by the fuzz runs, not here.
#include "graphics/FlicDecoder.h"
#include "graphics/FlicEncoder.h"
#include "graphics/Gif.h"

#include "FlicBuilders.h"
#include "PictureBuilders.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using codecs::FlicFault;

namespace {

struct Size {
    int width;
    int height;
    bool fits;
};

// The edges of the budget, and the file a new user once fed to the tools.
constexpr Size kSizes[] = {{65535, 65535, false}, {8193, 1, false},   {1, 8193, false},
                           {8192, 4097, false},   {8192, 4096, true}, {4096, 8192, true},
                           {640, 480, true}};

std::string Name(const Size& s) {
    return std::to_string(s.width) + " x " + std::to_string(s.height);
}

} // namespace

TEST(SizeBudget, AnimationHeadersOverTheBudgetAreRefusedInBothModes) {
    for (const Size& size : kSizes) {
        SCOPED_TRACE(Name(size));
        const flictest::Bytes file = flictest::ClaimedSizeFlic(size.width, size.height);
        ASSERT_LT(file.size(), 1400u);
        codecs::FlicDecoder memory;
        EXPECT_EQ(memory.Open(file, platform::PixelShifts{}), size.fits) << memory.Error();
        codecs::FlicStreamDecoder streaming;
        EXPECT_EQ(
            streaming.Open(std::make_unique<flictest::MemorySource>(file), platform::PixelShifts{}),
            size.fits)
            << streaming.Error();
        if (size.fits) continue;
        const codecs::FlicPlayback* decoders[] = {&memory, &streaming};
        for (const codecs::FlicPlayback* decoder : decoders) {
            EXPECT_EQ(decoder->Fault(), FlicFault::TooLarge);
            EXPECT_NE(decoder->Error().find(Name(size)), std::string::npos) << decoder->Error();
            EXPECT_NE(decoder->Error().find("8192"), std::string::npos) << decoder->Error();
        }
    }
}

TEST(SizeBudget, OtherHeaderFaultsAreToldApart) {
    flictest::Bytes notFlic = flictest::ClaimedSizeFlic(4, 4);
    notFlic[4] = 0x13;
    flictest::Bytes noFrames = flictest::ClaimedSizeFlic(4, 4);
    noFrames[6] = 0;
    for (const auto& [file, fault] :
         {std::pair{notFlic, FlicFault::NotFlic}, std::pair{noFrames, FlicFault::Damaged}}) {
        codecs::FlicDecoder decoder;
        EXPECT_FALSE(decoder.Open(file, platform::PixelShifts{}));
        EXPECT_EQ(decoder.Fault(), fault) << decoder.Error();
    }
}

TEST(SizeBudget, TheEncoderWritesNothingTheDecoderWouldRefuse) {
    codecs::IndexedAnimation a;
    a.width = 8193;
    a.height = 2;
    a.frames.assign(1, std::vector<uint8_t>(static_cast<size_t>(a.width) * a.height, 1));
    codecs::EncodedFlic out;
    std::string error;
    EXPECT_FALSE(codecs::EncodeFlic(a, out, error));
    EXPECT_NE(error.find("8192"), std::string::npos) << error;
    EXPECT_TRUE(out.flc.empty());
}

TEST(SizeBudget, PictureHeadersOverTheBudgetAreRefused) {
    using namespace testpictures;
    auto bmp = [](int32_t width, int32_t height) {
        BmpSpec s = Bmp(40, width, height, 1);
        s.palette = Palette(2);
        return BuildBmp(s); // no rows at all: the size must be refused before they are looked for
    };
    auto gif = [](int screenWidth, int screenHeight, int left) {
        GifSpec s;
        s.screenWidth = screenWidth;
        s.screenHeight = screenHeight;
        s.global = Palette(4);
        s.left = left;
        s.width = s.height = 2;
        s.minCodeSize = 2;
        s.codes = LzwEncode({1, 2, 3, 0}, 2);
        return BuildGif(s);
    };
    const struct {
        const char* what;
        Bytes file;
        bool gif;
    } cases[] = {
        {"BMP 65535 x 65535", bmp(65535, 65535), false},
        {"BMP 8193 x 1", bmp(8193, 1), false},
        {"BMP 8192 x -4097 (top row first)", bmp(8192, -4097), false},
        {"GIF screen 65535 x 65535", gif(65535, 65535, 0), true},
        {"GIF screen 8192 x 4097", gif(8192, 4097, 0), true},
        {"GIF image reaching past 8192", gif(4, 4, 8191), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        graphics::DibImage image;
        std::string error;
        const bool read = c.gif ? graphics::ReadGif(c.file, image, error)
                                : graphics::ReadDib(c.file, image, error);
        EXPECT_FALSE(read);
        EXPECT_NE(error.find("over the limit"), std::string::npos) << error;
        EXPECT_TRUE(image.bits.empty());
    }
}
