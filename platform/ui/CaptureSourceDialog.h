#pragma once
// The driver's video source dialog: the device's controls (brightness, contrast, …), each
// change applied at once so that the preview shows its effect.
class CaptureStream;
class QWidget;

// Modal; true once it has been shown and closed by the user, false when it was closed with
// its capture window. Its controls hold stream, which the window keeps while the dialog is open.
bool ShowVideoSourceDialog(QWidget* parent, CaptureStream& stream);
