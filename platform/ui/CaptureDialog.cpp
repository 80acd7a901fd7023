#include "platform/ui/CaptureDialog.h"

CaptureDialog::CaptureDialog(QWidget* captureWindow, const QString& name, const QString& title)
    : dialog(new QDialog(captureWindow)) {
    dialog->setObjectName(name);
    dialog->setWindowTitle(title);
}

CaptureDialog::~CaptureDialog() {
    delete dialog.data();
}

int CaptureDialog::Exec() {
    // QDialog::exec answers Rejected when the dialog is deleted while it runs.
    return dialog ? dialog->exec() : QDialog::Rejected;
}

void CloseCaptureDialogs(QWidget* captureWindow) {
    // Deleting a dialog ends its event loop; its exec then answers Rejected.
    for (QDialog* open : captureWindow->findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
        delete open;
}
