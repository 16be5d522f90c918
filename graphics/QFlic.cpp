#include "graphics/QFlic.h"

#include "core/QSystem.h"
#include "graphics/QVideoSystem.h"

using platform::Rect;

QFlic::QFlic() = default;
QFlic::~QFlic() = default;

std::unique_ptr<QFlic> QFlic::FromFrames(std::vector<platform::Surface> frames, int frameTimeMs,
                                         platform::Pixel colorKey,
                                         std::vector<std::vector<Rect>> masks,
                                         std::vector<std::vector<Rect>> changes) {
    auto flic = std::make_unique<QFlic>();
    if (frames.empty()) {
        flic->invalid_ = true;
        return flic;
    }
    flic->width_ = frames[0].Width();
    flic->height_ = frames[0].Height();
    flic->frameCount_ = static_cast<int>(frames.size());
    flic->frameTime_ = std::max(frameTimeMs, 1);
    flic->colorKey_ = colorKey;
    flic->bounding_ = Rect{0, 0, flic->width_, flic->height_};
    masks.resize(frames.size());
    changes.resize(frames.size());
    flic->masks_ = std::move(masks);
    flic->changes_ = std::move(changes);
    flic->frames_ = std::move(frames);
    flic->surface_ = std::make_unique<platform::Surface>(flic->width_, flic->height_);
    flic->surface_->SetColorKey(colorKey);
    flic->SetFrame(1);
    return flic;
}

void QFlic::SetFrame(int n) {
    if (invalid_ || frameCount_ == 0 || n == 0) return;
    if (n == -1) n = currentFrame_ >= frameCount_ ? 1 : currentFrame_ + 1;
    if (n < 1 || n > frameCount_) return;
    currentFrame_ = n;
    const platform::Surface& frame = frames_[static_cast<size_t>(n - 1)];
    surface_->BltFast(0, 0, frame, frame.Bounds(), platform::kBltWait);
}

const std::vector<Rect>& QFlic::FrameRects(int which) const {
    static const std::vector<Rect> kNone;
    if (currentFrame_ < 1 || currentFrame_ > frameCount_) return kNone;
    const auto& lists = which == kChangeRects ? changes_ : masks_;
    if (static_cast<size_t>(currentFrame_) > lists.size()) return kNone;
    return lists[static_cast<size_t>(currentFrame_ - 1)];
}

void QFlic::AddFrameRects(int x, int y, int which) const {
    if (invalid_ || g_video == nullptr) return;
    const int scroll = g_system != nullptr ? g_system->scrollOffset : 0;
    for (const Rect& r : FrameRects(which)) g_video->AddDirtyRect(platform::Offset(r, x - scroll, y));
}
