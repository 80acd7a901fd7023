#include "Image.h"

bool AcceptableSize(int64_t width, int64_t height) {
    constexpr int64_t kMaxSide = 65535;
    constexpr int64_t kMaxPixels = int64_t{1} << 25;
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           width * height <= kMaxPixels;
}

void Allocate(Image& image, int width, int height, bool indexed) {
    image.width = width;
    image.height = height;
    image.indexed = indexed;
    image.palette.assign(indexed ? 256 : 0, PaletteEntry{});
    image.pixels.assign(size_t(width) * height * (indexed ? 1 : 3), 0);
}

void MakeTrueColour(Image& image) {
    if (!image.indexed)
        return;
    Bytes colours(image.pixels.size() * 3);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const PaletteEntry& colour = image.palette[image.pixels[i]];
        colours[3 * i] = colour.blue;
        colours[3 * i + 1] = colour.green;
        colours[3 * i + 2] = colour.red;
    }
    image.pixels = std::move(colours);
    image.palette.clear();
    image.indexed = false;
}
