#include "Quantize.h"

#include "ColourTable.h"
#include "MedianCut.h"
#include "Remap.h"

#include <algorithm>
#include <array>

namespace {

// The image with its own colours as the palette; false when it has more than 256.
bool IndexOwnColours(const Image& image, Image& retIndexed) {
    ColourTable table(256);
    Allocate(retIndexed, image.width, image.height, true);
    const size_t count = retIndexed.pixels.size();
    uint32_t last = 0;
    size_t index = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t colour = ColourAt(image.pixels.data(), 3 * i);
        // Screens and drawings repeat a colour along a row, so the last one is kept at hand.
        if ((i == 0 || colour != last) && !table.Add(colour, index))
            return false;
        last = colour;
        retIndexed.pixels[i] = static_cast<unsigned char>(index);
    }
    for (size_t i = 0; i < table.Colours().size(); ++i) {
        const unsigned char* channel = table.Colours()[i].channel;
        retIndexed.palette[i] = {channel[0], channel[1], channel[2]};
    }
    return true;
}

// The colours of at most kSamples pixels spread evenly over the image: enough for the palette
// of a photograph of any size.
ColourTable SampleColours(const Image& image) {
    constexpr size_t kSamples = size_t{1} << 13;
    const size_t count = size_t(image.width) * image.height;
    const size_t step = (count + kSamples - 1) / kSamples;
    ColourTable table(std::min(count, kSamples));
    size_t index = 0;
    for (size_t i = 0; i < count; i += step)
        table.Add(ColourAt(image.pixels.data(), 3 * i), index);
    return table;
}

// The colours merged into cubes of side 2^(8 - bits), each counting as the mean of its colours.
std::vector<CountedColour> MergeColours(const std::vector<CountedColour>& colours, int bits) {
    const uint32_t keep = (0xFFu << (8 - bits) & 0xFFu) * 0x010101u;
    ColourTable cubes(colours.size());
    std::vector<std::array<uint64_t, 3>> sums(colours.size());
    size_t index = 0;
    for (const CountedColour& colour : colours) {
        const unsigned char* c = colour.channel;
        cubes.Add((uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2]) & keep, index);
        cubes.Count(index, colour.count - 1);
        for (int i = 0; i < 3; ++i)
            sums[index][size_t(i)] += uint64_t(colour.count) * c[i];
    }
    std::vector<CountedColour> merged = cubes.Colours();
    for (size_t i = 0; i < merged.size(); ++i)
        for (int c = 0; c < 3; ++c)
            merged[i].channel[c] = static_cast<unsigned char>(
                (sums[i][size_t(c)] + merged[i].count / 2) / merged[i].count);
    return merged;
}

// The colours to choose a palette from: merged into cubes as large as leave at least kEnough
// of them, which keeps the search short on a photograph and exact on a gradient.
std::vector<CountedColour> ColoursToChooseFrom(const std::vector<CountedColour>& colours) {
    constexpr size_t kEnough = 1024;
    for (int bits = 5; bits < 8; ++bits) {
        std::vector<CountedColour> merged = MergeColours(colours, bits);
        if (merged.size() >= kEnough)
            return merged;
    }
    return colours;
}

} // namespace

bool QuantizeTo256(const Image& image, Image& retIndexed) {
    if (image.indexed)
        return false;
    if (IndexOwnColours(image, retIndexed))
        return true;
    const ColourTable samples = SampleColours(image);
    std::vector<CountedColour> colours = ColoursToChooseFrom(samples.Colours());
    RemapNearest(image, ChoosePalette(colours, 256), retIndexed);
    return true;
}
