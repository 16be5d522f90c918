#include "platform/Clock.h"

#include <chrono>

namespace platform {

namespace {

int64_t SteadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

const MonotonicClock& BuiltInClock() {
    static const MonotonicClock clock;
    return clock;
}

std::atomic<const Clock*> g_clock{nullptr};

} // namespace

MonotonicClock::MonotonicClock() : baseNs_(SteadyNs()) {}

uint32_t MonotonicClock::NowMs() const {
    return static_cast<uint32_t>((SteadyNs() - baseNs_) / 1000000);
}

void SetClock(const Clock* clock) {
    g_clock.store(clock, std::memory_order_release);
}

uint32_t NowMs() {
    const Clock* clock = g_clock.load(std::memory_order_acquire);
    return clock != nullptr ? clock->NowMs() : BuiltInClock().NowMs();
}

} // namespace platform
