// Text objects: the outline pass, sizes and placement, phrase timing, choices.
#include <gtest/gtest.h>

#include "graphics/Fonts.h"
#include "graphics/QFlic.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QObjectStar.h"
#include "platform/Text.h"
#include "resources/QManager.h"
#include "support/World.h"
#include "text/QText.h"

using namespace testing_support;
using platform::Surface;

TEST(Outline, RowsThenColumnsWithoutDiagonals) {
    constexpr platform::Pixel kB = 0x1234, kGlyph = 0xFFFF;
    Surface s(5, 5);
    s.Set(2, 2, kGlyph);
    OutlineGlyphs(s, kB);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool side = (y == 2 && (x == 1 || x == 3)) || (x == 2 && (y == 1 || y == 3));
            const platform::Pixel want = (x == 2 && y == 2) ? kGlyph : side ? kB : 0;
            EXPECT_EQ(s.At(x, y), want) << x << "," << y;
        }
}

TEST(Outline, EdgePixelsAndOutlineColouredTextGetNoOutline) {
    constexpr platform::Pixel kB = 0x1234;
    Surface s(4, 3);
    s.Set(0, 1, 0xFFFF); // column 0 is not scanned along rows, row 0/2 not along columns
    s.Set(2, 1, kB);     // already in the outline colour: not a glyph
    OutlineGlyphs(s, kB);
    EXPECT_EQ(s.At(1, 1), 0);
    EXPECT_EQ(s.At(0, 0), kB); // the column pass still reaches it from row 1
    EXPECT_EQ(s.At(3, 1), 0);
    EXPECT_EQ(s.At(2, 0), 0);
}

namespace {

class Texts : public ::testing::Test {
protected:
    Texts() {
        world.Load(ScriptBuilder());
        std::string error;
        large = platform::Font::Create("Arial", 20, platform::kFwBold, error);
        small = platform::Font::Create("Arial", 16, platform::kFwBold, error);
        g_fontLarge = large.get();
        g_fontSmall = small.get();
    }
    ~Texts() override { g_fontLarge = g_fontSmall = nullptr; }
    Surface* Picture() { return g_manager->GetPicture(kTextPicture); }

    TestWorld world;
    std::unique_ptr<platform::Font> large, small;
};

} // namespace

TEST_F(Texts, CaptionsAreSizedAndPlacedAtTheBottomCentre) {
    if (!large) GTEST_SKIP() << "no font";
    QText caption("Lamp", 0xFFFFC0, 0x0A0A0A);
    Surface* p = Picture();
    ASSERT_NE(p, nullptr);
    platform::Surface scratch(1, 1);
    platform::DeviceContext dc(scratch);
    dc.SelectFont(large.get());
    EXPECT_EQ(p->Width(), dc.GetTextExtent("Lamp").cx + 10);
    EXPECT_EQ(p->Height(), 20 + 4);
    const int left = (640 - p->Width()) / 2;
    EXPECT_EQ(caption.ScreenRect(), (platform::Rect{left, 479 - p->Height(), 639 - left, 479}));
    EXPECT_EQ(world.video.DirtyRects().back(), caption.ScreenRect());
    // Only three values: transparent black, the text colour and its outline.
    const platform::Pixel ink = g_pixelShifts.FromColorRef(0xFFFFC0),
                          rim = g_pixelShifts.FromColorRef(0x0A0A0A);
    int inked = 0, rimmed = 0;
    for (int y = 0; y < p->Height(); ++y)
        for (int x = 0; x < p->Width(); ++x) {
            const platform::Pixel v = p->At(x, y);
            ASSERT_TRUE(v == 0 || v == ink || v == rim);
            inked += v == ink;
            rimmed += v == rim;
        }
    EXPECT_GT(inked, 0);
    EXPECT_GT(rimmed, 0);
    EXPECT_EQ(p->ColorKey(), platform::Pixel{0});
}

TEST_F(Texts, LongCaptionsGetTheWholeWidthAndWrap) {
    if (!large) GTEST_SKIP() << "no font";
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += "wandering words ";
    QText caption(text, 0xFFFFC0, 0x0A0A0A);
    EXPECT_EQ(Picture()->Width(), 640);
    EXPECT_GE(Picture()->Height(), 2 * 20 + 4);
    EXPECT_EQ(caption.ScreenRect().left, 0);
}

