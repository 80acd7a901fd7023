#include "platform/ui/CaptureClipboard.h"

namespace {
QImage& Bitmap() {
    static QImage bitmap;
    return bitmap;
}
} // namespace

void SetClipboardBitmap(const QImage& image) {
    Bitmap() = image;
}

bool IsClipboardFormatAvailable(UINT format) {
    return format == CF_BITMAP && !Bitmap().isNull();
}

QImage GetClipboardBitmap() {
    return Bitmap();
}

void EmptyClipboard() {
    Bitmap() = QImage();
}
