#include "sound/Mixer.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace sound {

namespace {

constexpr int32_t kUnity = 32768;
constexpr size_t kBlockFrames = 256;

uint64_t StepFor(uint32_t hz) {
    return (uint64_t{hz} << 32) / kMixRate;
}

int32_t Clamp(int32_t v, int32_t low, int32_t high) {
    return std::min(std::max(v, low), high);
}

template <int Bits, int Channels> inline void Fetch(const uint8_t* p, int32_t& l, int32_t& r) {
    if constexpr (Bits == 8) {
        l = (int32_t{p[0]} - 128) * 256;
        r = Channels == 2 ? (int32_t{p[1]} - 128) * 256 : l;
    } else {
        l = static_cast<int16_t>(p[0] | p[1] << 8);
        r = Channels == 2 ? static_cast<int16_t>(p[2] | p[3] << 8) : l;
    }
}

inline int32_t Between(int32_t a, int32_t b, uint32_t fraction) {
    return a + static_cast<int32_t>((int64_t{b - a} * fraction) >> 32);
}

// Mixes up to `frames` output frames of one voice. Returns true when the voice reached its
// end; stops early (without advancing) when a ring has no data yet for the next frame.
template <int Bits, int Channels> bool Run(Mixer::Voice& v, int32_t* acc, size_t frames) {
    constexpr size_t kFrameBytes = Bits / 8 * Channels;
    VoiceBuffer& b = *v.buffer;
    const size_t n = b.Frames();
    if (n == 0) return true;
    const bool ring = b.GetKind() == VoiceBuffer::Kind::Ring;
    const uint64_t readable = ring ? b.Readable() : n;
    const uint64_t end = ring ? b.EndFrame() : (v.loop ? VoiceBuffer::kNoEnd : n);
    const uint8_t* data = b.Data();
    size_t index = ring ? static_cast<size_t>(v.position % n) : static_cast<size_t>(v.position);
    bool ended = false;
    for (size_t i = 0; i < frames; ++i) {
        if (v.position >= end) {
            ended = true;
            break;
        }
        const uint64_t next = v.position + 1;
        const size_t nextIndex = index + 1 == n ? 0 : index + 1;
        const bool nextSilent = next == end;
        // Past the published frames: a static loop wraps, a ring waits for its producer.
        if (next >= readable && !nextSilent && (ring || !v.loop)) break;
        int32_t al, ar, bl = 0, br = 0;
        Fetch<Bits, Channels>(data + index * kFrameBytes, al, ar);
        if (!nextSilent) Fetch<Bits, Channels>(data + nextIndex * kFrameBytes, bl, br);
        acc[2 * i] += (Between(al, bl, v.fraction) * v.gainLeft) >> 15;
        acc[2 * i + 1] += (Between(ar, br, v.fraction) * v.gainRight) >> 15;

        const uint64_t sum = uint64_t{v.fraction} + (v.step & 0xFFFFFFFFu);
        v.fraction = static_cast<uint32_t>(sum);
        const uint64_t advance = (v.step >> 32) + (sum >> 32);
        v.position += advance;
        if (ring) {
            index += static_cast<size_t>(advance); // a few frames at most (see SetFrequency)
            while (index >= n)
                index -= n;
        } else {
            if (v.loop && v.position >= n) v.position %= n;
            index = static_cast<size_t>(v.position);
        }
    }
    if (ring) b.Consume(v.position);
    return ended;
}

bool RunAny(Mixer::Voice& v, int32_t* acc, size_t frames) {
    const PcmFormat& f = v.buffer->Format();
    if (f.bits == 8) return f.channels == 2 ? Run<8, 2>(v, acc, frames) : Run<8, 1>(v, acc, frames);
    return f.channels == 2 ? Run<16, 2>(v, acc, frames) : Run<16, 1>(v, acc, frames);
}

void UpdateGains(Mixer::Voice& v) {
    const int32_t left = v.volume - std::max(v.pan, 0);
    const int32_t right = v.volume + std::min(v.pan, 0);
    v.gainLeft = GainFromHundredths(left);
    v.gainRight = GainFromHundredths(right);
}

} // namespace

int32_t GainFromHundredths(int32_t hundredths) {
    if (hundredths >= 0) return kUnity;
    if (hundredths <= kSilentHundredths) return 0;
    return static_cast<int32_t>(std::lround(kUnity * std::pow(10.0, hundredths / 2000.0)));
}

