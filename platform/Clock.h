#pragma once
// The one clock of the program. Live runs use a monotonic clock (a wall clock would jump when
// the system time is set); headless runs use a virtual clock that moves a fixed step per
// main-loop pass, so that replays are reproducible.
#include <atomic>
#include <cstdint>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since the clock's base.
    virtual uint32_t NowMs() const = 0;
};

class MonotonicClock final : public Clock {
public:
    MonotonicClock();
    uint32_t NowMs() const override;

private:
    int64_t baseNs_;
};

class VirtualClock final : public Clock {
public:
    explicit VirtualClock(uint32_t stepMs, uint32_t startMs = 0) : step_(stepMs), now_(startMs) {}
    uint32_t NowMs() const override { return now_.load(std::memory_order_relaxed); }
    void Advance() { now_.fetch_add(step_, std::memory_order_relaxed); }
    void AdvanceBy(uint32_t ms) { now_.fetch_add(ms, std::memory_order_relaxed); }

private:
    uint32_t step_;
    std::atomic<uint32_t> now_;
};

// The process clock used by NowMs(). Not owned; null restores the built-in monotonic clock.
void SetClock(const Clock* clock);
uint32_t NowMs();

} // namespace platform
