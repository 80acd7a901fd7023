#pragma once
// 24-bit bottom-up BMP files for the image tests, with a pattern that tells pixels apart.
#include <QByteArray>
#include <QString>
#include <array>

using Pixel = std::array<unsigned char, 3>;

// The sample's pixel at column x of stored row y: blue x, green y, red a mix of both.
Pixel SamplePixel(int x, int y);

// A file with a 40-byte info header, the sample pattern and zero pad bytes. extraBytes are
// added to (or, negative, taken from) the end of the pixel data.
QByteArray MakeBitmap(int width, int height, int extraBytes = 0);

// The pixel at column x of stored row y of a BMP file's pixel data.
Pixel PixelOf(const QByteArray& file, int width, int x, int y);

QByteArray ReadWholeFile(const QString& path);
void WriteWholeFile(const QString& path, const QByteArray& bytes);
