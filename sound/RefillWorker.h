#pragma once
// The work a playing sound needs besides mixing: refilling a streamed sound's ring from its
// file, and ending a sound whose voice has played out (its flags and events). Each playing
// sound is registered here while it plays.
//
// With a thread, the mixer's notification wakes the worker, which services every registered
// sound; the audio device's thread never waits for it. Without one (mixing on the clock), the
// main loop calls ServiceAll after each mix, so that runs are repeatable.
//
// The registry's mutex is held while servicing: Unregister therefore returns only once no
// refill of that sound is running, and a sound may be deleted right after it.
#include <atomic>
#include <mutex>
#include <semaphore>
#include <thread>
#include <vector>

#include "sound/Mixer.h"

namespace sound {

class ServicedSound {
public:
    virtual ~ServicedSound() = default;
    // Refills and ends the sound as needed; false once it has ended (it is then dropped).
    virtual bool Service() = 0;
};

class RefillWorker final : public MixerListener {
public:
    explicit RefillWorker(bool threaded);
    ~RefillWorker() override;
    RefillWorker(const RefillWorker&) = delete;
    RefillWorker& operator=(const RefillWorker&) = delete;

    bool Threaded() const { return thread_.joinable(); }
    void Register(ServicedSound* sound);
    void Unregister(ServicedSound* sound);
    // Services every registered sound now, on the calling thread.
    void ServiceAll();
    // From the mixer: wakes the thread (no effect without one).
    void VoicesNeedService() override;

private:
    void Run();
    void Wake();

    std::mutex mutex_;
    std::vector<ServicedSound*> sounds_;
    std::binary_semaphore wake_{0};
    std::atomic<bool> wakePending_{false};
    std::atomic<bool> quit_{false};
    std::thread thread_;
};

} // namespace sound
