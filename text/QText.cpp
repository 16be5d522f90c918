#include "text/QText.h"

#include <algorithm>

#include "core/QSystem.h"
#include "graphics/Fonts.h"
#include "graphics/QFlic.h"
#include "graphics/QVideoSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "resources/QManager.h"

using platform::Rect;

TARVO_IMPLEMENT_CLASS(QText, QVisibleObject)
TARVO_IMPLEMENT_CLASS(QTextPhrase, QText)
TARVO_IMPLEMENT_CLASS(QTextChoice, QText)
TARVO_IMPLEMENT_CLASS(QTextDescription, QText)

namespace {

constexpr int kColumnLeft = 5;
constexpr int kColumnRight = 630;
constexpr int kTop = 2;
constexpr uint32_t kWrap = platform::kDtWordBreak;

// Measuring needs a device context before the picture exists; any surface will do.
platform::DeviceContext MeasuringContext(platform::Font* font) {
    static platform::Surface scratch(1, 1);
    platform::DeviceContext dc(scratch, g_pixelShifts);
    dc.SelectFont(font);
    return dc;
}

platform::Surface* NewTextPicture(int width, int height) {
    if (g_manager == nullptr) return nullptr;
    platform::Surface* picture = g_manager->CreatePicture(kTextPicture, width, height);
    if (picture != nullptr) picture->Fill(0);
    return picture;
}

QDialogInterface* Dialogue() {
    return (g_system != nullptr && g_system->mainInterface) ? &g_system->mainInterface->dialogue
                                                            : nullptr;
}

void MarkDirty(const Rect& r) {
    if (g_video != nullptr) g_video->AddDirtyRect(r);
}

} // namespace

namespace {

// 1 at full speed, 2 at the slowest, in hundredths.
int SlowdownHundredths(int speedPercent) {
    return 200 - std::clamp(speedPercent, 0, 100);
}

} // namespace

int PhraseReadingMs(int characters, int speedPercent) {
    return (1000 + 30 * characters) * SlowdownHundredths(speedPercent) / 100;
}

int PhraseAfterSpeechMs(int speedPercent) {
    return 250 * SlowdownHundredths(speedPercent) / 100;
}

void OutlineGlyphs(platform::Surface& picture, platform::Pixel outline) {
    const int w = picture.Width(), h = picture.Height();
    auto glyph = [&](platform::Pixel p) { return p != 0 && p != outline; };
    picture.Lock();
    for (int y = 0; y < h; ++y) {
        platform::Pixel* row = picture.Row(y);
        for (int x = 1; x <= w - 2; ++x) {
            if (!glyph(row[x])) continue;
            if (row[x - 1] == 0) row[x - 1] = outline;
            if (row[x + 1] == 0) row[x + 1] = outline;
        }
    }
    for (int x = 0; x < w; ++x) {
        for (int y = 1; y <= h - 2; ++y) {
            if (!glyph(picture.At(x, y))) continue;
            if (picture.At(x, y - 1) == 0) picture.Set(x, y - 1, outline);
            if (picture.At(x, y + 1) == 0) picture.Set(x, y + 1, outline);
        }
    }
    picture.Unlock();
}

QText::QText(const std::string& text, uint32_t color, uint32_t outlineColor) {
    Render(text, color, outlineColor, false);
}

void QText::Dump(std::string& out) const {
    out += "QText-> " + text_;
}

void QText::Render(const std::string& text, uint32_t color, uint32_t outlineColor, bool centred) {
    text_ = text;
    resourceId = kTextPicture;
    z = 3000;
    platform::DeviceContext measure = MeasuringContext(g_fontLarge);
    const int singleWidth = std::clamp(measure.GetTextExtent(text).cx, 0, kColumnRight);
    Rect column{kColumnLeft, kTop, kColumnRight, kTop};
    const int height = measure.DrawText(text, column, kWrap | platform::kDtCalcRect);
    const int width = singleWidth < kColumnRight ? singleWidth + 10 : 640;
    platform::Surface* picture = NewTextPicture(width, height + 4);
    if (picture != nullptr) {
        platform::DeviceContext dc(*picture, g_pixelShifts);
        dc.SelectFont(g_fontLarge);
        dc.SetTextColor(color);
        dc.SetBkMode(platform::BkMode::Transparent);
        dc.DrawText(text, column, kWrap | (centred ? platform::kDtCenter : platform::kDtLeft));
        picture->SetColorKey(0);
        OutlineGlyphs(*picture, g_pixelShifts.FromColorRef(outlineColor));
    }
    PlaceAtBottom(width, height + 4);
}

