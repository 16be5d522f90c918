#include "graphics/FlicQuantize.h"

#include <algorithm>
#include <unordered_map>

namespace codecs {

namespace {

struct ColorCount {
    uint32_t rgb = 0; // 0xRRGGBB
    uint64_t count = 0;
};

using ColorBox = std::vector<ColorCount>;

constexpr uint32_t kTransparentKey = 0xFF00FF;

uint32_t PixelKey(const std::vector<uint8_t>& rgb, size_t pixel) {
    return (uint32_t{rgb[3 * pixel]} << 16) | (uint32_t{rgb[3 * pixel + 1]} << 8) |
           rgb[3 * pixel + 2];
}

int Channel(uint32_t rgb, int channel) {
    return static_cast<int>((rgb >> (16 - 8 * channel)) & 0xFF);
}

Rgb ToRgb(uint32_t key) {
    return Rgb{static_cast<uint8_t>(key >> 16), static_cast<uint8_t>(key >> 8),
               static_cast<uint8_t>(key)};
}

// The opaque colours with their pixel counts, in order of first appearance.
std::vector<ColorCount> CountColors(std::span<const platform::RgbImage> images) {
    std::vector<ColorCount> colors;
    std::unordered_map<uint32_t, size_t> slot;
    for (const platform::RgbImage& image : images) {
        const size_t pixels = image.rgb.size() / 3;
        for (size_t i = 0; i < pixels; ++i) {
            const uint32_t key = PixelKey(image.rgb, i);
            if (key == kTransparentKey) continue;
            auto [it, added] = slot.try_emplace(key, colors.size());
            if (added) colors.push_back({key, 0});
            ++colors[it->second].count;
        }
    }
    return colors;
}

// The largest spread of the box's colours in one channel, and that channel.
int Spread(const ColorBox& box, int& channel) {
    int best = -1;
    for (int c = 0; c < 3; ++c) {
        auto [low, high] = std::minmax_element(box.begin(), box.end(), [c](auto& a, auto& b) {
            return Channel(a.rgb, c) < Channel(b.rgb, c);
        });
        const int spread = Channel(high->rgb, c) - Channel(low->rgb, c);
        if (spread > best) {
            best = spread;
            channel = c;
        }
    }
    return best;
}

void SplitBox(std::vector<ColorBox>& boxes, size_t which, int channel) {
    ColorBox& box = boxes[which];
    std::sort(box.begin(), box.end(), [channel](const ColorCount& a, const ColorCount& b) {
        const int ca = Channel(a.rgb, channel), cb = Channel(b.rgb, channel);
        return ca != cb ? ca < cb : a.rgb < b.rgb;
    });
    uint64_t total = 0;
    for (const ColorCount& c : box)
        total += c.count;
    uint64_t sum = 0;
    size_t split = 0;
    while (split < box.size() - 1 && (sum += box[split].count) * 2 < total)
        ++split;
    split = std::clamp<size_t>(split + 1, 1, box.size() - 1);
    ColorBox upper(box.begin() + static_cast<std::ptrdiff_t>(split), box.end());
    box.resize(split);
    boxes.push_back(std::move(upper));
}

Rgb MeanColor(const ColorBox& box) {
    uint64_t total = 0, sums[3] = {0, 0, 0};
    for (const ColorCount& c : box) {
        total += c.count;
        for (int ch = 0; ch < 3; ++ch)
            sums[ch] += c.count * static_cast<uint64_t>(Channel(c.rgb, ch));
    }
    auto mean = [total](uint64_t s) { return static_cast<uint8_t>((s + total / 2) / total); };
    return Rgb{mean(sums[0]), mean(sums[1]), mean(sums[2])};
}

// Reduces the colours to at most 255 boxes; fills palette entries 1.. and the index of each
// colour.
void MedianCut(std::vector<ColorCount> colors, FlicPalette& palette,
               std::unordered_map<uint32_t, uint8_t>& indexOf) {
    std::sort(colors.begin(), colors.end(),
              [](const ColorCount& a, const ColorCount& b) { return a.rgb < b.rgb; });
    std::vector<ColorBox> boxes{std::move(colors)};
    while (boxes.size() < static_cast<size_t>(kMaxOpaqueColors)) {
        int bestSpread = 0, bestChannel = 0;
        size_t best = boxes.size();
        for (size_t b = 0; b < boxes.size(); ++b) {
            int channel = 0;
            const int spread = Spread(boxes[b], channel);
            if (spread > bestSpread) {
                bestSpread = spread;
                bestChannel = channel;
                best = b;
            }
        }
        if (best == boxes.size()) break; // every box holds a single colour
        SplitBox(boxes, best, bestChannel);
    }
    for (size_t b = 0; b < boxes.size(); ++b) {
        palette[b + 1] = MeanColor(boxes[b]);
        for (const ColorCount& c : boxes[b])
            indexOf[c.rgb] = static_cast<uint8_t>(b + 1);
    }
}

// Keeps opaque colours from looking like the transparent one on 5-6-5 and 5-5-5 displays.
void SeparateFromTransparent(FlicPalette& palette) {
    for (size_t i = 1; i < palette.size(); ++i) {
        Rgb& c = palette[i];
        if (c.r >= 248 && c.b >= 248 && c.g < 8) c.g = 8;
    }
}

bool CheckSizes(std::span<const platform::RgbImage> images, std::string& error) {
    if (images.empty()) {
        error = "no pictures";
        return false;
    }
    for (const platform::RgbImage& image : images) {
        if (image.width != images[0].width || image.height != images[0].height) {
            error = "the pictures differ in size";
            return false;
        }
        if (image.width < 1 || image.height < 1 ||
            image.rgb.size() != static_cast<size_t>(image.width) * image.height * 3) {
            error = "a picture is empty or incomplete";
            return false;
        }
    }
    return true;
}

} // namespace

bool IndexFrames(std::span<const platform::RgbImage> images, IndexedAnimation& out,
                 std::string& error) {
    if (!CheckSizes(images, error)) return false;
    std::vector<ColorCount> colors = CountColors(images);
    FlicPalette palette{};
    palette[0] = kTransparentRgb;
    std::unordered_map<uint32_t, uint8_t> indexOf;
    if (colors.size() <= static_cast<size_t>(kMaxOpaqueColors)) {
        for (size_t i = 0; i < colors.size(); ++i) {
            palette[i + 1] = ToRgb(colors[i].rgb);
            indexOf[colors[i].rgb] = static_cast<uint8_t>(i + 1);
        }
    } else {
        MedianCut(std::move(colors), palette, indexOf);
    }
    SeparateFromTransparent(palette);
    indexOf[kTransparentKey] = 0;

    out.width = images[0].width;
    out.height = images[0].height;
    out.palette = palette;
    out.frames.clear();
    for (const platform::RgbImage& image : images) {
        std::vector<uint8_t> frame(image.rgb.size() / 3);
        for (size_t i = 0; i < frame.size(); ++i)
            frame[i] = indexOf[PixelKey(image.rgb, i)];
        out.frames.push_back(std::move(frame));
    }
    return true;
}

} // namespace codecs
