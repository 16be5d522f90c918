#include "graphics/QFlic.h"

#include <algorithm>
#include <cctype>

#include "core/QSystem.h"
#include "graphics/FlicDecoder.h"
#include "graphics/FlicRects.h"
#include "graphics/QVideoSystem.h"
#include "platform/MessageBox.h"
#include "platform/Trace.h"
#include "resources/FileAccess.h"

using platform::Rect;

namespace {

// Streaming reads of an animation through the file layer; the file stays open while the
// animation lives.
class FileLayerSource final : public codecs::FlicSource {
public:
    explicit FileLayerSource(int32_t handle) : handle_(handle), size_(FileSize(handle)) {}
    ~FileLayerSource() override { FileClose(handle_); }
    uint64_t Size() const override { return size_ < 0 ? 0 : static_cast<uint64_t>(size_); }
    bool ReadAt(uint64_t offset, std::span<uint8_t> out) override {
        if (offset + out.size() > Size()) return false;
        if (FileSeek(handle_, static_cast<int32_t>(offset), 0) < 0) return false;
        return out.empty() || FileRead(handle_, out.data(), static_cast<int32_t>(out.size())) ==
                                  static_cast<int32_t>(out.size());
    }

private:
    int32_t handle_;
    int32_t size_;
};

// "door.flc" -> "DOOR" + extension: the rectangle files share the animation's base name.
std::string CompanionName(const std::string& fileName, const char* extension) {
    std::string upper = fileName;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const size_t dot = upper.find(".FLC");
    return upper.substr(0, dot) + extension;
}

codecs::FlicCanvas CanvasOf(platform::Surface& s) {
    platform::Pixel* pixels = s.Lock();
    const size_t count = static_cast<size_t>(s.Pitch() / 2) * static_cast<size_t>(s.Height());
    return codecs::FlicCanvas{std::span<uint16_t>(pixels, pixels != nullptr ? count : 0),
                              s.Pitch() / 2};
}

} // namespace

QFlic::QFlic() = default;
QFlic::~QFlic() = default;

void QFlic::Fail() {
    invalid_ = true;
    playback_.reset();
}

void QFlic::Open(const std::string& fileName) {
    fileName_ = fileName;
    invalid_ = false;
    const int32_t handle = FileOpen(fileName.c_str());
    if (handle < 0) {
        platform::ShowMessageBox("Flic " + fileName + " not found");
        Fail();
        return;
    }
    if (!OpenPlayback(handle)) return Fail();
    frameCount_ = playback_->FrameCount();
    width_ = playback_->Width();
    height_ = playback_->Height();
    frameTime_ = playback_->FrameTime();
    surface_ = std::make_unique<platform::Surface>(width_, height_);
    if (!ReadRectFiles()) return Fail();
    SetFrame(-1);
    if (!invalid_) CropStill();
}

bool QFlic::OpenPlayback(int32_t handle) {
    const int32_t size = FileSize(handle);
    if (size >= 0 && size <= kFlicMemoryLimit) {
        std::vector<uint8_t> bytes(static_cast<size_t>(size));
        const bool read = size == 0 || FileRead(handle, bytes.data(), size) == size;
        FileClose(handle);
        if (!read) return false;
        auto decoder = std::make_unique<codecs::FlicDecoder>();
        if (!decoder->Open(std::move(bytes), g_pixelShifts)) return Refused(*decoder);
        playback_ = std::move(decoder);
        return true;
    }
    auto decoder = std::make_unique<codecs::FlicStreamDecoder>();
    if (!decoder->Open(std::make_unique<FileLayerSource>(handle), g_pixelShifts))
        return Refused(*decoder);
    playback_ = std::move(decoder);
    return true;
}

bool QFlic::Refused(const codecs::FlicPlayback& playback) const {
    // A file that is no animation at all only leaves the object invisible; one that is an
    // animation but damaged or absurdly large is reported like a fault while playing.
    if (playback.Fault() != codecs::FlicFault::NotFlic) ReportInvalid();
    return false;
}

