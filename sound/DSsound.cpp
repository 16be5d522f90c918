#include "sound/DSsound.h"

#include <algorithm>
#include <cmath>

#include "platform/MessageBox.h"
#include "platform/Trace.h"
#include "resources/FileAccess.h"
#include "sound/Mixer.h"
#include "sound/VoiceBuffer.h"

TARVO_IMPLEMENT_CLASS(DSsound, CObject)

namespace {

// Reads a wave file through the file layer.
class FileWaveSource final : public sound::WaveSource {
public:
    explicit FileWaveSource(int32_t file) : file_(file), size_(std::max(FileSize(file), 0)) {}
    uint64_t Size() const override { return static_cast<uint64_t>(size_); }
    bool ReadAt(uint64_t offset, std::span<uint8_t> out) override {
        if (offset > Size() || out.size() > Size() - offset) return false;
        if (FileSeek(file_, static_cast<int32_t>(offset), 0) != static_cast<int32_t>(offset))
            return false;
        const auto count = static_cast<int32_t>(out.size());
        return FileRead(file_, out.data(), count) == count;
    }

private:
    int32_t file_;
    int32_t size_;
};

} // namespace

int32_t VolumeHundredths(int volume) {
    if (volume <= 0) return -10000;
    if (volume >= 100) return 0;
    return static_cast<int32_t>(10000.0 * std::log(2.75 * volume) / std::log(275.0) - 10000.0);
}

int32_t PanForPosition(int x, int width) {
    if (width <= 0) return 0;
    return static_cast<int32_t>((2 * int64_t{x} - width) * 2500 / (2 * int64_t{width}));
}

DSsound::DSsound(sound::Mixer& mixer, sound::RefillWorker& worker)
    : mixer_(mixer), worker_(worker) {}

DSsound::~DSsound() {
    if (buffer_) {
        Stop();
        // Set by Stop, or by the refill worker ending the sound just now: then it may still be
        // finishing, and the sound must outlive that.
        finishedEvent.Wait(platform::kInfinite);
        mixer_.Remove(voice_);
    }
    if (file_ >= 0) FileClose(file_);
}

bool DSsound::Load(const std::string& name, int cat) {
    fileName = name;
    category = cat;
    file_ = FileOpen(name.c_str());
    if (file_ < 0) return false; // a missing sound leaves its object silent
    FileWaveSource source(file_);
    std::string reason;
    if (!sound::ParseWaveLayout(source, layout_, reason)) {
        platform::Trace("Invalid Wave file: \"%s\"\n", name.c_str());
        platform::ShowMessageBox("Invalid Wave file: \"" + name + "\"\n");
        return false;
    }
    if (!CreateBuffer(reason)) {
        platform::Trace("DSsound: \"%s\" not played: %s\n", name.c_str(), reason.c_str());
        return false;
    }
    bool filled;
    if (streaming) {
        std::lock_guard lock(streamMutex_);
        remaining_ = dataSize_;
        readPosition_ = layout_.dataOffset;
        filled = Refill() != 0;
    } else {
        filled = FillStatic();
    }
    if (!filled) {
        mixer_.Remove(voice_);
        buffer_.reset();
        return false;
    }
    platform::Trace("DSsound: \"%s\"\n", name.c_str());
    return true;
}

bool DSsound::CreateBuffer(std::string& reason) {
    const sound::WaveFormat& f = layout_.format;
    if (!sound::IsPlayableFormat(f, reason)) return false;
    // Only whole frames that the file really holds are played.
    dataSize_ = sound::HeldDataBytes(layout_, static_cast<uint64_t>(std::max(FileSize(file_), 0)));
    const sound::PcmFormat pcm{f.channels, f.bitsPerSample, f.samplesPerSec};
    if (sound::IsStreamed(layout_)) {
        streaming = 1;
        chunkSize_ = sound::StreamChunkBytes(f);
        bufferSize_ = 3 * chunkSize_;
        buffer_ = std::make_shared<sound::VoiceBuffer>(pcm, bufferSize_ / f.blockAlign,
                                                       sound::VoiceBuffer::Kind::Ring);
    } else {
        bufferSize_ = dataSize_;
        buffer_ = std::make_shared<sound::VoiceBuffer>(pcm, bufferSize_ / f.blockAlign,
                                                       sound::VoiceBuffer::Kind::Static);
    }
    voice_ = mixer_.Add(buffer_);
    if (streaming) mixer_.SetRefillThreshold(voice_, chunkSize_ / f.blockAlign);
    return true;
}

