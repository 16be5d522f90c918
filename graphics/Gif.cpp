#include "graphics/Gif.h"

#include "platform/ByteReader.h"
#include "platform/ImageBudget.h"

#include <algorithm>
#include <array>

namespace graphics {

namespace {

using platform::ByteReader;

constexpr uint8_t kImageIntroducer = 0x2C;
constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kColorTableFlag = 0x80;
constexpr uint8_t kInterlacedFlag = 0x40;
constexpr int kMaxCodeBits = 12;
constexpr int kTableSize = 1 << kMaxCodeBits;

bool Fail(std::string& error, const char* reason) {
    error = reason;
    return false;
}

struct Screen {
    int width = 0;
    int height = 0;
    uint8_t background = 0;
    std::vector<DibColor> globalColors;
};

struct ImageDescriptor {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    std::vector<DibColor> localColors;
};

// A colour table of 2^(sizeField + 1) red-green-blue triples.
bool ReadColorTable(ByteReader& reader, uint8_t packed, std::vector<DibColor>& colors) {
    const size_t count = size_t{2} << (packed & 7);
    colors.resize(count);
    for (DibColor& c : colors) {
        c.red = reader.U8();
        c.green = reader.U8();
        c.blue = reader.U8();
    }
    return !reader.Failed();
}

bool ReadScreen(ByteReader& reader, Screen& screen, std::string& error) {
    const std::span<const uint8_t> signature = reader.Bytes(6);
    if (reader.Failed() || !std::equal(signature.begin(), signature.begin() + 3, "GIF"))
        return Fail(error, "not a GIF file (no \"GIF\")");
    const std::string version(signature.begin() + 3, signature.end());
    if (version != "87a" && version != "89a") return Fail(error, "unknown GIF version");
    screen.width = reader.U16();
    screen.height = reader.U16();
    const uint8_t packed = reader.U8();
    screen.background = reader.U8();
    reader.Skip(1); // pixel aspect ratio
    if (reader.Failed()) return Fail(error, "GIF screen descriptor cut short");
    if ((packed & kColorTableFlag) != 0 && !ReadColorTable(reader, packed, screen.globalColors))
        return Fail(error, "GIF colour table cut short");
    return true;
}

// Skips the label and data sub-blocks of an extension, up to its empty terminator.
bool SkipExtension(ByteReader& reader) {
    reader.Skip(1);
    for (uint8_t size = reader.U8(); size != 0 && !reader.Failed(); size = reader.U8())
        reader.Skip(size);
    return !reader.Failed();
}

bool ReadImageDescriptor(ByteReader& reader, ImageDescriptor& image, std::string& error) {
    image.left = reader.U16();
    image.top = reader.U16();
    image.width = reader.U16();
    image.height = reader.U16();
    const uint8_t packed = reader.U8();
    if (reader.Failed()) return Fail(error, "GIF image descriptor cut short");
    if (image.width == 0 || image.height == 0) return Fail(error, "GIF image has no pixels");
    image.interlaced = (packed & kInterlacedFlag) != 0;
    if ((packed & kColorTableFlag) != 0 && !ReadColorTable(reader, packed, image.localColors))
        return Fail(error, "GIF colour table cut short");
    return true;
}

// The image data sub-blocks joined into one code stream.
bool ReadCodeStream(ByteReader& reader, std::vector<uint8_t>& stream) {
    for (uint8_t size = reader.U8(); size != 0 && !reader.Failed(); size = reader.U8()) {
        const std::span<const uint8_t> block = reader.Bytes(size);
        stream.insert(stream.end(), block.begin(), block.end());
    }
    return !reader.Failed();
}

// Variable-width LZW as GIF uses it: codes packed least significant bit first, widths from
// minimum + 1 up to 12 bits, a clear code and an end code after the literals. Strings are
// kept as (prefix code, last pixel) pairs and written out back to front.
class LzwDecoder {
public:
    LzwDecoder(int minimumCodeSize, std::span<const uint8_t> stream)
        : clear_(1 << minimumCodeSize), minimumCodeSize_(minimumCodeSize), stream_(stream) {
        for (int code = 0; code < clear_; ++code) {
            prefix_[code] = 0;
            last_[code] = first_[code] = static_cast<uint8_t>(code);
            length_[code] = 1;
        }
        Reset();
    }

    // Fills `pixels` from the front; `produced` tells how far it got. A stream that runs out
    // of codes before its end code stops without error.
    bool Decode(std::span<uint8_t> pixels, size_t& produced, std::string& error) {
        produced = 0;
        int code;
        while (!(produced == pixels.size() && OnlyPaddingLeft()) && NextCode(code)) {
            if (code == clear_) {
                Reset();
                continue;
            }
            if (code == clear_ + 1) break;
            if (!Step(code, pixels, produced, error)) return false;
        }
        return true;
    }

private:
    void Reset() {
        codeBits_ = minimumCodeSize_ + 1;
        nextCode_ = clear_ + 2;
        previous_ = -1;
    }

    // The bits left over in the last byte, after a complete image without an end code, are
    // padding even if they are wide enough to read as a code.
    bool OnlyPaddingLeft() const { return position_ == stream_.size() && bitCount_ < 8; }

    bool NextCode(int& code) {
        while (bitCount_ < codeBits_ && position_ < stream_.size()) {
            bits_ |= uint32_t{stream_[position_++]} << bitCount_;
            bitCount_ += 8;
        }
        if (bitCount_ < codeBits_) return false;
        code = static_cast<int>(bits_ & ((1u << codeBits_) - 1));
        bits_ >>= codeBits_;
        bitCount_ -= codeBits_;
        return true;
    }