void QText::PlaceAtBottom(int width, int height) {
    const int left = (640 - width) / 2;
    screen_ = Rect{left, 479 - height, 639 - left, 479};
    MarkDirty(screen_);
}

void QText::Draw(platform::Surface& target) {
    platform::Surface* picture =
        g_manager != nullptr ? g_manager->GetPicture(kTextPicture) : nullptr;
    if (picture == nullptr) {
        platform::Trace("Text: the text picture is missing\n");
        return;
    }
    target.BltFast((640 - picture->Width()) / 2, 479 - picture->Height(), *picture,
                   picture->Bounds(), platform::kBltSrcColorKey | platform::kBltWait);
}

void QText::Update(int) {
    if (g_video == nullptr) return;
    const auto& dirty = g_video->DirtyRects();
    const size_t count = dirty.size();
    for (size_t i = 0; i < count; ++i) {
        if (!platform::Intersect(dirty[i], screen_).IsEmpty()) {
            g_video->AddDirtyRect(screen_);
            return;
        }
    }
}

QTextPhrase::QTextPhrase(const std::string& text, uint32_t color, uint32_t outlineColor) {
    Render(text, color, outlineColor, true);
}

void QTextPhrase::Update(int ms) {
    QDialogInterface* dialogue = Dialogue();
    const int speed = dialogue != nullptr ? dialogue->SpeedPercent() : 100;
    bool ends = false;
    if (dialogue != nullptr && dialogue->SpeechPresent()) {
        // While the recorded line plays the clock stands; a moment after it, go on.
        if (elapsed > 0 || dialogue->SpeechEnded()) elapsed += ms;
        ends = elapsed > PhraseAfterSpeechMs(speed);
    } else {
        elapsed += ms;
        ends = elapsed > PhraseReadingMs(static_cast<int>(text_.size()), speed);
    }
    if (!ends) return;
    elapsed = 0;
    if (dialogue != nullptr) dialogue->StepDialogue(kGoOn);
}

void QTextPhrase::OnClick(int, int) {
    if (QDialogInterface* dialogue = Dialogue()) dialogue->SkipPhrase();
}

QTextChoice::QTextChoice(const std::vector<std::string>& choices, uint32_t color,
                         uint32_t outlineColor, uint32_t highlightColor)
    : choices_(choices), color_(color), highlightColor_(highlightColor) {
    resourceId = kTextPicture;
    z = 3000;
    platform::DeviceContext measure = MeasuringContext(g_fontLarge);
    int widest = 0, total = 0;
    for (const std::string& c : choices_) {
        widest = std::max(widest, measure.GetTextExtent(c).cx);
        Rect column{kColumnLeft, kTop, kColumnRight, kTop};
        total += measure.DrawText(c, column, kWrap | platform::kDtCalcRect);
    }
    if (widest > 629) widest = 630;
    platform::Surface* picture = NewTextPicture(widest + 10, total + 4);
    Rect area{kColumnLeft, kTop, widest + kColumnLeft, total + kTop};
    for (const std::string& c : choices_) {
        int h = 0;
        if (picture != nullptr) {
            platform::DeviceContext dc(*picture, g_pixelShifts);
            dc.SelectFont(g_fontLarge);
            dc.SetTextColor(color);
            dc.SetBkMode(platform::BkMode::Transparent);
            Rect r = area;
            h = dc.DrawText(c, r, kWrap);
        }
        rects_.push_back(Rect{area.left, area.top, area.right, area.top + h});
        area = platform::Offset(area, 0, h);
    }
    if (picture != nullptr) {
        picture->SetColorKey(0);
        OutlineGlyphs(*picture, g_pixelShifts.FromColorRef(outlineColor));
    }
    PlaceAtBottom(widest + 10, total + 4);
}

