#pragma once
// The palette entry nearest to a colour (squared distance in RGB). Each cube of 4x4x4 colours
// lists the few entries that can be nearest anywhere in it, in order of how near they can come,
// so that a search ends as soon as no later entry can come nearer. A cube's list is made when a
// colour in it is first looked up, from the list of its cube of 8x8x8, made in turn from that
// of its cube of 16x16x16.
#include "Image.h"

#include <cstdint>

class NearestColour {
  public:
    // palette holds 1 to 256 entries.
    explicit NearestColour(const std::vector<PaletteEntry>& palette);

    // The index of one of the nearest entries.
    unsigned char Find(int red, int green, int blue) {
        const size_t large = size_t(red >> 4) << 8 | size_t(green >> 4) << 4 | size_t(blue >> 4);
        if (blocks[large] < 0)
            blocks[large] = ListLarge(large);
        int32_t& small = cubes[size_t(blocks[large]) + 9 + Small(red, green, blue)];
        if (small < 0)
            small = ListSmall(red, green, blue, cubes.data() + blocks[large]);
        const uint32_t* list = lists.data() + small;
        unsigned char best = 0;
        uint32_t nearest = ~0u;
        for (const uint32_t* entry = list + 1; entry <= list + list[0]; ++entry) {
            if (nearest <= *entry >> 8)
                break;
            const PaletteEntry& colour = palette[*entry & 255];
            const int r = red - colour.red, g = green - colour.green, b = blue - colour.blue;
            const uint32_t distance = uint32_t(r * r + g * g + b * b);
            if (distance < nearest) {
                nearest = distance;
                best = static_cast<unsigned char>(*entry & 255);
            }
        }
        return best;
    }

  private:
    // The place of a colour's 4-cube within its 16-cube: its 8-cube's, then its own within that.
    static size_t Small(int red, int green, int blue) {
        return size_t(red >> 3 & 1) << 5 | size_t(green >> 3 & 1) << 4 |
               size_t(blue >> 3 & 1) << 3 | size_t(red >> 2 & 1) << 2 |
               size_t(green >> 2 & 1) << 1 | size_t(blue >> 2 & 1);
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
    // Blocks: where the 16-cube's list starts, then the same for each of its 8 8-cubes and 64
    // 4-cubes, -1 before it is made.
    std::vector<int32_t> cubes;
    // Lists: their length, then per entry its index in the low 8 bits above the least squared
    // distance of a colour of the cube from it.
    std::vector<uint32_t> lists;
};
