#include "platform/ui/PictureBox.h"

#include "platform/Screen.h"
#include "platform/ui/BmpFile.h"

#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::SetPicture(const QImage& image) {
    picture = image;
    if (autoSize && !picture.isNull())
        resize(picture.size());
    update();
}

bool PictureBox::SavePicture(const QString& path) const {
    return WriteBmp24File(picture, path);
}

double PictureBox::ScaleWidthTwips() const {
    return width() * GetScreenMetrics().twipsPerPixelX;
}

double PictureBox::ScaleHeightTwips() const {
    return height() * GetScreenMetrics().twipsPerPixelY;
}

void PictureBox::paintEvent(QPaintEvent*) {
    if (picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, picture);
}
