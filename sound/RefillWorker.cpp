#include "sound/RefillWorker.h"

#include <algorithm>

namespace sound {

RefillWorker::RefillWorker(bool threaded) {
    if (threaded) thread_ = std::thread([this] { Run(); });
}

RefillWorker::~RefillWorker() {
    if (!thread_.joinable()) return;
    quit_.store(true, std::memory_order_release);
    Wake();
    thread_.join();
}

void RefillWorker::Register(ServicedSound* sound) {
    std::lock_guard lock(mutex_);
    if (std::find(sounds_.begin(), sounds_.end(), sound) == sounds_.end()) sounds_.push_back(sound);
}

void RefillWorker::Unregister(ServicedSound* sound) {
    std::lock_guard lock(mutex_);
    std::erase(sounds_, sound);
}

void RefillWorker::ServiceAll() {
    std::lock_guard lock(mutex_);
    std::erase_if(sounds_, [](ServicedSound* s) { return !s->Service(); });
}

void RefillWorker::VoicesNeedService() {
    if (thread_.joinable()) Wake();
}

// At most one wake-up waits at a time: the semaphore is released only by the call that
// raised the pending flag. The worker lowers the flag with an exchange before servicing, so
// it sees everything a request made before raising it, and a request that comes in later
// releases the semaphore again for one more round.
void RefillWorker::Wake() {
    if (!wakePending_.exchange(true, std::memory_order_acq_rel)) wake_.release();
}

void RefillWorker::Run() {
    for (;;) {
        wake_.acquire();
        wakePending_.exchange(false, std::memory_order_acq_rel);
        if (quit_.load(std::memory_order_acquire)) return;
        ServiceAll();
    }
}

} // namespace sound
