#include "platform/Text.h"

#include <SDL2/SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "platform/Cp1251.h"

namespace platform {

namespace {

// Sizes are searched in quarter pixels per em: a size of q points at 18 dots per inch is
// q / 4 pixels per em. Whole pixel sizes cannot hit every cell height (16 falls between two).
constexpr unsigned kQuarterPixelDpi = 18;
constexpr int kMaxFontHeight = 4096;

// The face file fontconfig chose for a request.
struct FaceFile {
    std::string path;
    int index = 0;
    bool needsSyntheticBold = false; // bold asked for, only a lighter face installed
};

struct FcPatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using FcPatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;

struct TtfFontDeleter {
    void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
};
using TtfFontPtr = std::unique_ptr<TTF_Font, TtfFontDeleter>;

struct SdlSurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SdlSurfacePtr = std::unique_ptr<SDL_Surface, SdlSurfaceDeleter>;

bool ResolveFace(const std::string& face, int weight, FaceFile& out, std::string& error) {
    if (!FcInit()) {
        error = "fontconfig could not be initialised";
        return false;
    }
    FcPatternPtr pattern(FcPatternCreate());
    if (!pattern) {
        error = "fontconfig could not create a pattern";
        return false;
    }
    const int openTypeWeight = weight <= 0 ? kFwNormal : std::min(weight, 1000);
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(openTypeWeight));
    FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    FcPatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    FcChar8* file = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) {
        error = "no installed font matches \"" + face + "\"";
        return false;
    }
    out.path = reinterpret_cast<const char*>(file);
    if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &out.index) != FcResultMatch) out.index = 0;
    int matchedWeight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(match.get(), FC_WEIGHT, 0, &matchedWeight);
    out.needsSyntheticBold = openTypeWeight >= 600 && matchedWeight < FC_WEIGHT_DEMIBOLD;
    return true;
}

// Sizes below one pixel per em cannot be set.
constexpr int kSmallestSize = 4;

// Sets the size and returns its cell height; a size that cannot be set counts as too tall.
int CellAt(TTF_Font* font, int quarterPixels) {
    if (TTF_SetFontSizeDPI(font, quarterPixels, kQuarterPixelDpi, kQuarterPixelDpi) != 0)
        return std::numeric_limits<int>::max();
    return TTF_FontAscent(font) - TTF_FontDescent(font); // descent is negative
}

// Sets the size whose cell (ascent + descent in whole pixels) is the
// tallest that does not exceed `height`. Of the sizes giving that cell the smallest is taken:
// it is the one whose unrounded ascent + descent comes closest to the cell, which is how a
// cell height has always been turned into an em.
void ChooseSize(TTF_Font* font, int height) {
    // The cell grows monotonically with the size, and an em is never taller than 4 cells.
    int largest = kSmallestSize, hi = 4 * 4 * height;
    if (CellAt(font, largest) > height) return; // even the smallest size is too tall
    while (largest < hi) {                      // the largest size whose cell fits
        const int mid = largest + (hi - largest + 1) / 2;
        if (CellAt(font, mid) <= height)
            largest = mid;
        else
            hi = mid - 1;
    }
    const int bestCell = CellAt(font, largest);
    int smallest = kSmallestSize;
    while (smallest < largest) { // the smallest size with that cell
        const int mid = smallest + (largest - smallest) / 2;
        if (CellAt(font, mid) >= bestCell)
            largest = mid;
        else
            smallest = mid + 1;
    }
    CellAt(font, smallest);
}

// Keeps the SDL_ttf library initialised while a font lives; TTF_Init and TTF_Quit count.
class TtfLibrary {
public:
    TtfLibrary() : ok_(TTF_Init() == 0) {}
    ~TtfLibrary() {
        if (ok_) TTF_Quit();
    }
    TtfLibrary(const TtfLibrary&) = delete;
    TtfLibrary& operator=(const TtfLibrary&) = delete;
    bool Ok() const { return ok_; }

private:
    bool ok_;
};

// CR and LF never reach the rasteriser: they are line breaks, not glyphs.
std::string LineToUtf8(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n') line += c;
    return Cp1251ToUtf8(line);
}

class TtfFont final : public Font {
public:
    TtfFont(int height, int weight) : height_(height), weight_(weight) {
        glyphTops_.fill(kUnknown);
    }

    bool Open(const FaceFile& face, std::string& error) {
        if (!library_.Ok()) {
            error = std::string("font library: ") + TTF_GetError();
            return false;
        }
        font_.reset(TTF_OpenFontIndexDPI(face.path.c_str(), 4 * height_, face.index,
                                         kQuarterPixelDpi, kQuarterPixelDpi));
        if (!font_) {
            error = "cannot open font " + face.path + ": " + TTF_GetError();
            return false;
        }
        path_ = face.path;
        if (face.needsSyntheticBold) TTF_SetFontStyle(font_.get(), TTF_STYLE_BOLD);
        TTF_SetFontKerning(font_.get(), 0); // device-context text has never been kerned
        ChooseSize(font_.get(), height_);
        ascent_ = TTF_FontAscent(font_.get());
        cellHeight_ = ascent_ - TTF_FontDescent(font_.get());
        return true;
    }

