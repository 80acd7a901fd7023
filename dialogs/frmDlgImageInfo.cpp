#include "dialogs/frmDlgImageInfo.h"

#include "platform/Rounding.h"
#include "platform/Screen.h"
#include "platform/ui/PictureBox.h"

#include <QLabel>
#include <QResizeEvent>
#include <algorithm>

namespace {

// The layout in twips, the unit the window was designed in.
constexpr double BandHeight = 1320, LabelMargin = 120, LabelWidth = 5055, LabelHeight = 975;
constexpr double InnerWidth = 5235, InnerHeight = 4260;

int PixelsX(double twips) {
    return static_cast<int>(RoundHalfEven(twips / GetScreenMetrics().twipsPerPixelX));
}

int PixelsY(double twips) {
    return static_cast<int>(RoundHalfEven(twips / GetScreenMetrics().twipsPerPixelY));
}

} // namespace

frmDlgImageInfo::frmDlgImageInfo(QWidget* parent)
    : QDialog(parent), Label1(new QLabel(this)), Picture1(new PictureBox(this)) {
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    resize(PixelsX(InnerWidth), PixelsY(InnerHeight));
}

void frmDlgImageInfo::SetInfo(const QString& text, const QImage& picture) {
    Label1->setText(text);
    // The design place, grown where this screen's font needs more room for the five lines.
    const QSize needed = Label1->sizeHint();
    Label1->setGeometry(PixelsX(LabelMargin), PixelsY(LabelMargin),
                        std::max(PixelsX(LabelWidth), needed.width()),
                        std::max(PixelsY(LabelHeight), needed.height()));
    // Wide enough at first for the whole text.
    resize(std::max(width(), Label1->geometry().right() + 1 + PixelsX(LabelMargin)), height());
    Picture1->SetPicture(picture);
    Form_Resize();
}

void frmDlgImageInfo::resizeEvent(QResizeEvent*) {
    Form_Resize();
}

void frmDlgImageInfo::Form_Resize() {
    const int top = std::max(PixelsY(BandHeight), Label1->geometry().bottom() + 1);
    Picture1->setGeometry(0, top, width(), std::max(0, height() - top));
}
