#pragma once
// The still file layout: a 14-byte file header and a 40-byte info header (pixels at offset
// 54, no colour table), 24 bits per pixel in blue-green-red order, rows bottom-up and padded
// to four bytes.
#include <QImage>
#include <QString>

constexpr int BmpHeaderSize = 54;

// Bytes of one stored row of width 24-bit pixels.
int BmpRowStride24(int width);

// The whole file for image.
QByteArray EncodeBmp24(const QImage& image);

// Writes the file in full or not at all (a failed write leaves any old file as it was);
// false for a null image or a write error.
bool WriteBmp24File(const QImage& image, const QString& path);
