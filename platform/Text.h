#pragma once
// Text on surfaces, the way a device context draws it: fonts by face, height (the cell
// height, ascent + descent) and weight; single-line extents; word-wrapped measuring and
// drawing in a column, left-aligned or centred per line; a text colour; transparent
// background; no anti-aliasing. Strings are Windows-1251.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/PixelFormat.h"
#include "platform/Surface.h"
#include "platform/Types.h"

namespace platform {

inline constexpr int kFwNormal = 400;
inline constexpr int kFwBold = 700;

class Font {
public:
    virtual ~Font() = default;
    // "Arial" and other faces are resolved through fontconfig to an installed face with the
    // same metrics. Null with `error` set when no face can be found or opened.
    static std::unique_ptr<Font> Create(const std::string& face, int height, int weight,
                                        std::string& error);

    virtual int Height() const = 0; // the cell height asked for; also the line height
    // Ascent + descent of the size opened: the tallest not above Height() (only a height
    // below the smallest size's cell gets a taller one).
    virtual int CellHeight() const = 0;
    virtual int Weight() const = 0;
    virtual const std::string& FilePath() const = 0; // the face file that was opened
};

// Text format flags, with the values the game's code has always used.
enum TextFormat : uint32_t {
    kDtLeft = 0x0000,
    kDtCenter = 0x0001,
    kDtWordBreak = 0x0010,
    kDtSingleLine = 0x0020,
    kDtNoClip = 0x0100,
    kDtCalcRect = 0x0400,
};

enum class BkMode { Transparent, Opaque };

// Drawing on a surface through a selected font, as GetDC ... ReleaseDC did.
class DeviceContext {
public:
    DeviceContext(Surface& surface, const PixelShifts& shifts = PixelShifts{});

    Font* SelectFont(Font* font);             // returns the previous one
    uint32_t SetTextColor(uint32_t colorRef); // 0x00BBGGRR; returns the previous one
    void SetBkMode(BkMode mode) { bkMode_ = mode; }
    void SetBkColor(uint32_t colorRef) { bkColor_ = colorRef; }

    // Width and height of the text on one line.
    Size GetTextExtent(std::string_view text) const;
    // Draws (or with kDtCalcRect only measures, setting rect.right and rect.bottom) the text
    // in `rect`; with kDtWordBreak lines break between words to fit the width. Returns the
    // height of the text.
    int DrawText(std::string_view text, Rect& rect, uint32_t format);
    void TextOut(int x, int y, std::string_view text);
    void FillRect(const Rect& rect, uint32_t colorRef);

private:
    // One line of text with its cell's top-left at (x, y), written only inside `clip`.
    void DrawLine(int64_t x, int64_t y, std::string_view text, const Rect& clip);

    Surface& surface_;
    PixelShifts shifts_;
    Font* font_ = nullptr;
    uint32_t textColor_ = 0;
    uint32_t bkColor_ = 0xFFFFFF;
    BkMode bkMode_ = BkMode::Opaque;
};

} // namespace platform
