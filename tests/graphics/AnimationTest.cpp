// Animations as objects use them: opening through the file layer, the frame walk, the
// rectangle files, cropping; and what a plain object does with its animation every frame.
#include <gtest/gtest.h>

#include "codecs/FlicBuilders.h"
#include "graphics/QFlic.h"
#include "platform/MessageBox.h"
#include "resources/QManager.h"
#include "support/Assets.h"
#include "support/World.h"

using namespace testing_support;

namespace {

constexpr int kW = 16, kH = 12;

// Frame k (1-based) has a 4x4 block of index k at (k, 2).
std::vector<std::vector<uint8_t>> MovingBlock(int frames) {
    std::vector<std::vector<uint8_t>> out;
    for (int k = 1; k <= frames; ++k)
        out.push_back(Frame(kW, kH, 0, k, 2, k + 4, 6, static_cast<uint8_t>(k)));
    return out;
}

class Animation : public ::testing::Test {
protected:
    Animation() : dir(true) {
        platform::SetMessageBoxCapture(
            [this](const std::string& text, const std::string&) { boxes.push_back(text); });
    }
    ~Animation() override { platform::SetMessageBoxCapture(nullptr); }
    std::unique_ptr<QFlic> Open(const std::string& name) {
        auto flic = std::make_unique<QFlic>();
        flic->Open(name);
        return flic;
    }
    // Where the block of frame k should be: its left column holds index k.
    static int BlockLeft(const QFlic& f) {
        for (int x = 0; x < kW; ++x)
            if (f.Surface()->At(x, 3) != f.ColorKey()) return x;
        return -1;
    }

    TempDir dir;
    TestWorld world;
    std::vector<std::string> boxes;
};

} // namespace

TEST_F(Animation, OpensAndWalksTheFramesThroughTheRing) {
    ASSERT_TRUE(WriteAnimation(dir, "BLOCK", kW, kH, MovingBlock(5), 80));
    auto f = Open("block.flc");
    ASSERT_FALSE(f->Invalid());
    EXPECT_EQ(f->FrameCount(), 5);
    EXPECT_EQ(f->FrameTime(), 80);
    EXPECT_EQ(f->CurrentFrame(), 1);
    EXPECT_EQ(BlockLeft(*f), 1);
    f->SetFrame(4);
    EXPECT_EQ(BlockLeft(*f), 4);
    f->SetFrame(3); // forwards only: 5, the ring frame (1), 2, 3
    EXPECT_EQ(f->CurrentFrame(), 3);
    EXPECT_EQ(BlockLeft(*f), 3);
    f->SetFrame(5);
    f->SetFrame(-1); // the ring frame shows frame 1
    EXPECT_EQ(f->CurrentFrame(), 1);
    EXPECT_EQ(BlockLeft(*f), 1);
    f->SetFrame(7); // beyond the count: one frame
    EXPECT_EQ(f->CurrentFrame(), 2);
    EXPECT_EQ(f->Surface()->ColorKey(), f->ColorKey());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Animation, RectangleFilesGiveTheFrameAreas) {
    ASSERT_TRUE(WriteAnimation(dir, "BLOCK", kW, kH, MovingBlock(3)));
    auto f = Open("BLOCK.FLC");
    ASSERT_FALSE(f->Invalid());
    platform::Rect all{};
    for (const platform::Rect& r : f->FrameRects(kMaskRects))
        all = r;
    EXPECT_EQ(all, (platform::Rect{1, 2, 5, 6}));
    // The stored bounding rectangle is moved in by one on the right and bottom.
    EXPECT_EQ(f->BoundingRect(), (platform::Rect{1, 2, 6, 5}));
    g_system->scrollOffset = 10;
    world.video.InvalidateAll();
    const size_t before = world.video.DirtyRects().size();
    f->AddFrameRects(100, 50, kMaskRects);
    ASSERT_GT(world.video.DirtyRects().size(), before);
    EXPECT_EQ(world.video.DirtyRects().back().left, 100 + 1 - 10);
}

TEST_F(Animation, MissingFilesMakeItInvalid) {
    auto f = Open("nothing.flc");
    EXPECT_TRUE(f->Invalid());
    EXPECT_EQ(boxes, std::vector<std::string>{"Flic nothing.flc not found"});
    ASSERT_TRUE(WriteAnimation(dir, "NOCHANGE", kW, kH, MovingBlock(2), 100, false));
    auto g = Open("nochange.flc");
    EXPECT_TRUE(g->Invalid()); // no .MS2: invisible, without a message
    EXPECT_EQ(boxes.size(), 1u);
    g->SetFrame(-1);
    g->AddFrameRects(0, 0, kMaskRects);
    EXPECT_EQ(g->CurrentFrame(), 0);
}

