#include "platform/ui/BmpFile.h"

#include "platform/ReplaceFile.h"

QByteArray EncodeBmp24(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int width = rgb.width();
    const int height = rgb.height();
    const int stride = static_cast<int>(RowStride(width));
    QByteArray bytes = MakeBitmapFile(width, height);
    for (int y = 0; y < height; ++y) {
        const uchar* source = rgb.constScanLine(y);
        char* target = bytes.data() + kBitmapHeaderSize + (height - 1 - y) * stride;
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
    const QByteArray bytes = EncodeBmp24(image);
    return ReplaceFile(path, {bytes}, Durability::Durable);
}
