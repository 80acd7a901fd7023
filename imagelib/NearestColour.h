#pragma once
// The palette entry nearest to a colour (squared distance in RGB). Each cube of 4x4x4 colours
// lists the few entries that can be nearest anywhere in it, in order of how near they can come,
// so that a search ends as soon as no later entry can come nearer. A cube's list is made when a
// colour in it is first looked up, from the list of its cube of 8x8x8, made in turn from that
// of its cube of 16x16x16, and that from the list of its cube of 32x32x32.
#include "Image.h"

#include <algorithm>
#include <array>
#include <cstdint>

class NearestColour {
  public:
    // palette holds 1 to 256 entries; searches is about how many colours will be looked up.
    NearestColour(const std::vector<PaletteEntry>& palette, size_t searches);

    // The index of one of the nearest entries. Always inlined: a call per pixel costs a noisy
    // picture's remap a twentieth of its time.
    [[gnu::always_inline]] unsigned char Find(int red, int green, int blue) {
        const uint32_t place = Place(red, green, blue);
        const size_t large = place >> 6;
        if (blocks[large] < 0)
            blocks[large] = ListLarge(large);
        int32_t& small = cubes[size_t(blocks[large]) + 9 + (place & 63)];
        if (small < 0)
            small = ListSmall(red, green, blue, cubes.data() + blocks[large]);
        const uint32_t* list = lists.data() + small;
        // The first kScan entries are measured whatever they are, which costs less than a
        // branch the processor cannot guess; the rest only while one can still come nearer.
        uint32_t nearest = ~0u;
        for (size_t i = 1; i <= kScan; ++i)
            nearest = std::min(nearest, Key(red, green, blue, list[i]));
        for (const uint32_t* entry = list + 1 + kScan;
             entry <= list + list[0] && *entry >> 8 < nearest >> 8; ++entry)
            nearest = std::min(nearest, Key(red, green, blue, *entry));
        return static_cast<unsigned char>(nearest & 255);
    }

  private:
    // Every list has room for this many entries; a shorter one repeats its first.
    static constexpr size_t kScan = 4;

    // The squared distance of the colour from the entry of a list above the entry's index,
    // so that the least key names the nearest entry.
    uint32_t Key(int red, int green, int blue, uint32_t entry) const {
        const PaletteEntry& colour = palette[entry & 255];
        const int r = red - colour.red, g = green - colour.green, b = blue - colour.blue;
        return uint32_t(r * r + g * g + b * b) << 8 | (entry & 255);
    }
    // The colour's 16-cube (red, green, blue by 4 bits) above 6 bits of the place of its 4-cube
    // within that: its 8-cube's, then its own within that. Looked up per channel, since working
    // the bits out for every pixel costs the remap of a noisy picture a tenth of its time.
    static uint32_t Place(int red, int green, int blue) {
        static constexpr auto kPlaces = [] {
            std::array<std::array<uint32_t, 256>, 3> places{};
            for (uint32_t c = 0; c < 3; ++c)
                for (uint32_t v = 0; v < 256; ++v)
                    places[c][v] = (v >> 4) << (14 - 4 * c) | (v >> 3 & 1) << (5 - c) |
                                   (v >> 2 & 1) << (2 - c);
            return places;
        }();
        return kPlaces[0][size_t(red)] | kPlaces[1][size_t(green)] | kPlaces[2][size_t(blue)];
    }
    // Lists the 16-cube and makes room for its smaller cubes; answers where its block starts.
    int32_t ListLarge(size_t large);
    // Lists the colour's 4-cube, and its 8-cube first when that has no list yet.
    int32_t ListSmall(int red, int green, int blue, int32_t* block);
    // The list of the cube of side at corner, from the list at from.
    int32_t ListWithin(const int corner[3], int side, int32_t from);
    // Appends the list of those of the entries that can be nearest in the cube of side at
    // corner, and answers where it starts.
    int32_t List(const int corner[3], int side, const uint32_t* entries, size_t count);

    std::vector<PaletteEntry> palette;
    std::vector<int32_t> blocks; // per 16-cube: where its block starts in cubes, -1 before
    std::vector<int32_t> wide;   // per 32-cube: where its list starts in lists, -1 before
    uint32_t shortList;          // the longest list that the smaller cubes share
    // Blocks: where the 16-cube's list starts, then the same for each of its 8 8-cubes and 64
    // 4-cubes, -1 before it is made.
    std::vector<int32_t> cubes;
    // Lists: their length, then per entry its index in the low 8 bits above the least squared
    // distance of a colour of the cube from it.
    std::vector<uint32_t> lists;
};
