#pragma once
// Everything written on screen: captions under the pointer (QText), spoken lines
// (QTextPhrase), dialogue choices (QTextChoice) and item descriptions (QTextDescription).
// Each renders once, when created, into the text picture (resource -2), outlined, and from
// then on only copies that picture with black as the colour key.
#include <cstdint>
#include <string>
#include <vector>

#include "core/QVisibleObject.h"
#include "platform/PixelFormat.h"
#include "platform/Types.h"

inline constexpr int32_t kTextPicture = -2;

// Adds a one-pixel outline of value `outline` around the glyphs of a 16-bit picture: first
// along rows, then along columns, never diagonally. A pixel is glyph when it is neither 0
// nor the outline value; only pixels that are 0 become outline.
void OutlineGlyphs(platform::Surface& picture, platform::Pixel outline);

// How long a spoken line stays: without speech, by its length; with speech, this long after
// the speech has ended. At full speed (the options panel's default) these are 1000 + 30 ms a
// character and 250 ms; each step down the speed scale lengthens them, up to twice as long
// at the slowest speed, for players who read slower.
int PhraseReadingMs(int characters, int speedPercent);
int PhraseAfterSpeechMs(int speedPercent);

class QText : public QVisibleObject {
    TARVO_DECLARE_CLASS(QText)
public:
    // A caption: left-aligned lines, bottom-centred on the screen.
    QText(const std::string& text, uint32_t color, uint32_t outlineColor);
    void Dump(std::string& out) const override;

    void Draw(platform::Surface& target) override;
    // Re-marks its own rectangle when something under it is redrawn.
    void Update(int elapsedMs) override;
    int HitTest(int, int) override { return 0; }

    const std::string& Text() const { return text_; }
    const platform::Rect& ScreenRect() const { return screen_; }

protected:
    QText() = default;
    // Renders word-wrapped lines into a new text picture of the measured size.
    void Render(const std::string& text, uint32_t color, uint32_t outlineColor, bool centred);
    // Bottom-centred placement of a picture of width x height, marked for redraw.
    void PlaceAtBottom(int width, int height);

    std::string text_;
    platform::Rect screen_{};
};

class QTextPhrase : public QText {
    TARVO_DECLARE_CLASS(QTextPhrase)
public:
    // A spoken line: centred lines. It ends itself after its time (or after its speech).
    QTextPhrase(const std::string& text, uint32_t color, uint32_t outlineColor);

    void Update(int elapsedMs) override;
    int HitTest(int, int) override { return 1; }
    // Skips the rest of the line.
    void OnClick(int x, int y) override;

    int32_t elapsed = 0;
};

class QTextChoice : public QText {
    TARVO_DECLARE_CLASS(QTextChoice)
public:
    QTextChoice(const std::vector<std::string>& choices, uint32_t color, uint32_t outlineColor,
                uint32_t highlightColor);

    void Update(int) override {}
    int HitTest(int, int) override { return 1; }
    // Highlights the choice under the pointer (room coordinates).
    void OnMouseOver(int x, int y) override;
    // Chooses the highlighted choice.
    void OnClick(int x, int y) override;

    int32_t highlighted = -1;
    const std::vector<platform::Rect>& ChoiceRects() const { return rects_; }

private:
    void Redraw(int index, uint32_t color);

    std::vector<std::string> choices_;
    std::vector<platform::Rect> rects_; // in text-picture coordinates
    uint32_t color_;
    uint32_t highlightColor_;
};

class QTextDescription : public QText {
    TARVO_DECLARE_CLASS(QTextDescription)
public:
    // An item's description over frame `frame` of the description background (6008).
    QTextDescription(const std::string& text, int frame);

    void Draw(platform::Surface& target) override;
    void Update(int) override {}
    int HitTest(int, int) override { return 1; }
    // Closes the description.
    void OnClick(int x, int y) override;
};
