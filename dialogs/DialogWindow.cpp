#include "dialogs/DialogWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringList>

void MakeFixedDialog(QDialog* dialog, const QString& title) {
    dialog->setWindowTitle(title);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog->layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void CentreOnScreen(QWidget* window) {
    if (const QScreen* screen = window->screen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

QStringList ControlNames(const QWidget* window) {
    QStringList names;
    for (const QWidget* control : window->findChildren<QWidget*>())
        if (!control->objectName().isEmpty() && !control->objectName().startsWith(u"qt_"))
            names << control->objectName();
    names.sort();
    return names;
}

int ShowModalCentred(QDialog* dialog) {
    dialog->adjustSize();
    CentreOnScreen(dialog);
    return dialog->exec();
}

namespace {

// The only shortcut a label receives is its own access key.
class FocusLabel : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::Shortcut || buddy() == nullptr)
            return QLabel::event(event);
        buddy()->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
};

QLabel* Named(QLabel* label, const char* objectName, QWidget* buddy) {
    label->setObjectName(QString::fromLatin1(objectName));
    if (buddy != nullptr)
        label->setBuddy(buddy);
    return label;
}

} // namespace

QLabel* MakeLabel(const char* objectName, const QString& text, QWidget* buddy) {
    return Named(new QLabel(text), objectName, buddy);
}

QLabel* MakeFocusLabel(const char* objectName, const QString& text, QWidget* buddy) {
    return Named(new FocusLabel(text), objectName, buddy);
}

QLineEdit* MakeTextBox(const char* objectName) {
    auto* textBox = new QLineEdit;
    textBox->setObjectName(QString::fromLatin1(objectName));
    return textBox;
}

QCheckBox* MakeCheckBox(const char* objectName, const QString& text) {
    auto* box = new QCheckBox(text);
    box->setObjectName(QString::fromLatin1(objectName));
    return box;
}

QPushButton* MakeButton(const char* objectName, const QString& text) {
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromLatin1(objectName));
    return button;
}

QFrame* MakeLine(const char* objectName) {
    auto* line = new QFrame;
    line->setObjectName(QString::fromLatin1(objectName));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QHBoxLayout* MakeButtonRow(QDialog* dialog, QPushButton* okButton, QPushButton* cancelButton) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    okButton->setDefault(true);
    row->addWidget(okButton);
    if (cancelButton != nullptr) {
        QObject::connect(cancelButton, &QPushButton::clicked, dialog, &QDialog::reject);
        row->addWidget(cancelButton);
    }
    return row;
}

QComboBox* MakeDropDownList(const char* objectName) {
    auto* list = new QComboBox;
    list->setObjectName(QString::fromLatin1(objectName));
    return list;
}
