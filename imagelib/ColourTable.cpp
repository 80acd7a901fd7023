#include "ColourTable.h"

ColourTable::ColourTable(size_t capacity) : capacity(capacity) {
    // At most half full, so that a probe ends soon.
    int bits = 4;
    while ((size_t{1} << bits) < 2 * capacity)
        ++bits;
    slots.assign(size_t{1} << bits, 0);
    places.resize(slots.size());
    colours.reserve(capacity);
    shift = 32 - bits;
}

bool ColourTable::Add(uint32_t colour, size_t& retIndex) {
    const size_t mask = slots.size() - 1;
    for (size_t slot = (colour * 2654435761u) >> shift;; slot = (slot + 1) & mask) {
        if (slots[slot] == colour + 1) {
            retIndex = places[slot];
            ++colours[retIndex].count;
            return true;
        }
        if (slots[slot] != 0)
            continue;
        if (colours.size() == capacity)
            return false;
        slots[slot] = colour + 1;
        retIndex = places[slot] = uint32_t(colours.size());
        colours.push_back({{uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour)}, 1});
        return true;
    }
}
