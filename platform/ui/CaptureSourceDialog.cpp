#include "platform/ui/CaptureSourceDialog.h"

#include "platform/ui/CaptureDialog.h"
#include "platform/ui/CaptureDriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// The editor of one control; every change goes to the device at once.
QWidget* ControlEditor(const CaptureControl& control, CaptureStream& stream, QWidget* parent) {
    const std::uint32_t id = control.id;
    QWidget* editor = nullptr;
    switch (control.kind) {
    case CaptureControlKind::Boolean: {
        auto* box = new QCheckBox(parent);
        box->setChecked(control.value != 0);
        QObject::connect(box, &QCheckBox::toggled, parent,
                         [&stream, id](bool on) { stream.SetControl(id, on ? 1 : 0); });
        editor = box;
        break;
    }
    case CaptureControlKind::Menu: {
        auto* combo = new QComboBox(parent);
        combo->addItems(control.menuItems);
        combo->setCurrentIndex(control.value - control.minimum);
        const int minimum = control.minimum;
        QObject::connect(combo, &QComboBox::currentIndexChanged, parent,
                         [&stream, id, minimum](int row) { stream.SetControl(id, minimum + row); });
        editor = combo;
        break;
    }
    case CaptureControlKind::Integer: {
        auto* row = new QWidget(parent);
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* bar = new QScrollBar(Qt::Horizontal, row);
        bar->setRange(control.minimum, control.maximum);
        bar->setSingleStep(std::max(1, control.step));
        bar->setPageStep(std::max(1, control.step));
        bar->setValue(control.value);
        bar->setMinimumWidth(200);
        bar->setObjectName(QStringLiteral("hsbControl%1").arg(id));
        auto* number = new QLabel(QString::number(control.value), row);
        number->setMinimumWidth(number->fontMetrics().horizontalAdvance(QStringLiteral("-00000")));
        QObject::connect(bar, &QScrollBar::valueChanged, row, [&stream, id, number](int value) {
            number->setText(QString::number(value));
            stream.SetControl(id, value);
        });
        layout->addWidget(bar);
        layout->addWidget(number);
        return row;
    }
    }
    editor->setObjectName(QStringLiteral("ctlControl%1").arg(id));
    return editor;
}

} // namespace

bool ShowVideoSourceDialog(QWidget* parent, CaptureStream& stream) {
    CaptureDialog dialog(parent, QStringLiteral("dlgVideoSource"), QStringLiteral("ビデオソース"));
    QDialog* widget = dialog.Widget();
    auto* layout = new QVBoxLayout(widget);
    auto* form = new QFormLayout;
    const std::vector<CaptureControl> controls = stream.Controls();
    for (const CaptureControl& control : controls)
        form->addRow(control.name, ControlEditor(control, stream, widget));
    if (controls.empty())
        layout->addWidget(new QLabel(QStringLiteral("調整できる項目はありません。"), widget));
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, widget);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("cmdClose"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, widget, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.Exec();
    return !dialog.Gone();
}
