#pragma once
// Reduction of a 24-bit BMP file to a given width or height, by the nearest pixel (plain) or by
// averaging a block of source pixels (smooth). Pixels are copied as 3-byte units; the header
// block of the source travels to the destination unchanged but for the new width and height.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <span>

// byWidth: size wide and round(height × (size ÷ width)) high; otherwise size high and
// round(width × (size ÷ height)) wide. Halves round to even.
void GetTargetSize(int width, int height, bool byWidth, int size, int64_t& retWidth,
                   int64_t& retHeight);

// Destination pixel (j, i) from source pixel (round(rx × j), round(ry × i)), with rx and ry the
// source-to-destination ratios as 32-bit floats. A source column past the row is not clamped;
// false when a source position lies beyond the end of source. dest must be zero-filled,
// RowStride(destWidth) × destHeight bytes.
bool ResamplePlain(const QByteArray& source, int sourceWidth, int sourceHeight, QByteArray& dest,
                   int destWidth, int destHeight);

// Destination pixel (x, y) is the rounded mean of up to round(rx × ry) + 1 source pixels of the
// block that starts at (round(rx × x), round(ry × y)), taken row by row; samples outside the
// source rows are skipped, and a pixel without samples stays 0. False when the destination is
// more than 100 times wider than the source.
bool ResampleSmooth(const QByteArray& source, int sourceWidth, int sourceHeight, QByteArray& dest,
                    int destWidth, int destHeight);

// The mean of the values as a double (0 for none).
double AverageValues(std::span<const int> values);

// File-level reductions: load sourcePath, round size (ties to even), resample into destPath.
// False on any failure; a partly written destination may remain.
bool ReduceImage(const QString& sourcePath, const QString& destPath, float size, bool byWidth);
bool ReduceImageSmooth(const QString& sourcePath, const QString& destPath, float size,
                       bool byWidth);
