// Our FLC decoder beside FFmpeg's flic decoder (libavcodec), on the same files in one run:
// laps of frames 2..200 and the ring frame of each animation, frames per second of both and
// their ratio. Ours draws 16-bit display pixels through the colour table, FFmpeg 8-bit palette
// indices (its output format for these files), so the comparison favours FFmpeg slightly.
//
//   build/bench/flic_compare [SAMPLES_DIR]     (default: the files the build made)
extern "C" {
#include <libavcodec/avcodec.h>
}

#include <cstring>
#include <memory>

#include "graphics/FlicDecoder.h"

#include "Compare.h"

namespace {

struct Animation {
    std::vector<uint8_t> file;
    codecs::FlicHeader header;
    std::vector<codecs::FlicFrameInfo> frames; // frames 1..N and the ring frame
};

bool Load(const std::filesystem::path& path, Animation& out) {
    out.file = compare::ReadFile(path);
    std::string error;
    if (!codecs::ParseFlicHeader(out.file, out.header, error) ||
        !codecs::ListFlicFrames(out.file, out.header, out.frames, error)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

struct CodecDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
    void operator()(AVPacket* p) const { av_packet_free(&p); }
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};

// Both decoders play the animation as the engine does: frame 1 once, then laps of frames
// 2..N and the ring frame (which turns frame N back into frame 1). A lap is what is timed.
class OurPlayer {
public:
    explicit OurPlayer(const Animation& a)
        : pixels_(static_cast<size_t>(a.header.width) * a.header.height) {
        ok_ = decoder_.Open(a.file, platform::PixelShifts{}) && Next();
    }
    bool Lap(int frames) {
        for (int i = 0; i < frames && ok_; ++i)
            ok_ = Next();
        return ok_;
    }

private:
    bool Next() { return decoder_.NextFrame({pixels_, decoder_.Width()}); }

    codecs::FlicDecoder decoder_;
    std::vector<uint16_t> pixels_;
    bool ok_ = false;
};

// libavcodec's flic decoder fed one frame per packet, as its demuxer would, with the
// 128-byte file header as extradata.
class FfmpegPlayer {
public:
    explicit FfmpegPlayer(const Animation& a) : a_(a), padded_(a.file) {
        padded_.resize(padded_.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);
        const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_FLIC);
        if (codec == nullptr) return;
        ctx_.reset(avcodec_alloc_context3(codec));
        ctx_->width = a.header.width;
        ctx_->height = a.header.height;
        ctx_->extradata = static_cast<uint8_t*>(av_mallocz(128 + AV_INPUT_BUFFER_PADDING_SIZE));
        std::memcpy(ctx_->extradata, a.file.data(), 128);
        ctx_->extradata_size = 128;
        if (avcodec_open2(ctx_.get(), codec, nullptr) < 0) return;
        packet_.reset(av_packet_alloc());
        frame_.reset(av_frame_alloc());
        ok_ = Send(a.frames[0]);
    }
    bool Lap(int frames) {
        for (int i = 1; i <= frames && ok_; ++i)
            ok_ = Send(a_.frames[static_cast<size_t>(i)]);
        return ok_;
    }

private:
    bool Send(const codecs::FlicFrameInfo& f) {
        packet_->data = padded_.data() + f.offset;
        packet_->size = static_cast<int>(f.size);
        if (avcodec_send_packet(ctx_.get(), packet_.get()) < 0) return false;
        if (avcodec_receive_frame(ctx_.get(), frame_.get()) < 0) return false;
        av_frame_unref(frame_.get());
        return true;
    }

    const Animation& a_;
    std::vector<uint8_t> padded_;
    std::unique_ptr<AVCodecContext, CodecDeleter> ctx_;
    std::unique_ptr<AVPacket, CodecDeleter> packet_;
    std::unique_ptr<AVFrame, CodecDeleter> frame_;
    bool ok_ = false;
};

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path dir = argc > 1 ? argv[1] : TARVO_BENCH_SAMPLES;
    av_log_set_level(AV_LOG_ERROR);
    const std::pair<const char*, const char*> files[] = {
        {"sprites.flc", "sprites over a still background"},
        {"scroll.flc", "every pixel changing"},
    };
    bool met = true;
    for (const auto& [name, what] : files) {
        Animation a;
        if (!Load(dir / name, a)) return 1;
        if (static_cast<int>(a.frames.size()) != a.header.frameCount + 1) {
            std::fprintf(stderr, "%s: no ring frame\n", name);
            return 1;
        }
        const int lap = a.header.frameCount; // frames 2..N and the ring frame
        OurPlayer our(a);
        FfmpegPlayer ffmpeg(a);
        const auto [ours, theirs] = compare::BestRates(
            lap, [&] { return our.Lap(lap); }, [&] { return ffmpeg.Lap(lap); });
        if (ours == 0 || theirs == 0) {
            std::fprintf(stderr, "%s: decoding failed (%s)\n", name, ours == 0 ? "ours" : "FFmpeg");
            return 1;
        }
        char title[160];
        std::snprintf(title, sizeof title, "FLC %s: %s, %d x %d, %d frames + ring, %zu bytes", name,
                      what, a.header.width, a.header.height, a.header.frameCount, a.file.size());
        compare::Report(title, "frames", ours, "FFmpeg", theirs, 2.0);
        met = met && ours >= 2 * theirs;
    }
    return met ? 0 : 3;
}
