#pragma once
// The driver's video format dialog: the frame sizes the device offers, with the pixel formats
// that offer each.
class CaptureStream;
class QWidget;

// Modal. True when the user chose another size and streaming restarted at it; a size the
// device then refuses is reported in a message box and answers false, and so does a dialog
// closed with its capture window (nothing of the window or the stream is touched then).
bool ShowVideoFormatDialog(QWidget* parent, CaptureStream& stream);
