#pragma once
// The driver's video source dialog: the device's controls (brightness, contrast, …), each
// change applied at once so that the preview shows its effect.
class CaptureStream;
class QWidget;

// Modal; true once it has been shown and closed.
bool ShowVideoSourceDialog(QWidget* parent, CaptureStream& stream);
