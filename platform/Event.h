#pragma once
// Events for the sound threads: manual- or auto-reset, set, reset, tested without blocking,
// waited for alone or among several, with or without a time-out.
#include <cstdint>
#include <span>

namespace platform {

inline constexpr int kInfinite = -1;
inline constexpr int kWaitTimeout = -1;

class Event {
public:
    Event(bool manualReset, bool initiallySet);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    // True when set; an auto-reset event is consumed (reset) by a successful test.
    bool TryWait();
    // Waits up to timeoutMs (kInfinite: forever); true when the event was set.
    bool Wait(int timeoutMs);

private:
    friend int WaitForAny(std::span<Event* const> events, int timeoutMs);
    bool Consume(); // caller holds the shared lock

    const bool manualReset_;
    bool set_;
};

// Waits until one of the events is set and returns its index (the lowest when several are),
// consuming it if auto-reset; kWaitTimeout when the time-out passes first.
int WaitForAny(std::span<Event* const> events, int timeoutMs);

} // namespace platform
