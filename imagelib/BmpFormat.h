#pragma once
// BMP files: Windows bitmaps with an info header of 40 bytes or more, uncompressed.
#include "Image.h"

// Reads 8-bit (palette), 24-bit and 32-bit images, bottom-up or top-down; false for anything
// else, or when the pixel data the header promises is not all there.
bool DecodeBmp(const Bytes& file, Image& retImage);

// A bottom-up BMP with a 40-byte info header: 8 bits and a 256-entry palette for an indexed
// image, 24 bits otherwise.
void EncodeBmp(const Image& image, Bytes& retFile);
