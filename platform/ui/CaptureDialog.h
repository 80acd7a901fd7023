#pragma once
// The frame of the driver dialogs. A driver dialog is a child of its capture window, made on
// the heap, and lives no longer than the stream its controls write to: the window closes it
// before that stream goes (a disconnect, a reconnect, the window's own end). That may happen
// inside the dialog's own event loop, when the main window rebuilds the capture window.
#include <QDialog>
#include <QPointer>

class CaptureDialog {
  public:
    CaptureDialog(QWidget* captureWindow, const QString& name, const QString& title);
    ~CaptureDialog();
    CaptureDialog(const CaptureDialog&) = delete;
    CaptureDialog& operator=(const CaptureDialog&) = delete;

    // The dialog, to build its controls on; nullptr once it is gone.
    QDialog* Widget() const { return dialog; }
    // Runs it modally and answers its result: Rejected when it was closed with its window.
    int Exec();
    // True once the dialog was closed with its window.
    bool Gone() const { return dialog.isNull(); }

  private:
    QPointer<QDialog> dialog;
};

// Closes the driver dialogs open on captureWindow at once.
void CloseCaptureDialogs(QWidget* captureWindow);