TEST_F(Texts, BlackTextIsInvisibleAndUnoutlined) {
    if (!large) GTEST_SKIP() << "no font";
    QText caption("Shadow", 0x000000, 0x0A0A0A);
    Surface* p = Picture();
    for (int y = 0; y < p->Height(); ++y)
        for (int x = 0; x < p->Width(); ++x)
            ASSERT_EQ(p->At(x, y), 0);
}

TEST_F(Texts, ChoicesHighlightUnderThePointer) {
    if (!large) GTEST_SKIP() << "no font";
    QTextChoice choice({"First answer", "Second answer"}, 0xC0C0C0, 0x0A0A0A, 0x00FFFF);
    const auto& rects = choice.ChoiceRects();
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].bottom, rects[1].top);
    g_system->scrollOffset = 100; // the pointer comes in room coordinates
    const platform::Rect screen = choice.ScreenRect();
    auto over = [&](int choiceIndex) {
        const platform::Rect& r = rects[static_cast<size_t>(choiceIndex)];
        choice.OnMouseOver(screen.left + r.left + 2 + 100, screen.top + r.top + 2);
    };
    over(1);
    EXPECT_EQ(choice.highlighted, 1);
    const size_t marks = world.video.DirtyRects().size();
    over(1); // the same choice: nothing is redrawn
    EXPECT_EQ(world.video.DirtyRects().size(), marks);
    choice.OnMouseOver(screen.left - 50 + 100, screen.top); // off all choices
    EXPECT_EQ(choice.highlighted, 2);
}

TEST_F(Texts, InterfaceKeepsAtMostOneTextAndFreesItsPicture) {
    QInterface& ui = *g_system->mainInterface;
    ui.ShowText("One", 0xFFFFC0, 0x0A0A0A);
    ui.ShowText("Two", 0xFFFFC0, 0x0A0A0A);
    int texts = 0;
    for (const QVisibleObject* o : ui.objects)
        texts += o->resourceId == kTextPicture;
    EXPECT_EQ(texts, 1);
    ASSERT_NE(ui.ShownText(), nullptr);
    EXPECT_EQ(ui.ShownText()->Text(), "Two");
    ui.ShowText("", 0xFFFFC0, 0x0A0A0A); // an empty text only removes
    EXPECT_EQ(ui.ShownText(), nullptr);
    EXPECT_FALSE(g_manager->IsLoaded(kTextPicture));
    ui.ShowPhrase("", 0xFFFFC0, 0x0A0A0A); // a phrase is made even when empty
    EXPECT_NE(ui.ShownText(), nullptr);
    ui.Cancel();
    EXPECT_EQ(ui.ShownText(), nullptr);
}

TEST_F(Texts, DescriptionsShowOverTheirBackgroundFrame) {
    // A background smaller than the screen, as a cropped still is: a 100x50 card, key 0xF81F.
    std::vector<Surface> frames;
    for (int k = 0; k < 2; ++k) {
        Surface card(100, 50);
        card.Fill(static_cast<platform::Pixel>(0x8410 + k));
        frames.push_back(std::move(card));
    }
    g_manager->Adopt(6008, QFlic::FromFrames(std::move(frames), 100, 0xF81F, {}, {}));
    QTextDescription description("Brass", 2);
    Surface* p = Picture();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(g_manager->GetFlic(6008)->CurrentFrame(), 2);
    EXPECT_EQ(p->Width(), 640);
    EXPECT_EQ(p->ColorKey(), platform::Pixel{0xF81F});
    EXPECT_EQ(p->At(600, 400), 0xF81F); // outside the card: transparent, not black
    EXPECT_EQ(p->At(99, 49), 0x8411);   // the second frame, at the card's place
    // Drawn only where the screen is dirty, keyed.
    Surface back(640, 480);
    back.Fill(0x1111);
    world.video.RenderFrame();
    world.video.AddDirtyRect(platform::Rect{0, 0, 50, 50});
    description.Draw(back);
    EXPECT_EQ(back.At(10, 10), 0x8411);
    EXPECT_EQ(back.At(60, 10), 0x1111);
    description.OnClick(0, 0);
    EXPECT_EQ(g_system->actionMenu->active, 1);
}