    int Height() const override { return height_; }
    int CellHeight() const override { return cellHeight_; }
    int Weight() const override { return weight_; }
    const std::string& FilePath() const override { return path_; }

    int Width(std::string_view text) const {
        const std::string utf8 = LineToUtf8(text);
        int w = 0, h = 0;
        if (utf8.empty() || TTF_SizeUTF8(font_.get(), utf8.c_str(), &w, &h) != 0) return 0;
        return w;
    }

    // The line rendered in 8 bits; index 0 is background, any other index is glyph.
    SdlSurfacePtr Render(std::string_view text) const {
        const std::string utf8 = LineToUtf8(text);
        if (utf8.empty()) return nullptr;
        return SdlSurfacePtr(
            TTF_RenderUTF8_Solid(font_.get(), utf8.c_str(), SDL_Color{255, 255, 255, 255}));
    }

    // Rows above the ascent in a rendered line. The rasteriser grows its picture upwards
    // when a glyph (an accent at small sizes) reaches above the ascent, which moves the
    // baseline down by as many rows.
    int RowsAboveAscent(std::string_view text) const {
        int top = ascent_;
        for (char c : text)
            top = std::max(top, GlyphTop(static_cast<unsigned char>(c)));
        return top - ascent_;
    }

private:
    static constexpr int kUnknown = std::numeric_limits<int>::min();

    int GlyphTop(unsigned char byte) const {
        int& top = glyphTops_[byte];
        if (top == kUnknown) {
            int maxY = 0;
            if (TTF_GlyphMetrics32(font_.get(), Cp1251ToCodePoint(byte), nullptr, nullptr, nullptr,
                                   &maxY, nullptr) != 0)
                maxY = 0;
            top = maxY;
        }
        return top;
    }

    TtfLibrary library_; // first member: released after the font is closed
    TtfFontPtr font_;
    std::string path_;
    int height_;
    int weight_;
    int ascent_ = 0;
    int cellHeight_ = 0;
    mutable std::array<int, 256> glyphTops_{}; // per Windows-1251 byte, filled on first use
};

const TtfFont* AsTtf(const Font* font) {
    return dynamic_cast<const TtfFont*>(font);
}

struct Line {
    std::string_view text;
    int width = 0;
};

// End of the word that starts at or after `from` (leading spaces belong to it).
size_t WordEnd(std::string_view text, size_t from) {
    while (from < text.size() && text[from] == ' ')
        ++from;
    while (from < text.size() && text[from] != ' ')
        ++from;
    return from;
}

// Greedy word wrap: each line takes as many words as fit in maxWidth, at least one, so a
// word wider than the column stays whole and overhangs. The spaces at a break are dropped.
void WrapParagraph(const TtfFont& font, std::string_view para, int64_t maxWidth,
                   std::vector<Line>& lines) {
    while (!para.empty() && para.back() == ' ')
        para.remove_suffix(1);
    size_t start = 0;
    do {
        // Most texts are short lines in wide columns: one measurement settles them.
        const std::string_view rest = para.substr(start);
        const int restWidth = font.Width(rest);
        if (restWidth <= maxWidth) {
            lines.push_back(Line{rest, restWidth});
            return;
        }
        size_t end = WordEnd(para, start);
        int width = font.Width(para.substr(start, end - start));
        while (end < para.size()) {
            const size_t next = WordEnd(para, end);
            const int nextWidth = font.Width(para.substr(start, next - start));
            if (nextWidth > maxWidth) break;
            end = next;
            width = nextWidth;
        }
        lines.push_back(Line{para.substr(start, end - start), width});
        start = end;
        while (start < para.size() && para[start] == ' ')
            ++start;
    } while (start < para.size());
}

// Splits the text into lines: at CR LF, LF or CR unless single-line, and between words
// when wrapping. A break at the very end opens no further line.
std::vector<Line> LayOut(const TtfFont& font, std::string_view text, uint32_t format,
                         int64_t maxWidth) {
    std::vector<Line> lines;
    if (text.empty()) return lines;
    if (format & kDtSingleLine) {
        lines.push_back(Line{text, font.Width(text)});
        return lines;
    }
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t brk = std::min(text.find_first_of("\r\n", pos), text.size());
        const std::string_view para = text.substr(pos, brk - pos);
        if (format & kDtWordBreak)
            WrapParagraph(font, para, maxWidth, lines);
        else
            lines.push_back(Line{para, font.Width(para)});
        if (brk == text.size()) break;
        const bool crlf = text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n';
        pos = brk + (crlf ? 2 : 1);
    }
    return lines;
}

