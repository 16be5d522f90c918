#include "platform/Text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <set>
#include <vector>

#include "platform/Cp1251.h"

using namespace platform;

namespace {

constexpr uint32_t kCyan = 0x00FFFFBE; // the status line's colour
const Pixel kInk = PixelShifts{}.FromColorRef(kCyan);

struct Ink {
    int count = 0;
    Rect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN}; // bounding box of the ink, exclusive
    std::set<Pixel> values;                       // every pixel value on the surface
};

Ink FindInk(const Surface& s, Pixel ink = kInk) {
    Ink result;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            result.values.insert(s.At(x, y));
            if (s.At(x, y) != ink) continue;
            ++result.count;
            result.box =
                Rect{std::min(result.box.left, x), std::min(result.box.top, y),
                     std::max(result.box.right, x + 1), std::max(result.box.bottom, y + 1)};
        }
    return result;
}

class Text : public testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        bold_ = Font::Create("Arial", 20, kFwBold, error).release();
        normal_ = Font::Create("Arial", 20, kFwNormal, error).release();
        small_ = Font::Create("Arial", 16, kFwBold, error).release();
    }
    static void TearDownTestSuite() {
        delete bold_;
        delete normal_;
        delete small_;
    }
    void SetUp() override {
        if (!bold_ || !normal_ || !small_) GTEST_SKIP() << "no scalable font is installed";
    }

    // A context that draws in the test colour without touching the background.
    static DeviceContext Pen(Surface& s, Font* font, const PixelShifts& shifts = {}) {
        DeviceContext dc(s, shifts);
        dc.SelectFont(font);
        dc.SetTextColor(kCyan);
        dc.SetBkMode(BkMode::Transparent);
        return dc;
    }
    // One line drawn at the top-left corner of a blank surface.
    static Surface Line(Font* font, std::string_view text) {
        Surface s(600, 40);
        Pen(s, font).TextOut(0, 0, text);
        return s;
    }

    static inline Font* bold_ = nullptr;
    static inline Font* normal_ = nullptr;
    static inline Font* small_ = nullptr;
};

const char kParagraph[] = "The old suitcase holds a striped scarf, two letters and a key";

} // namespace