void QFlic::ReportInvalid() const {
    platform::Trace("Invalid Flic file: \"%s\"\n", fileName_.c_str());
    platform::ShowMessageBox("Invalid Flic file: \"" + fileName_ + "\"\n");
}

bool QFlic::ReadRectFiles() {
    std::vector<uint8_t> mask, change;
    if (!FileReadAll(CompanionName(fileName_, ".MSK").c_str(), mask)) return false;
    if (!FileReadAll(CompanionName(fileName_, ".MS2").c_str(), change)) return false;
    std::string error;
    Rect stored;
    if (!codecs::ParseMaskFile(mask, frameCount_, masks_, stored, error) ||
        !codecs::ParseRectLists(change, frameCount_, changes_, error)) {
        platform::Trace("Invalid Flic file: \"%s\"\n", fileName_.c_str());
        return false;
    }
    bounding_ = codecs::AdjustBoundingRect(stored);
    return true;
}

void QFlic::CropStill() {
    const auto crop = codecs::StillBackgroundCrop(frameCount_, width_, height_, bounding_);
    if (!crop) return;
    auto smaller = std::make_unique<platform::Surface>(crop->surface.cx, crop->surface.cy);
    smaller->SetColorKey(colorKey_);
    // The kept area holds the bounding rectangle's last column and row too (the surface is
    // one pixel wider and higher than the area for them); what lies beyond the frame stays
    // transparent rather than black.
    smaller->Fill(colorKey_);
    const Rect& area = crop->source;
    const Rect kept = platform::Intersect(
        Rect{area.left, area.top, area.left + crop->surface.cx, area.top + crop->surface.cy},
        surface_->Bounds());
    smaller->BltFast(kept.left - area.left, kept.top - area.top, *surface_, kept,
                     platform::kBltWait);
    surface_ = std::move(smaller);
    width_ = crop->size.cx;
    height_ = crop->size.cy;
    drawOffset_ = crop->offset;
    cropped_ = true;
}

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
    if (invalid_ || n == 0 || n == currentFrame_ || frameCount_ == 0) return;
    // A cropped still keeps only part of its frame; decoding again would show the same.
    if (cropped_) return;
    if (!frames_.empty()) {
        if (n == -1 || n > frameCount_) n = currentFrame_ >= frameCount_ ? 1 : currentFrame_ + 1;
        currentFrame_ = n;
        const platform::Surface& frame = frames_[static_cast<size_t>(n - 1)];
        surface_->BltFast(0, 0, frame, frame.Bounds(), platform::kBltWait);
        return;
    }
    const codecs::FlicCanvas canvas = CanvasOf(*surface_);
    const bool ok = playback_->SetFrame(n, canvas);
    surface_->Unlock();
    if (!ok) {
        ReportInvalid();
        Fail();
        return;
    }
    currentFrame_ = playback_->CurrentFrame();
    colorKey_ = playback_->ColorKey();
    surface_->SetColorKey(colorKey_);
}

const std::vector<Rect>& QFlic::FrameRects(int which) const {
    static const std::vector<Rect> kNone;
    if (invalid_ || currentFrame_ < 1 || currentFrame_ > frameCount_) return kNone;
    const auto& lists = which == kChangeRects ? changes_ : masks_;
    if (static_cast<size_t>(currentFrame_) > lists.size()) return kNone;
    return lists[static_cast<size_t>(currentFrame_ - 1)];
}

void QFlic::AddFrameRects(int x, int y, int which) const {
    if (invalid_ || g_video == nullptr) return;
    const int scroll = g_system != nullptr ? g_system->scrollOffset : 0;
    for (const Rect& r : FrameRects(which))
        g_video->AddDirtyRect(platform::Offset(r, x - scroll, y));
}