bool DSsound::FillStatic() {
    std::lock_guard lock(streamMutex_);
    readPosition_ = layout_.dataOffset;
    return ReadData(buffer_->StaticBytes());
}

bool DSsound::ReadData(std::span<uint8_t> out) {
    if (out.empty()) return true;
    if (FileSeek(file_, static_cast<int32_t>(readPosition_), 0) < 0) return false;
    const auto count = static_cast<int32_t>(out.size());
    return FileRead(file_, out.data(), count) == count;
}

void DSsound::Play(int loopFlag, platform::Event* event) {
    if (!buffer_) return;
    mixer_.Stop(voice_);
    worker_.Unregister(this);
    mixer_.SetPosition(voice_, 0);
    playing = 1;
    paused = 0;
    loop = loopFlag;
    dataEnded = 0;
    if (streaming) {
        std::lock_guard lock(streamMutex_);
        remaining_ = dataSize_;
        writeCursor_ = 0;
        readPosition_ = layout_.dataOffset;
        buffer_->Reset();
        if (Refill() == 0) {
            playing = 0; // not played: it must not look busy to the callers that check
            return;
        }
    }
    buffer_->ClearEnded();
    callerEvent = event;
    finishedEvent.Reset();
    if (callerEvent != nullptr) callerEvent->Reset();
    worker_.Register(this);
    mixer_.Play(voice_, loop != 0 || streaming != 0);
}

void DSsound::Stop() {
    if (!buffer_ || playing == 0) return;
    paused = 0;
    mixer_.Stop(voice_);
    worker_.Unregister(this); // waits for a refill of this sound in progress
    Finish();
}

void DSsound::Pause() {
    if (!buffer_ || playing == 0 || paused != 0) return;
    paused = 1;
    mixer_.Stop(voice_); // keeps its position
}

void DSsound::Resume() {
    if (!buffer_ || paused == 0) return;
    mixer_.Play(voice_, loop != 0 || streaming != 0);
    paused = 0;
}

void DSsound::ApplyVolume(int volume) {
    if (buffer_) mixer_.SetVolume(voice_, VolumeHundredths(volume));
}

void DSsound::SetPan(int32_t pan) {
    if (buffer_) mixer_.SetPan(voice_, pan);
}

void DSsound::SetFrequency(uint32_t hz) {
    if (buffer_) mixer_.SetFrequency(voice_, hz);
}

uint64_t DSsound::PlayPosition() const {
    return buffer_ ? mixer_.Position(voice_) : 0;
}

void DSsound::Finish() {
    if (playing.exchange(0) == 0) return;
    if (callerEvent != nullptr) callerEvent->Set();
    // Last: once it is set, the main thread may delete the sound (see the destructor).
    finishedEvent.Set();
}

bool DSsound::Service() {
    if (buffer_->TakeEnded()) {
        Finish();
        return false;
    }
    if (streaming != 0) {
        std::lock_guard lock(streamMutex_);
        if (buffer_->FreeFrames() * buffer_->FrameBytes() >= chunkSize_) Refill();
    }
    return true;
}

// With the stream mutex held.
int DSsound::Refill() {
    if (!buffer_ || buffer_->GetKind() != sound::VoiceBuffer::Kind::Ring) return 0;
    const size_t frameBytes = buffer_->FrameBytes();
    const sound::VoiceBuffer::Region free =
        buffer_->Writable(buffer_->Written(), buffer_->FreeFrames());
    size_t written = FillPart(free.first);
    if (written == free.first.size()) written += FillPart(free.second);
    buffer_->Publish(written / frameBytes);
    if (dataEnded != 0) buffer_->EndAtWritten();
    writeCursor_ = static_cast<uint32_t>((writeCursor_ + written) % bufferSize_);
    return 1;
}

size_t DSsound::FillPart(std::span<uint8_t> part) {
    size_t done = 0;
    while (done < part.size() && dataEnded == 0) {
        const size_t k = std::min<size_t>(part.size() - done, remaining_);
        if (k == 0) {
            if (loop == 0 || dataSize_ == 0) {
                dataEnded = 1; // the voice ends where the data does
                break;
            }
            remaining_ = dataSize_; // looped: on from the start of the data
            readPosition_ = layout_.dataOffset;
            continue;
        }
        if (!ReadData(part.subspan(done, k))) {
            dataEnded = 1; // a file that cannot be read any more ends the sound there
            break;
        }
        readPosition_ += k;
        remaining_ -= static_cast<uint32_t>(k);
        done += k;
    }
    return done;
}