TEST_F(Text, CellHeightIsTheClosestNotAboveTheAskedHeight) {
    for (const Font* font : {bold_, small_}) {
        EXPECT_LE(font->CellHeight(), font->Height());
        EXPECT_GE(font->CellHeight(), font->Height() - 1);
        if (font->FilePath().find("Liberation") != std::string::npos) { // metric-compatible
            EXPECT_EQ(font->CellHeight(), font->Height());
        }
    }
    std::string error;
    EXPECT_EQ(Font::Create("Arial", 20, kFwBold, error)->FilePath(), bold_->FilePath());
    EXPECT_EQ(Font::Create("Arial", 0, kFwBold, error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST_F(Text, TransparentTextWritesOnlyTheTextColourInsideItsExtent) {
    Surface s = Line(bold_, "Tarvo & VARN");
    const Ink ink = FindInk(s);
    EXPECT_EQ(ink.values, (std::set<Pixel>{0, kInk}));
    ASSERT_GT(ink.count, 100);
    const Size extent = Pen(s, bold_).GetTextExtent("Tarvo & VARN");
    EXPECT_EQ(extent.cy, 20);
    EXPECT_LE(ink.box.left, 2);
    EXPECT_LE(ink.box.right, extent.cx);
    EXPECT_GE(ink.box.right, extent.cx - 3);
    EXPECT_LE(ink.box.bottom, extent.cy);
    EXPECT_GE(ink.box.Height(), 12); // capitals are most of the cell
    // Bold is wider and inkier than normal.
    const Ink normal = FindInk(Line(normal_, "Tarvo & VARN"));
    EXPECT_GT(ink.box.Width(), normal.box.Width());
    EXPECT_GT(ink.count, normal.count + normal.count / 5);
}

TEST_F(Text, OpaqueTextFillsItsCellWithTheBackground) {
    Surface s(200, 40);
    DeviceContext dc = Pen(s, bold_);
    dc.SetBkMode(BkMode::Opaque);
    dc.SetBkColor(0x0000FF);
    dc.TextOut(10, 5, "VARN");
    const Pixel bk = PixelShifts{}.FromColorRef(0x0000FF);
    const Rect box{10, 5, 10 + dc.GetTextExtent("VARN").cx, 25};
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            const Pixel p = s.At(x, y);
            const bool allowed = box.Contains(x, y) ? (p == bk || p == kInk) : p == 0;
            EXPECT_TRUE(allowed) << x << "," << y << " holds " << p;
        }
    EXPECT_GT(FindInk(s).count, 40);
}

TEST_F(Text, WrappedParagraphStaysInsideItsMeasuredColumn) {
    Surface s(400, 300);
    DeviceContext dc = Pen(s, bold_);
    Rect rect{30, 20, 160, 20};
    const int height = dc.DrawText(kParagraph, rect, kDtWordBreak | kDtCalcRect);
    EXPECT_EQ(FindInk(s).count, 0); // measuring draws nothing
    EXPECT_EQ(height, rect.Height());
    EXPECT_EQ(height % 20, 0);
    const int lines = height / 20;
    EXPECT_GE(lines, 3);
    EXPECT_LE(rect.right, 160);
    // Measuring again in the measured width gives the same lines, so the caller can draw
    // into the rectangle it measured.
    Rect again{rect.left, rect.top, rect.right, rect.top};
    EXPECT_EQ(dc.DrawText(kParagraph, again, kDtWordBreak | kDtCalcRect), height);
    EXPECT_EQ(again, rect);
    EXPECT_EQ(dc.DrawText(kParagraph, rect, kDtWordBreak | kDtNoClip), height);
    const Ink ink = FindInk(s);
    EXPECT_EQ(Intersect(ink.box, rect), ink.box); // all ink inside the measured rectangle
    for (int line = 0; line < lines; ++line) {    // every line band has ink
        bool inked = false;
        for (int y = rect.top + line * 20; y < rect.top + line * 20 + 20; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                inked |= s.At(x, y) == kInk;
        EXPECT_TRUE(inked) << "line " << line;
    }
}

TEST_F(Text, LineBreaksAndOverlongWords) {
    Surface s(10, 10);
    DeviceContext dc = Pen(s, small_);
    Rect rect{0, 0, 300, 0};
    EXPECT_EQ(dc.DrawText("one\ntwo\r\nthree\rfour", rect, kDtCalcRect), 4 * 16);
    EXPECT_EQ(dc.DrawText("one\n\ntwo\n", rect, kDtCalcRect), 3 * 16); // no line after the end
    EXPECT_EQ(dc.DrawText("one\ntwo", rect, kDtCalcRect | kDtSingleLine), 16);
    EXPECT_EQ(dc.DrawText("", rect, kDtCalcRect), 0);
    EXPECT_EQ(rect, (Rect{0, 0, 0, 0}));
    // A word wider than the column keeps its own line, unbroken.
    rect = Rect{5, 0, 15, 0};
    EXPECT_EQ(dc.DrawText("Suitcase Suitcase", rect, kDtCalcRect | kDtWordBreak), 2 * 16);
    EXPECT_EQ(rect.right, 5 + dc.GetTextExtent("Suitcase").cx);
}

TEST_F(Text, CentredLineHasEqualMargins) {
    Surface s(300, 60);
    Rect rect{20, 10, 260, 50};
    EXPECT_EQ(Pen(s, bold_).DrawText("VARN", rect, kDtCenter | kDtWordBreak), 20);
    const Ink ink = FindInk(s);
    const int leftMargin = ink.box.left - rect.left;
    const int rightMargin = rect.right - ink.box.right;
    EXPECT_GT(leftMargin, 50);
    EXPECT_LE(std::abs(leftMargin - rightMargin), 2);
}

TEST_F(Text, DrawingClipsToTheRectAndTheSurface) {
    Surface s(100, 40);
    DeviceContext dc = Pen(s, bold_);
    Rect rect{10, 5, 40, 25};
    dc.DrawText("Wide text here", rect, 0);
    const Ink clipped = FindInk(s);
    EXPECT_GE(clipped.box.left, 10);
    EXPECT_LE(clipped.box.right, 40);
    dc.DrawText("Wide text here", rect, kDtNoClip);
    EXPECT_GT(FindInk(s).box.right, 40);
    // Far outside, partly outside and enormous: nothing is written out of bounds.
    dc.TextOut(INT_MAX - 5, INT_MIN + 5, "Tarvo");
    dc.TextOut(-30, -12, "Tarvo & VARN");
    Rect huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    dc.DrawText(kParagraph, huge, kDtWordBreak | kDtCenter);
    dc.FillRect(Rect{-5, -5, 3, 2}, 0xFFFFFF);
    EXPECT_EQ(s.At(2, 1), 0xFFFF);
    EXPECT_NE(s.At(3, 1), 0xFFFF);
}

TEST_F(Text, CyrillicRendersItsOwnGlyphs) {
    const std::string phrase = Utf8ToCp1251("Полоска в чемодане");
    ASSERT_EQ(phrase, "\xCF\xEE\xEB\xEE\xF1\xEA\xE0 \xE2 \xF7\xE5\xEC\xEE\xE4\xE0\xED\xE5");
    const Ink ink = FindInk(Line(bold_, phrase));
    EXPECT_EQ(ink.values, (std::set<Pixel>{0, kInk}));
    EXPECT_NE(ink.box.Width(), FindInk(Line(bold_, std::string(phrase.size(), '?'))).box.Width());
    // Missing glyphs would all be the same box; real letters differ from one another.
    std::set<int> counts;
    for (char letter : Utf8ToCp1251("Полскачем"))
        counts.insert(FindInk(Line(bold_, {&letter, 1})).count);
    EXPECT_GE(counts.size(), 7u);
    // Ё differs from Е only by its dots.
    EXPECT_GT(FindInk(Line(bold_, "\xA8")).count, FindInk(Line(bold_, "\xC5")).count);
}

TEST_F(Text, ColoursFollowThePixelFormatAndRenderingIsRepeatable) {
    const PixelShifts rgb555{10, 5, 5, 5, 0, 5};
    std::string error;
    auto again = Font::Create("Arial", 20, kFwBold, error);
    ASSERT_NE(again, nullptr) << error;
    Surface s(600, 40);
    Pen(s, again.get(), rgb555).TextOut(0, 0, "Tarvo & VARN");
    const Surface first = Line(bold_, "Tarvo & VARN");
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            ASSERT_EQ(s.At(x, y) != 0, first.At(x, y) != 0) << x << "," << y;
    EXPECT_EQ(FindInk(s, rgb555.FromColorRef(kCyan)).count, FindInk(first).count);
}

TEST_F(Text, AccentsAboveTheAscentDoNotMoveTheBaseline) {
    // At small sizes the breve of Й reaches above the ascent; the line must stay put.
    for (int height = 9; height <= 16; ++height) {
        std::string error;
        auto font = Font::Create("Arial", height, kFwBold, error);
        ASSERT_NE(font, nullptr) << error;
        const int plain = FindInk(Line(font.get(), "HH")).box.bottom;
        EXPECT_EQ(FindInk(Line(font.get(), "H\xC9")).box.bottom, plain) << "height " << height;
    }
}
