#include "platform/Display.h"

#include "platform/DisplayInternal.h"

namespace platform {

std::unique_ptr<Display> Display::Create(const DisplayOptions& options, std::string& error) {
    if (options.headless) return internal::CreateHeadlessDisplay(options);
    return internal::CreateSdlDisplay(options, error);
}

namespace internal {

namespace {

bool IsMouseMessage(WindowMessageType type) {
    return type == WindowMessageType::MouseMove || type == WindowMessageType::LeftButtonDown ||
           type == WindowMessageType::RightButtonDown;
}

} // namespace

void DisplayQueue::PostPointerMove() {
    WindowMessage move;
    move.type = WindowMessageType::MouseMove;
    move.x = pointer_.x;
    move.y = pointer_.y;
    posted_.push_back(move);
}

void DisplayQueue::BeginPass(uint64_t pass) {
    if (input_) input_->BeginPass(pass);
}

bool DisplayQueue::PeekMessage(WindowMessage& out) {
    if (!posted_.empty()) {
        out = std::move(posted_.front());
        posted_.pop_front();
    } else if (!input_ || !input_->PeekMessage(out)) {
        return false;
    }
    if (IsMouseMessage(out.type)) pointer_ = Point{out.x, out.y};
    return true;
}

bool DisplayQueue::WaitMessage(int timeoutMs) {
    if (!posted_.empty()) return true;
    return input_ && input_->WaitMessage(timeoutMs);
}

bool DisplayQueue::Finished() const {
    return posted_.empty() && input_ && input_->Finished();
}

} // namespace internal

} // namespace platform
