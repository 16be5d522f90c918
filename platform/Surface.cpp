#include "platform/Surface.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

int PitchFor(int width) {
    // Rows start on 4-byte boundaries, as display surfaces do; callers must use Pitch().
    return ((std::max(width, 0) * 2) + 3) & ~3;
}

// Clips a copy of srcRect (in src) to (x, y) in dst against both surfaces. On success the
// rectangle and position describe only pixels that exist in both.
bool ClipCopy(Rect& srcRect, int64_t& x, int64_t& y, const Rect& srcBounds, const Rect& dstBounds) {
    int64_t sl = srcRect.left, st = srcRect.top, sr = srcRect.right, sb = srcRect.bottom;
    if (sr <= sl || sb <= st) return false;
    // Clip against the source.
    if (sl < srcBounds.left) {
        x += srcBounds.left - sl;
        sl = srcBounds.left;
    }
    if (st < srcBounds.top) {
        y += srcBounds.top - st;
        st = srcBounds.top;
    }
    sr = std::min<int64_t>(sr, srcBounds.right);
    sb = std::min<int64_t>(sb, srcBounds.bottom);
    // Clip against the destination.
    if (x < dstBounds.left) {
        sl += dstBounds.left - x;
        x = dstBounds.left;
    }
    if (y < dstBounds.top) {
        st += dstBounds.top - y;
        y = dstBounds.top;
    }
    sr = std::min<int64_t>(sr, sl + (dstBounds.right - x));
    sb = std::min<int64_t>(sb, st + (dstBounds.bottom - y));
    if (sr <= sl || sb <= st) return false;
    srcRect = Rect{static_cast<int32_t>(sl), static_cast<int32_t>(st), static_cast<int32_t>(sr),
                   static_cast<int32_t>(sb)};
    return true;
}

void CopyRowKeyed(Pixel* __restrict dst, const Pixel* __restrict src, int count, Pixel key) {
    // Written as a select rather than a branch so that the compiler turns it into vector
    // compares and blends; this is the engine's hottest loop.
    for (int i = 0; i < count; ++i)
        dst[i] = (src[i] == key) ? dst[i] : src[i];
}

} // namespace

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), pitch_(PitchFor(width)),
      pixels_(static_cast<size_t>(pitch_ / 2) * static_cast<size_t>(height_), 0) {}

Pixel* Surface::Lock() {
    ++lockCount_;
    return pixels_.empty() ? nullptr : pixels_.data();
}

void Surface::Unlock() {
    if (lockCount_ > 0) --lockCount_;
}

bool Surface::BltFast(int x, int y, const Surface& src, const Rect& srcRect, uint32_t flags) {
    Rect clipped = srcRect;
    int64_t dx = x, dy = y;
    if (!ClipCopy(clipped, dx, dy, src.Bounds(), Bounds())) return false;
    const int w = clipped.Width();
    const bool keyed = (flags & kBltSrcColorKey) != 0 && src.colorKey_.has_value();
    const Pixel key = src.colorKey_.value_or(0);
    const bool sameRows = (&src == this) && clipped.top < dy;
    for (int row = 0; row < clipped.Height(); ++row) {
        // Copying within one surface downwards goes bottom-up so rows are read before written.
        const int r = sameRows ? clipped.Height() - 1 - row : row;
        const Pixel* s = src.Row(clipped.top + r) + clipped.left;
        Pixel* d = Row(static_cast<int>(dy) + r) + dx;
        if (keyed) {
            if (&src == this) {
                for (int i = 0; i < w; ++i)
                    if (s[i] != key) d[i] = s[i];
            } else {
                CopyRowKeyed(d, s, w, key);
            }
        } else {
            std::memmove(d, s, static_cast<size_t>(w) * sizeof(Pixel));
        }
    }
    return true;
}

bool Surface::Blt(const Rect& dstRect, const Surface& src, const Rect& srcRect) {
    if (dstRect.IsEmpty() || srcRect.IsEmpty()) return false;
    const Rect target = Intersect(dstRect, Bounds());
    if (target.IsEmpty()) return false;
    const int64_t dw = dstRect.Width(), dh = dstRect.Height();
    const int64_t sw = srcRect.Width(), sh = srcRect.Height();
    // Nearest neighbour: destination pixel i takes source pixel floor(i * sw / dw), so a
    // halving keeps the even pixels and a doubling repeats each one.
    auto mapX = [&](int64_t dx) { return srcRect.left + ((dx - dstRect.left) * sw) / dw; };
    auto mapY = [&](int64_t dy) { return srcRect.top + ((dy - dstRect.top) * sh) / dh; };
    std::vector<int32_t> columns(static_cast<size_t>(target.Width()));
    for (int32_t dx = target.left; dx < target.right; ++dx) {
        const int64_t sx = mapX(dx);
        columns[dx - target.left] = (sx >= 0 && sx < src.width_) ? static_cast<int32_t>(sx) : -1;
    }
    // Reading and writing the same surface: read from a copy so that output never feeds input.
    const Surface* from = &src;
    Surface copy(0, 0);
    if (&src == this) {
        copy = src;
        from = &copy;
    }
    bool wrote = false;
    for (int32_t dy = target.top; dy < target.bottom; ++dy) {
        const int64_t sy = mapY(dy);
        if (sy < 0 || sy >= src.height_) continue;
        const Pixel* s = from->Row(static_cast<int>(sy));
        Pixel* d = Row(dy);
        for (int32_t dx = target.left; dx < target.right; ++dx) {
            const int32_t sx = columns[dx - target.left];
            if (sx < 0) continue;
            d[dx] = s[sx];
            wrote = true;
        }
    }
    return wrote;
}

void Surface::Fill(Pixel value) {
    std::fill(pixels_.begin(), pixels_.end(), value);
}

void Surface::Fill(const Rect& rect, Pixel value) {
    const Rect r = Intersect(rect, Bounds());
    for (int y = r.top; y < r.bottom; ++y)
        std::fill(Row(y) + r.left, Row(y) + r.right, value);
}

} // namespace platform
