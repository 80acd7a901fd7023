#pragma once
// An image in memory and the size limit every decoder keeps to.
#include <cstddef>
#include <cstdint>
#include <vector>

using Bytes = std::vector<unsigned char>;

struct PaletteEntry {
    unsigned char red = 0, green = 0, blue = 0;
};

// Rows top-down, packed without padding: three bytes a pixel in blue, green, red order, or,
// when indexed, one palette index a pixel with a palette of 256 entries.
struct Image {
    int width = 0;
    int height = 0;
    bool indexed = false;
    std::vector<PaletteEntry> palette;
    Bytes pixels;

    int BytesPerPixel() const { return indexed ? 1 : 3; }
    unsigned char* Row(int y) { return pixels.data() + size_t(y) * width * BytesPerPixel(); }
    const unsigned char* Row(int y) const {
        return pixels.data() + size_t(y) * width * BytesPerPixel();
    }
};

// Dimensions a decoder accepts: positive, at most 65535 a side and 32 Mi pixels, far beyond a
// camera still, so that damaged headers cannot ask for huge buffers.
bool AcceptableSize(int64_t width, int64_t height);

// Sizes the pixel array for the dimensions (and an indexed image's palette to 256 entries).
void Allocate(Image& image, int width, int height, bool indexed);

// Turns an indexed image into one of three bytes a pixel by looking up its palette.
void MakeTrueColour(Image& image);
