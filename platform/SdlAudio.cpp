// The audio device over SDL: one device opened in exactly the mixer's format, so that SDL
// never converts or resamples what the mixer made.
#include <SDL.h>

#include "platform/AudioOutput.h"

namespace platform {

namespace {

constexpr Uint16 kDeviceFrames = 1024; // about 23 ms per pull

class SdlAudioOutput final : public AudioOutput {
public:
    explicit SdlAudioOutput(AudioPull pull) : pull_(std::move(pull)) {}
    SdlAudioOutput(const SdlAudioOutput&) = delete;
    SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;
    ~SdlAudioOutput() override {
        if (device_ != 0) SDL_CloseAudioDevice(device_); // waits for a pull in progress
        if (started_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool Start(std::string& error) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            error = std::string("cannot start SDL audio: ") + SDL_GetError();
            return false;
        }
        started_ = true;
        SDL_AudioSpec want{};
        want.freq = kAudioRate;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = kDeviceFrames;
        want.callback = &SdlAudioOutput::Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0) {
            error = std::string("cannot open the audio device: ") + SDL_GetError();
            return false;
        }
        const char* name = SDL_GetCurrentAudioDriver();
        name_ = name != nullptr ? name : "audio";
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    std::string DeviceName() const override { return name_; }

private:
    static void SDLCALL Callback(void* userdata, Uint8* stream, int bytes) {
        auto* self = static_cast<SdlAudioOutput*>(userdata);
        self->pull_(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(bytes) / 4);
    }

    AudioPull pull_;
    SDL_AudioDeviceID device_ = 0;
    bool started_ = false;
    std::string name_;
};

} // namespace

std::unique_ptr<AudioOutput> AudioOutput::Open(AudioPull pull, std::string& error) {
    auto output = std::make_unique<SdlAudioOutput>(std::move(pull));
    if (!output->Start(error)) return nullptr;
    return output;
}

} // namespace platform
