#pragma once
// An animation resource: frames decoded into a 16-bit surface, with per-frame mask and change
// rectangles. Palette index 0 is transparent; its pixel value is the surface's colour key.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Surface.h"
#include "platform/Types.h"

enum FrameRectKind { kMaskRects = 1, kChangeRects = 2 };

class QFlic {
public:
    QFlic();
    ~QFlic();

    // Builds an animation from frames already decoded (tests and tools): frames[k] is the
    // picture of frame k + 1; mask and change rectangles are given per frame.
    static std::unique_ptr<QFlic> FromFrames(std::vector<platform::Surface> frames, int frameTimeMs,
                                             platform::Pixel colorKey,
                                             std::vector<std::vector<platform::Rect>> masks,
                                             std::vector<std::vector<platform::Rect>> changes);

    // -1: the next frame (after the last comes the first); 1..N: that frame; 0: nothing.
    void SetFrame(int n);
    // Appends the current frame's mask or change rectangles, moved to (x, y) in room
    // coordinates and then to the screen by the scroll offset, to the video system's list.
    void AddFrameRects(int x, int y, int which) const;

    int FrameTime() const { return frameTime_; }
    int CurrentFrame() const { return currentFrame_; }
    int FrameCount() const { return frameCount_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    platform::Point DrawOffset() const { return drawOffset_; }
    platform::Rect BoundingRect() const { return bounding_; }
    platform::Surface* Surface() const { return surface_.get(); }
    platform::Pixel ColorKey() const { return colorKey_; }
    bool Invalid() const { return invalid_; }
    bool IsStill() const { return frameCount_ <= 1; }
    // The current frame's rectangles of the mask or change file, in frame coordinates.
    const std::vector<platform::Rect>& FrameRects(int which) const;

private:
    int frameTime_ = 1;
    int currentFrame_ = 0;
    int frameCount_ = 0;
    int width_ = 0;
    int height_ = 0;
    platform::Point drawOffset_{};
    platform::Rect bounding_{};
    platform::Pixel colorKey_ = 0;
    bool invalid_ = false;
    std::unique_ptr<platform::Surface> surface_;
    std::vector<platform::Surface> frames_;
    std::vector<std::vector<platform::Rect>> masks_;
    std::vector<std::vector<platform::Rect>> changes_;
};
