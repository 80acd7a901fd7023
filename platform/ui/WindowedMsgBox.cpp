#include "platform/ui/WindowedMsgBox.h"

#include "platform/MsgBox.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon ToQt(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The buttons in the order the box shows them.
QList<QMessageBox::StandardButton> ToQt(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::OKCancel:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case MsgButtons::YesNo:
        return {QMessageBox::Yes, QMessageBox::No};
    case MsgButtons::YesNoCancel:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case MsgButtons::OK:
        break;
    }
    return {QMessageBox::Ok};
}

MsgAnswer Show(const MsgBoxRequest& request) {
    const QList<QMessageBox::StandardButton> buttons = ToQt(request.buttons);
    QMessageBox::StandardButtons shown;
    for (QMessageBox::StandardButton button : buttons)
        shown |= button;
    QMessageBox box(ToQt(request.icon), request.title, request.text, shown,
                    QApplication::activeWindow());
    // The texts are plain, with CR LF line ends, and some quote a server or a file name.
    box.setTextFormat(Qt::PlainText);
    const auto chosen = static_cast<qsizetype>(request.defaultButton);
    box.setDefaultButton(buttons[chosen < buttons.size() ? chosen : 0]);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MsgAnswer::OK;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return MsgAnswer::Cancel;
    }
}

} // namespace

void InstallWindowedMsgBox() {
    SetMsgBoxHandler(Show);
}
