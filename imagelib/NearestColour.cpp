#include "NearestColour.h"

#include <algorithm>

namespace {

int Channel(const PaletteEntry& entry, int c) {
    return c == 0 ? entry.red : c == 1 ? entry.green : entry.blue;
}

} // namespace

NearestColour::NearestColour(const std::vector<PaletteEntry>& palette, size_t searches)
    : palette(palette), blocks(size_t{1} << 12, -1), wide(size_t{1} << 9, -1),
      // A short list is searched about as fast as a shorter one is made; with few searches to
      // share the making, so is a longer one.
      shortList(searches < (size_t{1} << 16) ? 48 : 24) {
    // Room for the lists of a busy photograph, so that they are not copied as they grow; pages
    // that are never written cost nothing.
    cubes.reserve(size_t{1} << 16);
    lists.reserve(size_t{1} << 18);
}

int32_t NearestColour::ListLarge(size_t large) {
    // The 16-cube's list comes from that of its 32-cube, which spares measuring the whole
    // palette for each of the many 16-cubes a picture of bright colours touches.
    int32_t& outer = wide[(large >> 9 & 7) << 6 | (large >> 5 & 7) << 3 | (large >> 1 & 7)];
    if (outer < 0) {
        const int corner[3] = {int(large >> 9) << 5, int(large >> 5 & 7) << 5,
                               int(large >> 1 & 7) << 5};
        uint32_t entries[256];
        for (uint32_t i = 0; i < palette.size(); ++i)
            entries[i] = i;
        outer = List(corner, 32, entries, palette.size());
    }
    const int corner[3] = {int(large >> 8) << 4, int(large >> 4 & 15) << 4, int(large & 15) << 4};
    const int32_t block = int32_t(cubes.size());
    const int32_t list = ListWithin(corner, 16, outer);
    cubes.push_back(list);
    // A short list is shared by the smaller cubes, as in ListSmall.
    cubes.resize(cubes.size() + 72, lists[size_t(list)] <= shortList ? list : -1);
    return block;
}

int32_t NearestColour::ListSmall(int red, int green, int blue, int32_t* block) {
    const size_t place = (Place(red, green, blue) & 63) >> 3;
    int32_t& middle = block[1 + place];
    if (middle < 0) {
        const int corner[3] = {red & ~7, green & ~7, blue & ~7};
        middle = ListWithin(corner, 8, block[0]);
        // A short list is shared by the 4-cubes.
        if (lists[size_t(middle)] <= shortList) {
            std::fill(block + 9 + 8 * place, block + 17 + 8 * place, middle);
            return middle;
        }
    }
    const int corner[3] = {red & ~3, green & ~3, blue & ~3};
    return ListWithin(corner, 4, middle);
}

int32_t NearestColour::ListWithin(const int corner[3], int side, int32_t from) {
    // The outer list is copied out first: appending may move it.
    const auto start = lists.begin() + from;
    uint32_t entries[256];
    std::copy(start + 1, start + 1 + *start, entries);
    return List(corner, side, entries, *start);
}

int32_t NearestColour::List(const int corner[3], int side, const uint32_t* entries, size_t count) {
    // An entry can be nearest to some colour of the cube only if the cube's nearest colour to it
    // is no farther than the cube's farthest colour is from some other entry.
    // Channel by channel over all entries, which the compiler turns into vector code.
    uint32_t least[256] = {}, farthest[256] = {};
    for (int c = 0; c < 3; ++c) {
        int values[256];
        for (size_t i = 0; i < count; ++i)
            values[i] = Channel(palette[entries[i] & 255], c);
        for (size_t i = 0; i < count; ++i) {
            const int low = corner[c] - values[i], high = low + side - 1;
            const int near = std::max(std::max(low, -high), 0), far = std::max(-low, high);
            least[i] += uint32_t(near * near);
            farthest[i] += uint32_t(far * far);
        }
    }
    const uint32_t reach = *std::min_element(farthest, farthest + count);
    // Every entry is written and only those kept are counted: a branch here is a coin toss.
    const size_t start = lists.size();
    lists.resize(start + 1 + std::max(count, kScan));
    uint32_t* kept = lists.data() + start + 1;
    size_t length = 0;
    for (size_t i = 0; i < count; ++i) {
        kept[length] = least[i] << 8 | (entries[i] & 255);
        length += least[i] <= reach;
    }
    lists[start] = uint32_t(length);
    std::sort(kept, kept + length);
    // At least the entry whose farthest colour sets the reach is kept.
    std::fill(kept + length, kept + std::max(length, kScan), kept[0]);
    lists.resize(start + 1 + std::max(length, kScan));
    return int32_t(start);
}