TEST_F(Animation, CorruptFramesAreReportedOnce) {
    ASSERT_TRUE(WriteAnimation(dir, "BAD", kW, kH, MovingBlock(3)));
    std::string flc;
    {
        std::ifstream in(dir / "BAD.FLC", std::ios::binary);
        flc.assign(std::istreambuf_iterator<char>(in), {});
    }
    flc.resize(flc.size() - 20); // the ring frame is cut short
    dir.Write("BAD.FLC", flc);
    auto f = Open("bad.flc");
    f->SetFrame(3);
    f->SetFrame(-1);
    EXPECT_TRUE(f->Invalid());
    EXPECT_EQ(boxes, std::vector<std::string>{"Invalid Flic file: \"bad.flc\"\n"});
}

TEST_F(Animation, AnimationsClaimingAHugePictureAreReportedAndStayInvisible) {
    const flictest::Bytes huge = flictest::ClaimedSizeFlic(65535, 65535);
    flictest::Bytes notFlic = huge;
    notFlic[4] = 0x13; // no animation at all: invisible without a message, as before
    dir.Write("HUGE.FLC", std::string(huge.begin(), huge.end()));
    dir.Write("NOTFLIC.FLC", std::string(notFlic.begin(), notFlic.end()));
    auto f = Open("huge.flc");
    auto g = Open("notflic.flc");
    EXPECT_TRUE(f->Invalid());
    EXPECT_TRUE(g->Invalid());
    EXPECT_EQ(f->Surface(), nullptr);
    f->SetFrame(-1);
    EXPECT_EQ(f->CurrentFrame(), 0);
    EXPECT_EQ(boxes, std::vector<std::string>{"Invalid Flic file: \"huge.flc\"\n"});
}

TEST_F(Animation, LargeFilesAreStreamed) {
    // Noise makes the frames incompressible, so the file passes the memory-mode limit.
    const int w = 640, h = 400;
    std::vector<std::vector<uint8_t>> frames(2, std::vector<uint8_t>(static_cast<size_t>(w * h)));
    uint32_t seed = 7;
    for (auto& frame : frames)
        for (auto& p : frame) {
            seed = seed * 1103515245u + 12345u;
            p = static_cast<uint8_t>(1 + (seed >> 16) % 200);
        }
    ASSERT_TRUE(WriteAnimation(dir, "BIG", w, h, frames));
    ASSERT_GT(std::filesystem::file_size(dir / "BIG.FLC"),
              static_cast<uintmax_t>(kFlicMemoryLimit));
    auto f = Open("big.flc");
    ASSERT_FALSE(f->Invalid());
    auto pixel = [&](int k, int x, int y) {
        const uint8_t i = frames[static_cast<size_t>(k)][static_cast<size_t>(y * w + x)];
        const codecs::Rgb c = PaletteColor(i);
        return g_pixelShifts.FromRgb(c.r, c.g, c.b);
    };
    EXPECT_EQ(f->Surface()->At(321, 123), pixel(0, 321, 123));
    f->SetFrame(-1);
    EXPECT_EQ(f->CurrentFrame(), 2);
    EXPECT_EQ(f->Surface()->At(5, 399), pixel(1, 5, 399));
    f->SetFrame(-1);
    EXPECT_EQ(f->CurrentFrame(), 1);
}

TEST_F(Animation, FullScreenStillsAreCroppedToTheirVisiblePart) {
    ASSERT_TRUE(
        WriteAnimation(dir, "STILL", 640, 480, {Frame(640, 480, 0, 100, 300, 401, 480, 9)}));
    auto f = Open("still.flc");
    ASSERT_FALSE(f->Invalid());
    EXPECT_EQ(f->DrawOffset(), (platform::Point{100, 300}));
    EXPECT_EQ(f->Width(), 300);
    EXPECT_EQ(f->Height(), 179);
    EXPECT_EQ(f->Surface()->Width(), 301);
    EXPECT_NE(f->Surface()->At(0, 0), f->ColorKey());
    // The picture's last column and row are kept too, not left black.
    EXPECT_EQ(f->Surface()->At(300, 10), f->Surface()->At(0, 0));
    EXPECT_EQ(f->Surface()->At(10, 179), f->Surface()->At(0, 0));
}
