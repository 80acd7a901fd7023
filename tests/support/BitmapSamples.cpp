#include "tests/support/BitmapSamples.h"

#include <QFile>
#include <QtEndian>

namespace {
int Stride(int width) {
    return (3 * width + 3) / 4 * 4;
}
} // namespace

Pixel SamplePixel(int x, int y) {
    return {static_cast<unsigned char>(x), static_cast<unsigned char>(y),
            static_cast<unsigned char>(x * 7 + y * 13)};
}

QByteArray MakeBitmap(int width, int height, int extraBytes) {
    const int stride = Stride(width);
    const int pixelBytes = stride * (height < 0 ? -height : height);
    QByteArray file(54 + pixelBytes, '\0');
    auto* bytes = reinterpret_cast<uchar*>(file.data());
    bytes[0] = 'B';
    bytes[1] = 'M';
    qToLittleEndian<quint32>(quint32(file.size()), bytes + 2);
    qToLittleEndian<quint32>(54, bytes + 10);
    qToLittleEndian<quint32>(40, bytes + 14);
    qToLittleEndian<qint32>(width, bytes + 18);
    qToLittleEndian<qint32>(height, bytes + 22);
    qToLittleEndian<quint16>(1, bytes + 26);
    qToLittleEndian<quint16>(24, bytes + 28);
    qToLittleEndian<quint32>(quint32(pixelBytes), bytes + 34);
    for (int y = 0; y < (height < 0 ? -height : height); ++y)
        for (int x = 0; x < width; ++x) {
            const Pixel pixel = SamplePixel(x, y);
            std::copy(pixel.begin(), pixel.end(), bytes + 54 + y * stride + 3 * x);
        }
    if (extraBytes < 0)
        file.chop(-extraBytes);
    else
        file.append(extraBytes, '\0');
    return file;
}

Pixel PixelOf(const QByteArray& file, int width, int x, int y) {
    const int at = 54 + y * Stride(width) + 3 * x;
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
