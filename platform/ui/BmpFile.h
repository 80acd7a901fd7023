#pragma once
// The still as a file of the program's 24-bit BMP layout (platform/BitmapLayout.h).
#include "platform/BitmapLayout.h"

#include <QImage>
#include <QString>

// The whole file for image.
QByteArray EncodeBmp24(const QImage& image);

// Writes the file in full or not at all (a failed write leaves any old file as it was, and
// only a regular file is replaced);
// false for a null image or a write error.
bool WriteBmp24File(const QImage& image, const QString& path);
