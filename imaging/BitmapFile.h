#pragma once
// 24-bit BMP files as the image steps see them: a 54-byte header block that travels unchanged
// but for the width and height, and the pixel rows after it, bottom-up, 3 bytes a pixel.
#include "platform/BitmapLayout.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>

// The byte count of a zero-filled pixel array of that size; false when it would be empty or
// negative or not fit a 32-bit count.
bool PixelArraySize(int64_t width, int64_t height, int64_t& retSize);

// A BMP file read by LoadBitmapFile. The pixel array is mapped from the file while the object
// lives rather than copied: a still is megabytes, and a reduction reads few of its rows.
struct LoadedBitmap {
    int Width = 0;
    int Height = 0;
    QByteArray Header;
    QByteArray Pixels;

  private:
    friend bool LoadBitmapFile(const QString& path, LoadedBitmap& retBitmap);
    QFile file;
};

// Splits the BMP file at path into width (bytes 18-21), height (22-25), header block (the first
// 54 bytes) and pixel array (the rest). False for a file of fewer than 55 bytes, an info header
// other than 40 bytes of 24-bit pixels, a width or height not above 0 (top-down files among
// them), or fewer pixel bytes than RowStride(width) × height.
bool LoadBitmapFile(const QString& path, LoadedBitmap& retBitmap);

// Puts width and height into bytes 18-25 of the header block (every other byte stays as it
// came) and writes header and pixels to path from its first byte.
bool SaveBitmapFile(const QString& path, QByteArray header, const QByteArray& pixels, int width,
                    int height);
