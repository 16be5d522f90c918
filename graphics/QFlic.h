#pragma once
// An animation resource: an FLC/FLI file with its mask (.MSK) and change (.MS2) rectangle
// files. Frames are decoded on demand, forwards only, into a 16-bit surface whose colour key
// is the pixel value of palette index 0. Any failure leaves the animation invalid for good:
// it then draws nothing and adds no rectangles.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Surface.h"
#include "platform/Types.h"

namespace codecs {
class FlicPlayback;
}

enum FrameRectKind { kMaskRects = 1, kChangeRects = 2 };

// Files up to this size are decoded from memory; larger ones are streamed frame by frame.
inline constexpr int32_t kFlicMemoryLimit = 200000;

class QFlic {
public:
    QFlic();
    ~QFlic();
    QFlic(const QFlic&) = delete;
    QFlic& operator=(const QFlic&) = delete;

    // Opens the animation and its rectangle files through the file layer and shows frame 1.
    void Open(const std::string& fileName);

    // Builds an animation from frames already decoded (tests): frames[k] is the picture of
    // frame k + 1; mask and change rectangles are given per frame.
    static std::unique_ptr<QFlic> FromFrames(std::vector<platform::Surface> frames, int frameTimeMs,
                                             platform::Pixel colorKey,
                                             std::vector<std::vector<platform::Rect>> masks,
                                             std::vector<std::vector<platform::Rect>> changes);

    // -1: the next frame (after the last comes the first); 1..N: decode forwards until that
    // frame shows (a number above N decodes one frame); 0 or the current number: nothing.
    void SetFrame(int n);
    // Appends the current frame's mask or change rectangles, placed at (x, y) in room
    // coordinates and moved onto the screen by the scroll offset, to the dirty list.
    void AddFrameRects(int x, int y, int which) const;

    const std::string& FileName() const { return fileName_; }
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
    // The current frame's rectangles from the mask or change file, in frame coordinates.
    const std::vector<platform::Rect>& FrameRects(int which) const;

private:
    bool OpenPlayback(int32_t handle);
    // Reports why the file was refused (when it is an animation at all); always false.
    bool Refused(const codecs::FlicPlayback& playback) const;
    void ReportInvalid() const;
    bool ReadRectFiles();
    void CropStill();
    void Fail();

    std::string fileName_;
    int frameTime_ = 1;
    int currentFrame_ = 0;
    int frameCount_ = 0;
    int width_ = 0;
    int height_ = 0;
    platform::Point drawOffset_{};
    platform::Rect bounding_{};
    platform::Pixel colorKey_ = 0;
    bool invalid_ = false;
    bool cropped_ = false;
    std::unique_ptr<platform::Surface> surface_;
    std::unique_ptr<codecs::FlicPlayback> playback_;
    std::vector<platform::Surface> frames_; // FromFrames only
    std::vector<std::vector<platform::Rect>> masks_;
    std::vector<std::vector<platform::Rect>> changes_;
};
