#pragma once
// The sound engine: the loaded sounds by file name, the three category volumes, and the
// output they are mixed to.
//
// Output: with an audio device, the device's thread pulls from the mixer and a refill worker
// thread keeps the streamed sounds filled and ends the sounds that played out. Without one
// (headless runs, no device, or the mixed sound written to a file), the main loop mixes on
// the game's clock: AdvanceTo mixes the time that passed and then refills and ends sounds on
// the same thread, so a headless run mixes the same samples every time.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/CObject.h"
#include "sound/DSsound.h"

namespace platform {
class AudioOutput;
class Event;
} // namespace platform
namespace sound {
class Mixer;
class RefillWorker;
} // namespace sound

enum SoundCategory { kSoundMusic = 0, kSoundEffects = 1, kSoundSpeech = 2 };

struct SoundOutput {
    // Play through the audio device; when it cannot be opened the engine mixes on the clock.
    bool device = false;
    // Mixing on the clock: refill on a worker thread instead of in AdvanceTo (for code that
    // calls Mix from a thread of its own, as the device would).
    bool refillThread = false;
    // Mixing on the clock: receives every block mixed (interleaved stereo).
    std::function<void(std::span<const int16_t>)> record;
};

class DSengine : public CObject {
    TARVO_DECLARE_CLASS(DSengine)
public:
    DSengine();
    ~DSengine() override;
    DSengine(const DSengine&) = delete;
    DSengine& operator=(const DSengine&) = delete;

    // 1 when the engine can play (always, once mixing on the clock is the fallback).
    int Init(const SoundOutput& output);

    DSsound* FindSound(const std::string& name) const;
    // The loaded sound, or the newly loaded one in `category`; null when it cannot be had.
    DSsound* LoadSound(const std::string& name, int category);
    void RemoveSound(const std::string& name);
    void PanSound(const std::string& name, int x, int width);
    void SetCategoryVolume(int category, int volume);
    int CategoryVolume(int category) const;
    void PauseAll();
    void ResumeAll();

    // Plays a loaded sound by name, only when it is not playing already.
    void PlaySound(const std::string& name, bool loop = false,
                   platform::Event* callerEvent = nullptr);
    size_t SoundCount() const { return sounds_.size(); }

    // Mixing on the clock: mixes from the last call (or Init) up to `nowMs`, then refills and
    // ends sounds. Does nothing when a device plays.
    void AdvanceTo(uint32_t nowMs);
    // Mixing on the clock: mixes the next `frames` frames in pieces, each followed by the
    // refills and ends that are due.
    void MixFrames(uint64_t frames);
    bool MixesOnClock() const { return clocked_; }
    // One block straight from the mixer, as the device pulls it.
    void Mix(std::span<int16_t> stereo);

private:
    std::map<std::string, std::unique_ptr<DSsound>> sounds_;
    int volumes_[3] = {100, 100, 100};
    // Destroyed in reverse: the device stops pulling before the mixer and the worker go.
    std::unique_ptr<sound::RefillWorker> worker_;
    std::unique_ptr<sound::Mixer> mixer_;
    std::unique_ptr<platform::AudioOutput> output_;
    bool clocked_ = false;
    std::function<void(std::span<const int16_t>)> record_;
    uint32_t clockStartMs_ = 0;
    uint64_t framesMixed_ = 0;
    std::vector<int16_t> block_;
};

extern DSengine* g_sound;
