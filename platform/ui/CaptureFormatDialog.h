#pragma once
// The driver's video format dialog: the frame sizes the device offers, with the pixel formats
// that offer each.
class CaptureStream;
class QWidget;

// Modal. True when the user chose another size and streaming restarted at it; a size the
// device then refuses is reported in a message box and answers false.
bool ShowVideoFormatDialog(QWidget* parent, CaptureStream& stream);
