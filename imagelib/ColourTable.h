#pragma once
// The distinct colours of an image and how often each occurs, in order of first appearance.
#include "Image.h"

#include <cstdint>

struct CountedColour {
    unsigned char channel[3] = {}; // red, green, blue
    uint32_t count = 0;
};

class ColourTable {
  public:
    // Room for at most capacity distinct colours.
    explicit ColourTable(size_t capacity);

    // Counts one more pixel of the colour (0xRRGGBB); false, counting nothing, when the colour
    // is new and the table is full. retIndex is the colour's place in Colours().
    bool Add(uint32_t colour, size_t& retIndex);

    // Adds more to the count of the colour at index.
    void Count(size_t index, uint32_t more) { colours[index].count += more; }

    const std::vector<CountedColour>& Colours() const { return colours; }

  private:
    std::vector<uint32_t> slots; // colour + 1, 0 for an empty slot
    std::vector<uint32_t> places;
    std::vector<CountedColour> colours;
    size_t capacity;
    int shift;
};

// The colour (0xRRGGBB) of a true-colour image's pixel at byte offset at.
inline uint32_t ColourAt(const unsigned char* pixels, size_t at) {
    return uint32_t(pixels[at + 2]) << 16 | uint32_t(pixels[at + 1]) << 8 | pixels[at];
}
