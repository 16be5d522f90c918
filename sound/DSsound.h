#pragma once
// One loaded sound: a mixer voice with its buffer. Sounds under five seconds are read whole
// into a static buffer; longer ones are streamed from their file through a ring of three
// chunks (about four seconds), refilled one chunk behind the voice.
//
// Threads: loading, playing, stopping, pausing and deleting run on the main thread; the
// refill worker refills and ends the sound while it plays. The flags are atomics; the
// stream's cursors and the file are touched only under the sound's own mutex, which the
// main thread takes only while the sound is not registered with the worker (Play), or after
// taking it off the worker (Stop), so it never waits for more than one refill.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "core/CObject.h"
#include "platform/Event.h"
#include "sound/RefillWorker.h"
#include "sound/WaveFile.h"

namespace sound {
class Mixer;
class VoiceBuffer;
} // namespace sound

// The attenuation of a volume 0..100, in hundredths of a decibel (0 silent, 100 unchanged).
int32_t VolumeHundredths(int volume);
// The pan of a position x across a width: -1250 at the left edge, 0 in the middle, +1250 at
// the right edge. A width of 0 or less centres.
int32_t PanForPosition(int x, int width);

class DSsound : public CObject, public sound::ServicedSound {
    TARVO_DECLARE_CLASS(DSsound)
public:
    DSsound(sound::Mixer& mixer, sound::RefillWorker& worker);
    ~DSsound() override;
    DSsound(const DSsound&) = delete;
    DSsound& operator=(const DSsound&) = delete;

    // Opens and parses the file and fills the buffer. False when the file is missing (silently),
    // is no valid wave file (with a message), or holds a format the mixer cannot play.
    bool Load(const std::string& name, int category);

    // From the start; `callerEvent` (may be null) is set when the sound ends, is stopped or
    // is deleted, so it must outlive the playback.
    void Play(int loop, platform::Event* callerEvent);
    void Stop();
    void Pause();
    void Resume();
    void ApplyVolume(int volume);
    void SetPan(int32_t pan);
    // Playback rate in Hz; 0 plays at the file's own rate.
    void SetFrequency(uint32_t hz);
    // Fills the free part of a streamed sound's ring from the file. 0 on failure.
    int Refill();

    bool Service() override;

    // Frames played since the start (streamed) or the position in the sound (static).
    uint64_t PlayPosition() const;
    const sound::WaveFormat& Format() const { return layout_.format; }
    uint32_t BufferSize() const { return bufferSize_; }
    uint32_t ChunkSize() const { return chunkSize_; }

    std::string fileName;
    int32_t category = 1;
    std::atomic<int32_t> playing{0}, paused{0}, loop{0}, streaming{0}, dataEnded{0};
    // Manual-reset, set while the sound is not playing.
    platform::Event finishedEvent{true, true};
    platform::Event* callerEvent = nullptr;

private:
    bool CreateBuffer(std::string& reason);
    bool FillStatic();
    // Writes data into `part` from the read position on; returns the bytes written.
    size_t FillPart(std::span<uint8_t> part);
    bool ReadData(std::span<uint8_t> out);
    // playing := 0 and the events, once per playback.
    void Finish();

    sound::Mixer& mixer_;
    sound::RefillWorker& worker_;
    std::shared_ptr<sound::VoiceBuffer> buffer_;
    uint32_t voice_ = 0;
    std::mutex streamMutex_; // the file, the read position, remaining, write cursor
    int32_t file_ = -1;
    sound::WaveLayout layout_;
    uint32_t dataSize_ = 0; // whole frames of the data the file holds
    uint64_t readPosition_ = 0;
    uint32_t remaining_ = 0;
    uint32_t bufferSize_ = 0;
    uint32_t writeCursor_ = 0;
    uint32_t chunkSize_ = 0;
};
