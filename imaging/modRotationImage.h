#pragma once
// Quarter turns of a 24-bit BMP file. RotationType: 0 none, 1 a quarter turn clockwise, 2 a half
// turn, 3 a quarter turn counter-clockwise (for the picture of a bottom-up file).
#include <QByteArray>
#include <QString>

// The destination size: width and height swap for types 1 and 3.
void RotatedSize(int width, int height, int rotationType, int& retWidth, int& retHeight);

// Copies each 3-byte pixel of source (width × height) to its turned place in dest, which must
// be zero-filled, RowStride(destWidth) × destHeight bytes. False for an unknown type.
bool RotatePixels(const QByteArray& source, int width, int height, int rotationType,
                  QByteArray& dest);

// Loads sourcePath, turns it and saves destPath with the source's header block and the turned
// width and height. False on any failure.
bool RotateImage(const QString& sourcePath, const QString& destPath, int rotationType);
