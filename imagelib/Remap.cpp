#include "Remap.h"

#include "ColourTable.h"
#include "NearestColour.h"

#include <algorithm>

void RemapNearest(const Image& image, const std::vector<PaletteEntry>& palette, Image& retIndexed) {
    NearestColour nearest(palette, image.pixels.size() / 3);
    Allocate(retIndexed, image.width, image.height, true);
    std::copy(palette.begin(), palette.end(), retIndexed.palette.begin());
    const unsigned char* source = image.pixels.data();
    uint32_t last = 0;
    unsigned char index = 0;
    for (size_t i = 0; i < retIndexed.pixels.size(); ++i) {
        const uint32_t colour = ColourAt(source, 3 * i);
        // Neighbours often share a colour, so the last answer is kept at hand.
        if (i == 0 || colour != last)
            index = nearest.Find(int(colour >> 16), int(colour >> 8 & 255), int(colour & 255));
        last = colour;
        retIndexed.pixels[i] = index;
    }
}