int32_t Clamp32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

Rect MakeRect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    return Rect{Clamp32(left), Clamp32(top), Clamp32(right), Clamp32(bottom)};
}

} // namespace

std::unique_ptr<Font> Font::Create(const std::string& face, int height, int weight,
                                   std::string& error) {
    if (height <= 0 || height > kMaxFontHeight) {
        error = "font height " + std::to_string(height) + " is out of range";
        return nullptr;
    }
    FaceFile file;
    if (!ResolveFace(face, weight, file, error)) return nullptr;
    auto font = std::make_unique<TtfFont>(height, weight);
    if (!font->Open(file, error)) return nullptr;
    return font;
}

DeviceContext::DeviceContext(Surface& surface, const PixelShifts& shifts)
    : surface_(surface), shifts_(shifts) {}

Font* DeviceContext::SelectFont(Font* font) {
    Font* previous = font_;
    font_ = font;
    return previous;
}

uint32_t DeviceContext::SetTextColor(uint32_t colorRef) {
    const uint32_t previous = textColor_;
    textColor_ = colorRef;
    return previous;
}

Size DeviceContext::GetTextExtent(std::string_view text) const {
    const TtfFont* font = AsTtf(font_);
    if (!font) return Size{};
    return Size{font->Width(text), font->Height()};
}

int DeviceContext::DrawText(std::string_view text, Rect& rect, uint32_t format) {
    const TtfFont* font = AsTtf(font_);
    const std::vector<Line> lines =
        font ? LayOut(*font, text, format, int64_t{rect.right} - rect.left) : std::vector<Line>{};
    const int lineHeight = font ? font->Height() : 0;
    const int32_t height = Clamp32(static_cast<int64_t>(lines.size()) * lineHeight);
    if (format & kDtCalcRect) {
        int widest = 0;
        for (const Line& line : lines)
            widest = std::max(widest, line.width);
        rect.right = Clamp32(int64_t{rect.left} + widest);
        rect.bottom = Clamp32(int64_t{rect.top} + height);
        return height;
    }
    const Rect clip = (format & kDtNoClip) ? surface_.Bounds() : Intersect(rect, surface_.Bounds());
    const int64_t rectWidth = int64_t{rect.right} - rect.left;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int64_t x = rect.left + ((format & kDtCenter) ? (rectWidth - lines[i].width) / 2 : 0);
        DrawLine(x, rect.top + static_cast<int64_t>(i) * lineHeight, lines[i].text, clip);
    }
    return height;
}

void DeviceContext::TextOut(int x, int y, std::string_view text) {
    DrawLine(x, y, text, surface_.Bounds());
}

void DeviceContext::FillRect(const Rect& rect, uint32_t colorRef) {
    surface_.Fill(rect, shifts_.FromColorRef(colorRef));
}

void DeviceContext::DrawLine(int64_t x, int64_t y, std::string_view text, const Rect& clip) {
    const TtfFont* font = AsTtf(font_);
    if (!font || clip.IsEmpty()) return;
    const int lineHeight = font->Height();
    if (bkMode_ == BkMode::Opaque) {
        const Rect box = MakeRect(x, y, x + font->Width(text), y + lineHeight);
        surface_.Fill(Intersect(box, clip), shifts_.FromColorRef(bkColor_));
    }
    const SdlSurfacePtr glyphs = font->Render(text);
    if (!glyphs || glyphs->format->BytesPerPixel != 1) return;
    if (SDL_MUSTLOCK(glyphs.get()) && SDL_LockSurface(glyphs.get()) != 0) return;
    const Pixel ink = shifts_.FromColorRef(textColor_);
    const int firstRow = font->RowsAboveAscent(text);
    // Only the line's cell is written: rows from its top down to the line height.
    const int rows = std::min(lineHeight, glyphs->h - firstRow);
    const int64_t colBegin = std::max<int64_t>(0, clip.left - x);
    const int64_t colEnd = std::min<int64_t>(glyphs->w, clip.right - x);
    for (int r = 0; r < rows; ++r) {
        const int64_t dy = y + r;
        if (dy < clip.top || dy >= clip.bottom) continue;
        const auto* src =
            static_cast<const uint8_t*>(glyphs->pixels) + (firstRow + r) * glyphs->pitch;
        Pixel* dst = surface_.Row(static_cast<int>(dy));
        for (int64_t c = colBegin; c < colEnd; ++c)
            if (src[c] != 0) dst[x + c] = ink;
    }
    if (SDL_MUSTLOCK(glyphs.get())) SDL_UnlockSurface(glyphs.get());
}

} // namespace platform

// For the sanitizer builds: fontconfig keeps parts of its configuration for the life of the
// process, which the leak checker would report at exit in every program that draws text. The
// checker looks this function up by name; it lives here because every such program links this
// file, and other builds never call it.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
