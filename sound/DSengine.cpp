#include "sound/DSengine.h"

#include <algorithm>

#include "platform/AudioOutput.h"
#include "platform/Clock.h"
#include "platform/Trace.h"
#include "sound/Mixer.h"
#include "sound/RefillWorker.h"

TARVO_IMPLEMENT_CLASS(DSengine, CObject)

DSengine* g_sound = nullptr;

namespace {

// The longest stretch mixed in one go on the clock: a long pause (a message box, a slow room
// change) is mixed in pieces with refills between them, as a device would have pulled it.
constexpr uint64_t kMaxClockBlockFrames = 4410;

} // namespace

DSengine::DSengine() = default;

DSengine::~DSengine() {
    sounds_.clear(); // each stops first; then the device, the mixer and the worker go
}

int DSengine::Init(const SoundOutput& output) {
    if (mixer_) return 1;
    std::string error;
    const bool threaded = output.device || output.refillThread;
    worker_ = std::make_unique<sound::RefillWorker>(threaded);
    mixer_ = std::make_unique<sound::Mixer>(worker_.get());
    if (output.device) {
        sound::Mixer* mixer = mixer_.get();
        output_ = platform::AudioOutput::Open(
            [mixer](int16_t* samples, size_t frames) {
                mixer->Mix(std::span<int16_t>(samples, 2 * frames));
            },
            error);
        if (output_) {
            platform::Trace("Sound: playing through %s\n", output_->DeviceName().c_str());
            return 1;
        }
        platform::Trace("Sound: %s; mixing on the clock\n", error.c_str());
        // The worker thread is not needed then: the main loop refills after each mix.
        mixer_.reset();
        worker_ = std::make_unique<sound::RefillWorker>(false);
        mixer_ = std::make_unique<sound::Mixer>(worker_.get());
    }
    clocked_ = true;
    record_ = output.record;
    clockStartMs_ = platform::NowMs();
    return 1;
}

DSsound* DSengine::FindSound(const std::string& name) const {
    auto it = sounds_.find(name);
    return it != sounds_.end() ? it->second.get() : nullptr;
}

DSsound* DSengine::LoadSound(const std::string& name, int category) {
    if (DSsound* loaded = FindSound(name)) return loaded; // its category stays the first one
    if (!mixer_ || name.empty()) return nullptr;
    auto sound = std::make_unique<DSsound>(*mixer_, *worker_);
    if (!sound->Load(name, category)) return nullptr;
    DSsound* s = sound.get();
    sounds_.emplace(name, std::move(sound));
    if (category >= 0 && category <= 2) s->ApplyVolume(volumes_[category]);
    return s;
}

void DSengine::RemoveSound(const std::string& name) {
    sounds_.erase(name);
}

void DSengine::PanSound(const std::string& name, int x, int width) {
    if (DSsound* s = FindSound(name)) s->SetPan(PanForPosition(x, width));
}

void DSengine::SetCategoryVolume(int category, int volume) {
    if (category < 0 || category > 2) return;
    volumes_[category] = std::clamp(volume, 0, 100);
    for (auto& [name, sound] : sounds_)
        if (sound->category == category) sound->ApplyVolume(volumes_[category]);
}

int DSengine::CategoryVolume(int category) const {
    return category >= 0 && category <= 2 ? volumes_[category] : 0;
}

void DSengine::PauseAll() {
    for (auto& [name, sound] : sounds_)
        sound->Pause();
}

void DSengine::ResumeAll() {
    for (auto& [name, sound] : sounds_)
        sound->Resume();
}

void DSengine::PlaySound(const std::string& name, bool loop, platform::Event* callerEvent) {
    DSsound* s = FindSound(name);
    if (s != nullptr && s->playing == 0) s->Play(loop ? 1 : 0, callerEvent);
}

void DSengine::Mix(std::span<int16_t> stereo) {
    if (mixer_) mixer_->Mix(stereo);
}

void DSengine::AdvanceTo(uint32_t nowMs) {
    if (!clocked_) return;
    const uint64_t due = uint64_t{nowMs - clockStartMs_} * sound::kMixRate / 1000;
    if (due > framesMixed_) MixFrames(due - framesMixed_);
}

void DSengine::MixFrames(uint64_t frames) {
    if (!clocked_) return;
    while (frames > 0) {
        const uint64_t n = std::min(frames, kMaxClockBlockFrames);
        block_.resize(2 * n);
        mixer_->Mix(block_);
        if (record_) record_(block_);
        framesMixed_ += n;
        frames -= n;
        if (!worker_->Threaded()) worker_->ServiceAll();
    }
}
