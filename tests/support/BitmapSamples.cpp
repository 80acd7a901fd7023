#include "tests/support/BitmapSamples.h"

#include "platform/BitmapLayout.h"

#include <QFile>

Pixel SamplePixel(int x, int y) {
    return {static_cast<unsigned char>(x), static_cast<unsigned char>(y),
            static_cast<unsigned char>(x * 7 + y * 13)};
}

QByteArray MakeBitmap(int width, int height, int extraBytes) {
    const int stride = static_cast<int>(RowStride(width));
    QByteArray file = MakeBitmapFile(width, height);
    auto* bytes = reinterpret_cast<uchar*>(file.data());
    for (int y = 0; y < (height < 0 ? -height : height); ++y)
        for (int x = 0; x < width; ++x) {
            const Pixel pixel = SamplePixel(x, y);
            std::copy(pixel.begin(), pixel.end(), bytes + kBitmapHeaderSize + y * stride + 3 * x);
        }
    if (extraBytes < 0)
        file.chop(-extraBytes);
    else
        file.append(extraBytes, '\0');
    return file;
}

Pixel PixelOf(const QByteArray& file, int width, int x, int y) {
    const int at = kBitmapHeaderSize + y * static_cast<int>(RowStride(width)) + 3 * x;
    return {static_cast<unsigned char>(file[at]), static_cast<unsigned char>(file[at + 1]),
            static_cast<unsigned char>(file[at + 2])};
}

QByteArray ReadWholeFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteWholeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}
