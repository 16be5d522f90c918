#include "platform/Event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform {

namespace {

// All events share one lock and one condition: waits for any of several events then need no
// registration, and the few events of the sound threads make contention irrelevant.
std::mutex& EventLock() {
    static std::mutex m;
    return m;
}

std::condition_variable& EventSignal() {
    static std::condition_variable cv;
    return cv;
}

} // namespace

Event::Event(bool manualReset, bool initiallySet) : manualReset_(manualReset), set_(initiallySet) {}

void Event::Set() {
    {
        std::lock_guard lock(EventLock());
        set_ = true;
    }
    EventSignal().notify_all();
}

void Event::Reset() {
    std::lock_guard lock(EventLock());
    set_ = false;
}

bool Event::Consume() {
    if (!set_) return false;
    if (!manualReset_) set_ = false;
    return true;
}

bool Event::TryWait() {
    std::lock_guard lock(EventLock());
    return Consume();
}

bool Event::Wait(int timeoutMs) {
    Event* self = this;
    return WaitForAny(std::span<Event* const>(&self, 1), timeoutMs) == 0;
}

int WaitForAny(std::span<Event* const> events, int timeoutMs) {
    std::unique_lock lock(EventLock());
    auto firstSet = [&]() -> int {
        for (size_t i = 0; i < events.size(); ++i)
            if (events[i]->Consume()) return static_cast<int>(i);
        return kWaitTimeout;
    };
    int index = firstSet();
    if (index != kWaitTimeout || timeoutMs == 0) return index;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (index == kWaitTimeout) {
        if (timeoutMs == kInfinite) {
            EventSignal().wait(lock);
        } else if (EventSignal().wait_until(lock, deadline) == std::cv_status::timeout) {
            return firstSet();
        }
        index = firstSet();
    }
    return index;
}

} // namespace platform
