#pragma once
// The software mixer: voices playing sample buffers at their own rate, volume, pan and
// frequency, summed into 44,100 Hz 16-bit stereo. It stands where a sound card's secondary
// buffers would: a voice is stopped and started at its position, loops or ends, and reports
// through its buffer when it has reached the end.
//
// Threads: the voice table is guarded by one mutex, held by Mix for the duration of a mix
// and by each control call for a few instructions; nothing that waits for a file or another
// thread ever holds it. Mix may run on the audio device's thread while the main thread calls
// the control functions. Ring buffers are refilled without that mutex (see VoiceBuffer).
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "sound/VoiceBuffer.h"

namespace sound {

inline constexpr uint32_t kMixRate = 44100;
// Attenuation in hundredths of a decibel at which a voice is silent.
inline constexpr int32_t kSilentHundredths = -10000;
inline constexpr uint32_t kMinFrequency = 100;
inline constexpr uint32_t kMaxFrequency = 200000;
// The linear gain (32768 = unchanged) of an attenuation in hundredths of a decibel: 0 and
// above give 32768, kSilentHundredths and below give 0.
int32_t GainFromHundredths(int32_t hundredths);

// Told, on the mixing thread, that a voice ended or a ring buffer has room for a refill.
// Must return at once: no waiting and no locks that are held while waiting.
class MixerListener {
public:
    virtual ~MixerListener() = default;
    virtual void VoicesNeedService() = 0;
};

class Mixer {
public:
    using VoiceId = uint32_t;

    explicit Mixer(MixerListener* listener = nullptr) : listener_(listener) {}
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // A stopped voice at position 0, full volume, centred, at the buffer's own rate.
    VoiceId Add(std::shared_ptr<VoiceBuffer> buffer);
    // After it returns, no mix touches the voice's buffer any more.
    void Remove(VoiceId id);

    // Starts from the current position; a looped voice wraps from the end to the start
    // (ring buffers always run on while the producer keeps up).
    void Play(VoiceId id, bool loop);
    // Stops where it is; Play continues from there.
    void Stop(VoiceId id);
    bool IsPlaying(VoiceId id) const;
    // The position in frames: within the buffer for a static one, since the playback's start
    // for a ring.
    uint64_t Position(VoiceId id) const;
    void SetPosition(VoiceId id, uint64_t frame);

    // Volume and pan in hundredths of a decibel: volume -10000..0; pan -10000 (left only)
    // .. 10000 (right only) attenuates the other side by its amount.
    void SetVolume(VoiceId id, int32_t hundredths);
    void SetPan(VoiceId id, int32_t pan);
    // Playback rate in Hz, kept within kMinFrequency..kMaxFrequency; 0 restores the
    // buffer's own rate.
    void SetFrequency(VoiceId id, uint32_t hz);
    // Ring voices: the listener is told when at least this many frames are free.
    void SetRefillThreshold(VoiceId id, size_t frames);

    // Mixes stereo frames (left, right, left, ...) into `out`; its size is twice the frames.
    void Mix(std::span<int16_t> out);

    size_t VoiceCount() const;

    struct Voice {
        VoiceId id = 0;
        std::shared_ptr<VoiceBuffer> buffer;
        uint64_t position = 0;
        uint32_t fraction = 0; // of a frame, in 1/2^32
        uint64_t step = 0;     // frames per output frame, 32.32 fixed point
        int32_t volume = 0, pan = 0;
        int32_t gainLeft = 32768, gainRight = 32768;
        size_t refillThreshold = 0;
        bool playing = false;
        bool loop = false;
    };

private:
    Voice* Find(VoiceId id);
    const Voice* Find(VoiceId id) const;
    // Mixes one voice into the stereo accumulator; true when it needs service afterwards.
    bool MixVoice(Voice& v, int32_t* acc, size_t frames);

    mutable std::mutex mutex_;
    std::vector<Voice> voices_;
    VoiceId nextId_ = 1;
    MixerListener* listener_;
};

} // namespace sound
