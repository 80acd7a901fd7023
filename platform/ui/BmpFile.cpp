#include "platform/ui/BmpFile.h"

#include <QSaveFile>
#include <QtEndian>

namespace {

void Put16(QByteArray& bytes, int offset, quint16 value) {
    qToLittleEndian(value, bytes.data() + offset);
}

void Put32(QByteArray& bytes, int offset, quint32 value) {
    qToLittleEndian(value, bytes.data() + offset);
}

} // namespace

int BmpRowStride24(int width) {
    return (width * 3 + 3) / 4 * 4;
}

QByteArray EncodeBmp24(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int width = rgb.width();
    const int height = rgb.height();
    const int stride = BmpRowStride24(width);
    const quint32 imageSize = static_cast<quint32>(stride) * static_cast<quint32>(height);
    QByteArray bytes(BmpHeaderSize + static_cast<qsizetype>(imageSize), '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 2, BmpHeaderSize + imageSize);
    Put32(bytes, 10, BmpHeaderSize);
    Put32(bytes, 14, 40);
    Put32(bytes, 18, static_cast<quint32>(width));
    Put32(bytes, 22, static_cast<quint32>(height));
    Put16(bytes, 26, 1);
    Put16(bytes, 28, 24);
    Put32(bytes, 34, imageSize);
    for (int y = 0; y < height; ++y) {
        const uchar* source = rgb.constScanLine(y);
        char* target = bytes.data() + BmpHeaderSize + (height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            target[3 * x] = static_cast<char>(source[3 * x + 2]);
            target[3 * x + 1] = static_cast<char>(source[3 * x + 1]);
            target[3 * x + 2] = static_cast<char>(source[3 * x]);
        }
    }
    return bytes;
}

bool WriteBmp24File(const QImage& image, const QString& path) {
    if (image.isNull())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(EncodeBmp24(image));
    return file.commit();
}
