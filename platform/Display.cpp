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
    movePending_ = true;
}

void DisplayQueue::BeginPass(uint64_t pass) {
    if (input_) input_->BeginPass(pass);
}

bool DisplayQueue::PeekMessage(WindowMessage& out) {
    if (input_ && input_->PeekMessage(out)) {
        if (IsMouseMessage(out.type)) {
            pointer_ = Point{out.x, out.y};
            movePending_ = false; // the pointer's own move says the same
        }
        return true;
    }
    if (!movePending_) return false;
    movePending_ = false;
    out = WindowMessage{};
    out.type = WindowMessageType::MouseMove;
    out.x = pointer_.x;
    out.y = pointer_.y;
    return true;
}

bool DisplayQueue::WaitMessage(int timeoutMs) {
    if (movePending_) return true;
    return input_ && input_->WaitMessage(timeoutMs);
}

bool DisplayQueue::Finished() const {
    return input_ && input_->Finished();
}

} // namespace internal

} // namespace platform
