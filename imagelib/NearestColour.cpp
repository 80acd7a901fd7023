#include "NearestColour.h"

#include <algorithm>
#include <cmath>

NearestColour::NearestColour(const std::vector<PaletteEntry>& palette)
    : palette(palette), small(size_t{1} << 15, -1), large(size_t{1} << 12, -1) {}

int32_t NearestColour::ListSmall(size_t cube) {
    const int corner[3] = {int(cube >> 10) << 3, int(cube >> 5 & 31) << 3, int(cube & 31) << 3};
    const size_t outer =
        size_t(corner[0] >> 4) << 8 | size_t(corner[1] >> 4) << 4 | size_t(corner[2] >> 4);
    uint32_t entries[256];
    if (large[outer] < 0) {
        for (uint32_t i = 0; i < palette.size(); ++i)
            entries[i] = i;
        const int outerCorner[3] = {corner[0] & ~15, corner[1] & ~15, corner[2] & ~15};
        large[outer] = List(outerCorner, 16, entries, palette.size());
    }
    // The outer list is copied out first: appending may move it.
    const auto start = lists.begin() + large[outer];
    std::copy(start + 1, start + 1 + *start, entries);
    return List(corner, 8, entries, *start);
}

int32_t NearestColour::List(const int corner[3], int side, const uint32_t* entries, size_t count) {
    // An entry can be nearest to some colour of the cube only if it is no farther from the
    // cube's centre than the entry nearest to the centre plus the cube's diagonal.
    const float half = float(side - 1) / 2, reach = half * std::sqrt(3.0f);
    const float centre[3] = {corner[0] + half, corner[1] + half, corner[2] + half};
    float distances[256];
    float nearest = 1e9f;
    for (size_t i = 0; i < count; ++i) {
        const PaletteEntry& entry = palette[entries[i] & 255];
        const float r = entry.red - centre[0], g = entry.green - centre[1],
                    b = entry.blue - centre[2];
        distances[i] = r * r + g * g + b * b;
        nearest = std::min(nearest, distances[i]);
    }
    const float limit = std::sqrt(nearest) + 2 * reach + 0.01f;
    const int32_t start = int32_t(lists.size());
    lists.push_back(0);
    for (size_t i = 0; i < count; ++i)
        if (distances[i] <= limit * limit) {
            const float closest = std::max(0.0f, std::sqrt(distances[i]) - reach - 0.01f);
            lists.push_back(uint32_t(closest * closest) << 8 | (entries[i] & 255));
        }
    lists[size_t(start)] = uint32_t(lists.size()) - uint32_t(start) - 1;
    std::sort(lists.begin() + start + 1, lists.end());
    return start;
}
