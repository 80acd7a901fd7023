#pragma once
// The one 24-bit BMP layout of the program, shared by the picture box that writes the still
// and the image steps that read and write it: a 14-byte file header and a 40-byte info
// header (pixels at offset 54, no colour table), 3 bytes a pixel in blue-green-red order, rows
// bottom-up and padded to a multiple of 4 bytes.
#include <QByteArray>
#include <cstdint>

constexpr int kBitmapHeaderSize = 54;
constexpr int kBitmapInfoHeaderSize = 40;
// Byte offsets of the little-endian fields the program reads or writes.
constexpr int kBitmapFileSizeOffset = 2;
constexpr int kBitmapPixelOffsetOffset = 10;
constexpr int kBitmapInfoSizeOffset = 14;
constexpr int kBitmapWidthOffset = 18;
constexpr int kBitmapHeightOffset = 22;
constexpr int kBitmapPlanesOffset = 26;
constexpr int kBitmapBitCountOffset = 28;
constexpr int kBitmapImageSizeOffset = 34;

// Bytes of one pixel row: 3 × width rounded up to a multiple of 4, that is 3 × width +
// (width mod 4).
constexpr int64_t RowStride(int64_t width) {
    return 3 * width + width % 4;
}

// A whole file of this layout, pixels zero: the header filled in for width × height (a
// negative height, which the image steps refuse, still gets its |height| rows).
QByteArray MakeBitmapFile(int width, int height);