Mixer::Voice* Mixer::Find(VoiceId id) {
    for (Voice& v : voices_)
        if (v.id == id) return &v;
    return nullptr;
}

const Mixer::Voice* Mixer::Find(VoiceId id) const {
    for (const Voice& v : voices_)
        if (v.id == id) return &v;
    return nullptr;
}

Mixer::VoiceId Mixer::Add(std::shared_ptr<VoiceBuffer> buffer) {
    std::lock_guard lock(mutex_);
    Voice v;
    v.id = nextId_++;
    v.step = StepFor(buffer->Format().rate);
    v.buffer = std::move(buffer);
    voices_.push_back(std::move(v));
    return voices_.back().id;
}

void Mixer::Remove(VoiceId id) {
    std::lock_guard lock(mutex_);
    std::erase_if(voices_, [id](const Voice& v) { return v.id == id; });
}

void Mixer::Play(VoiceId id, bool loop) {
    std::lock_guard lock(mutex_);
    if (Voice* v = Find(id)) {
        v->playing = true; // an empty buffer ends at the next mix
        v->loop = loop;
    }
}

void Mixer::Stop(VoiceId id) {
    std::lock_guard lock(mutex_);
    if (Voice* v = Find(id)) v->playing = false;
}

bool Mixer::IsPlaying(VoiceId id) const {
    std::lock_guard lock(mutex_);
    const Voice* v = Find(id);
    return v != nullptr && v->playing;
}

uint64_t Mixer::Position(VoiceId id) const {
    std::lock_guard lock(mutex_);
    const Voice* v = Find(id);
    return v != nullptr ? v->position : 0;
}

void Mixer::SetPosition(VoiceId id, uint64_t frame) {
    std::lock_guard lock(mutex_);
    if (Voice* v = Find(id)) {
        const bool ring = v->buffer->GetKind() == VoiceBuffer::Kind::Ring;
        v->position = ring ? frame : std::min<uint64_t>(frame, v->buffer->Frames());
        v->fraction = 0;
    }
}

void Mixer::SetVolume(VoiceId id, int32_t hundredths) {
    std::lock_guard lock(mutex_);
    if (Voice* v = Find(id)) {
        v->volume = Clamp(hundredths, kSilentHundredths, 0);
        UpdateGains(*v);
    }
}

void Mixer::SetPan(VoiceId id, int32_t pan) {
    std::lock_guard lock(mutex_);
    if (Voice* v = Find(id)) {
        v->pan = Clamp(pan, kSilentHundredths, -kSilentHundredths);
        UpdateGains(*v);
    }
}

void Mixer::SetFrequency(VoiceId id, uint32_t hz) {
    std::lock_guard lock(mutex_);
    if (Voice* v = Find(id))
        v->step = StepFor(hz != 0 ? std::clamp(hz, kMinFrequency, kMaxFrequency)
                                  : v->buffer->Format().rate);
}

void Mixer::SetRefillThreshold(VoiceId id, size_t frames) {
    std::lock_guard lock(mutex_);
    if (Voice* v = Find(id)) v->refillThreshold = frames;
}

size_t Mixer::VoiceCount() const {
    std::lock_guard lock(mutex_);
    return voices_.size();
}

bool Mixer::MixVoice(Voice& v, int32_t* acc, size_t frames) {
    if (RunAny(v, acc, frames)) {
        v.playing = false;
        v.buffer->SetEnded();
        return true;
    }
    const bool ring = v.buffer->GetKind() == VoiceBuffer::Kind::Ring;
    return ring && v.refillThreshold > 0 && v.buffer->FreeFrames() >= v.refillThreshold;
}

void Mixer::Mix(std::span<int16_t> out) {
    bool service = false;
    {
        std::lock_guard lock(mutex_);
        std::array<int32_t, 2 * kBlockFrames> acc;
        for (size_t done = 0; done * 2 < out.size(); done += kBlockFrames) {
            const size_t frames = std::min(kBlockFrames, out.size() / 2 - done);
            std::fill_n(acc.begin(), 2 * frames, 0);
            for (Voice& v : voices_)
                if (v.playing) service |= MixVoice(v, acc.data(), frames);
            for (size_t i = 0; i < 2 * frames; ++i)
                out[2 * done + i] = static_cast<int16_t>(Clamp(acc[i], -32768, 32767));
        }
    }
    if (service && listener_ != nullptr) listener_->VoicesNeedService();
}

} // namespace sound
