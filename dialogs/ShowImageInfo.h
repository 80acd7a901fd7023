#pragma once
// What a reply made with a response setting would carry: the current camera frame through the
// whole reply pipeline, decoded back and shown with its format, file size and pixel size.
// Nothing is sent and no setting is stored.
#include "settings/CResAccount.h"

#include <QString>

class QWidget;

// Captures the current frame into temp/, composes a reply with setting and shows the image
// info window (frmDlgImageInfo) modally over parent; temp/ is emptied before it opens. A
// failed composition shows the composer's text in an error box; a failed decoding or an
// unreadable output ends silently, leaving the files in temp/.
void ShowImageInfo(const CResAccount& setting, QWidget* parent = nullptr);

// bytes in the pattern "0,000": at least four digits, grouped in threes with the locale's
// group separator (512 gives 0,512; 1234567 gives 1,234,567).
QString FormatByteCount(qint64 bytes);

// The five lines of the window's text, joined by CR LF.
QString ImageInfoText(int formatType, qint64 fileSize, int width, int height);