    bool Step(int code, std::span<uint8_t> pixels, size_t& produced, std::string& error) {
        if (previous_ < 0) {
            if (code >= clear_) return Fail(error, "GIF code stream starts with an undefined code");
            if (!Emit(code, pixels, produced, error)) return false;
            previous_ = code;
            return true;
        }
        if (code > nextCode_) return Fail(error, "GIF code stream uses an undefined code");
        uint8_t firstPixel;
        if (code < nextCode_) {
            if (!Emit(code, pixels, produced, error)) return false;
            firstPixel = first_[code];
        } else {
            // The one code that may arrive before it is defined: the previous string plus
            // its own first pixel.
            firstPixel = first_[previous_];
            if (!Emit(previous_, pixels, produced, error)) return false;
            if (!Emit(firstPixel, pixels, produced, error)) return false;
        }
        Add(firstPixel);
        previous_ = code;
        return true;
    }

    // A full table stays as it is until the encoder sends a clear code.
    void Add(uint8_t pixel) {
        if (nextCode_ >= kTableSize) return;
        prefix_[nextCode_] = static_cast<uint16_t>(previous_);
        last_[nextCode_] = pixel;
        first_[nextCode_] = first_[previous_];
        length_[nextCode_] = static_cast<uint16_t>(length_[previous_] + 1);
        ++nextCode_;
        if (nextCode_ == (1 << codeBits_) && codeBits_ < kMaxCodeBits) ++codeBits_;
    }

    bool Emit(int code, std::span<uint8_t> pixels, size_t& produced, std::string& error) {
        const size_t length = length_[code];
        if (length > pixels.size() - produced)
            return Fail(error, "GIF code stream holds more pixels than the image");
        for (size_t i = length; i-- > 0;) {
            pixels[produced + i] = last_[code];
            code = prefix_[code];
        }
        produced += length;
        return true;
    }

    const int clear_;
    const int minimumCodeSize_;
    std::span<const uint8_t> stream_;
    size_t position_ = 0;
    uint32_t bits_ = 0;
    int bitCount_ = 0;
    int codeBits_ = 0;
    int nextCode_ = 0;
    int previous_ = -1;
    std::array<uint16_t, kTableSize> prefix_{};
    std::array<uint16_t, kTableSize> length_{};
    std::array<uint8_t, kTableSize> last_{};
    std::array<uint8_t, kTableSize> first_{};
};

// Image row of each stored row: in order, or in the four interlace passes.
std::vector<int> RowOrder(int height, bool interlaced) {
    std::vector<int> order;
    order.reserve(static_cast<size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            order.push_back(y);
        return order;
    }
    constexpr int kStart[4] = {0, 4, 2, 1};
    constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass])
            order.push_back(y);
    return order;
}

// Without a global colour table the background index means nothing; 0 it is.
uint8_t BackgroundIndex(const Screen& screen) {
    return screen.globalColors.empty() ? 0 : screen.background;
}

bool MakeCanvas(const Screen& screen, const ImageDescriptor* image, DibImage& out,
                std::string& error) {
    int64_t width = screen.width, height = screen.height;
    if (image != nullptr) {
        width = std::max<int64_t>(width, int64_t{image->left} + image->width);
        height = std::max<int64_t>(height, int64_t{image->top} + image->height);
    }
    if (width == 0 || height == 0) return Fail(error, "GIF picture has no pixels");
    if (!platform::FitsImageBudget(width, height)) {
        error = "GIF picture of " + platform::ImageBudgetRefusal(width, height);
        return false;
    }
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.bitsPerPixel = 8;
    out.palette = screen.globalColors;
    out.bits.assign(out.Stride() * static_cast<size_t>(out.height), BackgroundIndex(screen));
    return true;
}

bool DecodeImage(ByteReader& reader, const Screen& screen, DibImage& out, std::string& error) {
    ImageDescriptor image;
    if (!ReadImageDescriptor(reader, image, error)) return false;
    const int minimumCodeSize = reader.U8();
    std::vector<uint8_t> stream;
    if (!ReadCodeStream(reader, stream)) return Fail(error, "GIF image data cut short");
    if (minimumCodeSize < 2 || minimumCodeSize > 8)
        return Fail(error, "GIF minimum code size outside 2..8");
    if (!MakeCanvas(screen, &image, out, error)) return false;
    if (!image.localColors.empty()) out.palette = image.localColors;

    // Pixels not reached by a short stream keep the background colour.
    std::vector<uint8_t> pixels(static_cast<size_t>(image.width) * image.height,
                                BackgroundIndex(screen));
    size_t produced = 0;
    LzwDecoder decoder(minimumCodeSize, stream);
    if (!decoder.Decode(pixels, produced, error)) return false;

    const std::vector<int> order = RowOrder(image.height, image.interlaced);
    for (size_t row = 0; row < order.size(); ++row) {
        const uint8_t* source = pixels.data() + row * static_cast<size_t>(image.width);
        std::copy(source, source + image.width,
                  out.TopDownRow(image.top + order[row]) + image.left);
    }
    return true;
}

} // namespace

bool ReadGif(std::span<const uint8_t> file, DibImage& out, std::string& error) {
    ByteReader reader(file);
    Screen screen;
    if (!ReadScreen(reader, screen, error)) return false;
    for (;;) {
        const uint8_t introducer = reader.U8();
        if (reader.Failed()) return Fail(error, "GIF file ends before its first image");
        switch (introducer) {
        case 0: // stray padding between blocks
            break;
        case kExtensionIntroducer:
            if (!SkipExtension(reader)) return Fail(error, "GIF extension block cut short");
            break;
        case kImageIntroducer:
            return DecodeImage(reader, screen, out, error);
        case kTrailer:
            return MakeCanvas(screen, nullptr, out, error);
        default:
            return Fail(error, "unknown GIF block");
        }
    }
}

} // namespace graphics
