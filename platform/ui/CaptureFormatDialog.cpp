#include "platform/ui/CaptureFormatDialog.h"

#include "platform/MsgBox.h"
#include "platform/ui/CaptureDialog.h"
#include "platform/ui/CaptureDriver.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Caption(const CaptureFrameSize& entry) {
    QString text = QStringLiteral("%1 × %2").arg(entry.size.width()).arg(entry.size.height());
    if (!entry.pixelFormats.isEmpty())
        text += QStringLiteral("  (%1)").arg(entry.pixelFormats.join(QStringLiteral(", ")));
    return text;
}

} // namespace

bool ShowVideoFormatDialog(QWidget* parent, CaptureStream& stream) {
    const std::vector<CaptureFrameSize> sizes = stream.FrameSizes();
    CaptureDialog dialog(parent, QStringLiteral("dlgVideoFormat"), QStringLiteral("ビデオ形式"));
    QDialog* widget = dialog.Widget();
    auto* layout = new QVBoxLayout(widget);
    layout->addWidget(new QLabel(QStringLiteral("画像サイズ:"), widget));
    auto* list = new QListWidget(widget);
    list->setObjectName(QStringLiteral("lstFrameSize"));
    for (const CaptureFrameSize& entry : sizes) {
        list->addItem(Caption(entry));
        if (entry.size == stream.Size())
            list->setCurrentRow(list->count() - 1);
    }
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, widget);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, widget, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, widget, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, widget, &QDialog::accept);
    layout->addWidget(buttons);

    // Accepted means the dialog, its capture window and the stream are all still there.
    if (dialog.Exec() != QDialog::Accepted || list->currentRow() < 0)
        return false;
    const QSize chosen = sizes[static_cast<size_t>(list->currentRow())].size;
    if (chosen == stream.Size())
        return false;
    if (!stream.SetSize(chosen)) {
        MsgBox(MsgIcon::Critical, QStringLiteral("Error"),
               QStringLiteral("この画像サイズに切り替えられませんでした: %1 × %2")
                   .arg(chosen.width())
                   .arg(chosen.height()));
        return false;
    }
    return true;
}
