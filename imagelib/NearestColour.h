#pragma once
// The palette entry nearest to a colour (squared distance in RGB). Each cube of 8x8x8 colours
// lists the few entries that can be nearest anywhere in it, nearest to its centre first, so
// that a search ends as soon as no later entry can come nearer. A cube's list is made when a
// colour in it is first looked up, from the list of its cube of 16x16x16.
#include "Image.h"

#include <cstdint>

class NearestColour {
  public:
    // palette holds 1 to 256 entries.
    explicit NearestColour(const std::vector<PaletteEntry>& palette);

    // The index of one of the nearest entries.
    unsigned char Find(int red, int green, int blue) {
        const size_t cube = size_t(red >> 3) << 10 | size_t(green >> 3) << 5 | size_t(blue >> 3);
        if (small[cube] < 0)
            small[cube] = ListSmall(cube);
        const uint32_t* list = lists.data() + small[cube];
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
    int32_t ListSmall(size_t cube);
    // Appends the list of those of the entries that can be nearest in the cube of side at
    // corner, and answers where it starts.
    int32_t List(const int corner[3], int side, const uint32_t* entries, size_t count);

    std::vector<PaletteEntry> palette;
    std::vector<int32_t> small; // per 8-cube: where its list starts, -1 before it is made
    std::vector<int32_t> large; // the same per 16-cube
    // Lists: their length, then per entry its index in the low 8 bits above the squared
    // distance that the colours of the cube are at least from it.
    std::vector<uint32_t> lists;
};