void QTextChoice::Redraw(int index, uint32_t color) {
    if (index < 0 || index >= static_cast<int>(choices_.size())) return;
    platform::Surface* picture =
        g_manager != nullptr ? g_manager->GetPicture(kTextPicture) : nullptr;
    if (picture == nullptr) return;
    platform::DeviceContext dc(*picture, g_pixelShifts);
    dc.SelectFont(g_fontLarge);
    dc.SetTextColor(color);
    dc.SetBkMode(platform::BkMode::Transparent);
    Rect r = rects_[static_cast<size_t>(index)];
    dc.DrawText(choices_[static_cast<size_t>(index)], r, kWrap);
    MarkDirty(screen_);
}

void QTextChoice::OnMouseOver(int x, int y) {
    const int scroll = g_system != nullptr ? g_system->scrollOffset : 0;
    const int px = x - screen_.left - scroll, py = y - screen_.top;
    int hovered = static_cast<int>(rects_.size());
    for (size_t i = 0; i < rects_.size(); ++i) {
        if (rects_[i].Contains(px, py)) {
            hovered = static_cast<int>(i);
            break;
        }
    }
    if (hovered == highlighted) return;
    Redraw(highlighted, color_);
    Redraw(hovered, highlightColor_);
    highlighted = hovered;
}

void QTextChoice::OnClick(int, int) {
    if (highlighted < 0 || highlighted >= static_cast<int>(choices_.size())) return;
    if (QDialogInterface* dialogue = Dialogue()) dialogue->StepDialogue(highlighted);
}

QTextDescription::QTextDescription(const std::string& text, int frame) {
    text_ = text;
    resourceId = kTextPicture;
    z = 999;
    QFlic* background = g_manager != nullptr ? g_manager->GetFlic(6008) : nullptr;
    if (background != nullptr && !background->Invalid()) {
        // Forwards to the asked frame; an impossible number stops after one full cycle.
        for (int step = 0; background->CurrentFrame() != frame && step <= background->FrameCount();
             ++step)
            background->SetFrame(-1);
    }
    platform::Surface* picture = NewTextPicture(640, 480);
    if (picture != nullptr) {
        platform::Pixel key = 0;
        if (background != nullptr && background->Surface() != nullptr) {
            // A cropped background covers only part of the screen: the rest is transparent.
            picture->Fill(background->ColorKey());
            const platform::Point at = background->DrawOffset();
            picture->BltFast(at.x, at.y, *background->Surface(), background->Surface()->Bounds(),
                             platform::kBltWait);
            key = background->ColorKey();
        }
        platform::DeviceContext dc(*picture, g_pixelShifts);
        dc.SelectFont(g_fontSmall);
        dc.SetTextColor(0x000000);
        dc.SetBkMode(platform::BkMode::Transparent);
        Rect r{160, 275, 598, 376};
        dc.DrawText(text, r, kWrap);
        picture->SetColorKey(key);
    }
    screen_ = Rect{0, 0, 640, 480};
    if (g_video != nullptr) g_video->InvalidateAll();
}

void QTextDescription::Draw(platform::Surface& target) {
    platform::Surface* picture =
        g_manager != nullptr ? g_manager->GetPicture(kTextPicture) : nullptr;
    if (picture == nullptr || g_video == nullptr) return;
    for (const Rect& dirty : g_video->DirtyRects()) {
        const Rect part = platform::Intersect(dirty, screen_);
        if (!part.IsEmpty())
            target.BltFast(part.left, part.top, *picture, part,
                           platform::kBltSrcColorKey | platform::kBltWait);
    }
}

void QTextDescription::OnClick(int, int) {
    if (g_system != nullptr && g_system->mainInterface) g_system->mainInterface->EndDescription();
}
