// A display without a window: frames are kept in memory, input comes only from an attached
// source (a replay), and nothing depends on a display server or on time.
#include <optional>

#include "platform/DisplayInternal.h"
#include "platform/Png.h"

namespace platform {

namespace {

class HeadlessDisplay final : public Display {
public:
    explicit HeadlessDisplay(bool fullscreen) : fullscreen_(fullscreen) {}

    bool IsHeadless() const override { return true; }

    Surface& Front() override { return front_; }
    void Present() override { presented_ = front_; }
    // Before the first Present the front surface stands in for the presented frame.
    bool SaveScreenshot(const std::string& path) const override {
        return WritePng(path, presented_ ? *presented_ : front_);
    }

    MessageSource& Messages() override { return queue_; }
    void SetInput(std::unique_ptr<MessageSource> input) override {
        queue_.SetInput(std::move(input));
    }
    std::unique_ptr<MessageSource> TakeInput() override { return queue_.TakeInput(); }

    void ShowPointer(bool) override {}
    Point PointerPosition() const override { return queue_.Pointer(); }
    void SetPointerPosition(Point position) override { queue_.SetPointer(position); }
    void PostPointerMove() override { queue_.PostPointerMove(); }

    void ToggleFullscreen() override { fullscreen_ = !fullscreen_; }
    bool IsFullscreen() const override { return fullscreen_; }

private:
    Surface front_{kScreenWidth, kScreenHeight};
    std::optional<Surface> presented_;
    internal::DisplayQueue queue_;
    bool fullscreen_;
};

} // namespace

namespace internal {

std::unique_ptr<Display> CreateHeadlessDisplay(const DisplayOptions& options) {
    return std::make_unique<HeadlessDisplay>(options.fullscreen.value_or(false));
}

} // namespace internal

} // namespace platform
