#pragma once
// Off-screen 16-bit drawing surfaces and the copies between them. Every copy clips to both
// surfaces; a copy that falls wholly outside does nothing.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/PixelFormat.h"
#include "platform/Types.h"

namespace platform {

// Copy flags, with the values the drawing code has always passed.
enum BltFlags : uint32_t {
    kBltNoColorKey = 0x00,
    kBltSrcColorKey = 0x01,
    kBltWait = 0x10,
};

class Surface {
public:
    // A width×height surface, cleared to 0. Sizes below 0 are taken as 0.
    Surface(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Bytes from one row to the next; at least Width() * 2 and a multiple of 4.
    int Pitch() const { return pitch_; }
    Rect Bounds() const { return Rect{0, 0, width_, height_}; }

    // Direct pixel access. Lock returns the first row (null for an empty surface); Unlock
    // ends the access. Locks nest; nothing else changes while locked.
    Pixel* Lock();
    void Unlock();
    bool IsLocked() const { return lockCount_ > 0; }

    Pixel* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * (pitch_ / 2); }
    const Pixel* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * (pitch_ / 2); }
    Pixel At(int x, int y) const { return Row(y)[x]; }
    void Set(int x, int y, Pixel p) { Row(y)[x] = p; }

    // Source colour key: pixels exactly equal to it are skipped by keyed copies.
    void SetColorKey(Pixel key) { colorKey_ = key; }
    void ClearColorKey() { colorKey_.reset(); }
    std::optional<Pixel> ColorKey() const { return colorKey_; }

    // Copies srcRect of src to (x, y), keyed when kBltSrcColorKey is set and src has a key.
    // Returns true when any pixel was copied.
    bool BltFast(int x, int y, const Surface& src, const Rect& srcRect, uint32_t flags);
    // Scaled copy (nearest neighbour) of srcRect onto dstRect; returns true when any pixel
    // was written.
    bool Blt(const Rect& dstRect, const Surface& src, const Rect& srcRect);
    void Fill(Pixel value);
    void Fill(const Rect& rect, Pixel value);

    // Memory surfaces are never lost; kept so that callers read like the display code.
    bool IsLost() const { return false; }
    bool Restore() { return true; }

private:
    int width_;
    int height_;
    int pitch_;
    int lockCount_ = 0;
    std::optional<Pixel> colorKey_;
    std::vector<Pixel> pixels_;
};

} // namespace platform
