#include "MedianCut.h"

#include <algorithm>
#include <array>
#include <memory>

namespace {

// Sums over a set of colours: their weight and weighted channel sums.
struct Moments {
    int64_t weight = 0;
    int64_t sum[3] = {};

    void Add(const CountedColour& colour) {
        const int64_t w = colour.count;
        weight += w;
        sum[0] += w * colour.channel[0];
        sum[1] += w * colour.channel[1];
        sum[2] += w * colour.channel[2];
    }
    void Add(const Moments& other, int sign) {
        weight += sign * other.weight;
        for (int c = 0; c < 3; ++c)
            sum[c] += sign * other.sum[c];
    }
    // The squared length of the sum over the weight. The squared error of colours against
    // their mean is their squared lengths less this, so a cut lowers the error by as much as
    // the parts' Concentration exceeds the whole's: the squared lengths need not be summed.
    double Concentration() const {
        if (weight <= 0)
            return 0;
        const double r = double(sum[0]), g = double(sum[1]), b = double(sum[2]);
        return (r * r + g * g + b * b) / double(weight);
    }
};

struct Box {
    size_t begin = 0, end = 0;
    Moments moments;
    int low[3] = {0, 0, 0}, high[3] = {255, 255, 255}; // the planes its colours span
    int axis = -1; // the best cut: colours with channel[axis] <= plane go first; -1 for none
    int plane = 0;
    double gain = 0; // how much the best cut lowers the error
};

// The moments of each plane across each channel.
using Planes = std::array<std::array<Moments, 256>, 3>;

// The box of colours[begin, end), which lie within the bounds of the box around, with its
// moments, its own bounds and its best cut; planes is scratch space, of which only the planes
// around spans are cleared.
Box Measure(const std::vector<CountedColour>& colours, size_t begin, size_t end, const Box& around,
            Planes& planes) {
    Box box;
    box.begin = begin;
    box.end = end;
    for (int c = 0; c < 3; ++c)
        std::fill(planes[c].begin() + around.low[c], planes[c].begin() + around.high[c] + 1,
                  Moments{});
    for (size_t i = begin; i < end; ++i) {
        Moments colour;
        colour.Add(colours[i]);
        box.moments.Add(colour, 1);
        for (int c = 0; c < 3; ++c)
            planes[c][colours[i].channel[c]].Add(colour, 1);
    }
    const double whole = box.moments.Concentration();
    for (int axis = 0; axis < 3; ++axis) {
        // The bounds of the colours themselves; the box holds at least one.
        int& low = box.low[axis];
        int& high = box.high[axis];
        for (low = around.low[axis]; planes[axis][size_t(low)].weight == 0;)
            ++low;
        for (high = around.high[axis]; planes[axis][size_t(high)].weight == 0;)
            --high;
        Moments below;
        for (int plane = low; plane < high; ++plane) {
            // A cut after an empty plane is the cut after the plane before it.
            if (planes[axis][size_t(plane)].weight == 0)
                continue;
            below.Add(planes[axis][size_t(plane)], 1);
            Moments above = box.moments;
            above.Add(below, -1);
            const double gain = below.Concentration() + above.Concentration() - whole;
            if (gain > box.gain) {
                box.gain = gain;
                box.axis = axis;
                box.plane = plane;
            }
        }
    }
    return box;
}

} // namespace

std::vector<PaletteEntry> ChoosePalette(std::vector<CountedColour>& colours, size_t maxColours) {
    std::vector<Box> boxes;
    if (colours.empty() || maxColours == 0)
        return {};
    // On the heap and reused: clearing it whole for every box would cost more than the cuts.
    const auto planes = std::make_unique<Planes>();
    boxes.push_back(Measure(colours, 0, colours.size(), Box{}, *planes));
    while (boxes.size() < maxColours) {
        const auto best = std::max_element(
            boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.gain < b.gain; });
        if (best->axis < 0)
            break;
        const int axis = best->axis, plane = best->plane;
        const auto middle = std::partition(
            colours.begin() + ptrdiff_t(best->begin), colours.begin() + ptrdiff_t(best->end),
            [&](const CountedColour& colour) { return colour.channel[axis] <= plane; });
        const Box whole = *best;
        const size_t cut = size_t(middle - colours.begin());
        *best = Measure(colours, whole.begin, cut, whole, *planes);
        boxes.push_back(Measure(colours, cut, whole.end, whole, *planes));
    }
    std::vector<PaletteEntry> palette;
    for (const Box& box : boxes) {
        unsigned char mean[3];
        for (int c = 0; c < 3; ++c)
            mean[c] = static_cast<unsigned char>(
                double(box.moments.sum[c]) / double(box.moments.weight) + 0.5);
        palette.push_back({mean[0], mean[1], mean[2]});
    }
    return palette;
}
