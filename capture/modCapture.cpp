#include "capture/modCapture.h"

// No capture driver is reached yet: the list is empty and no window opens.
int GetCaptureDrivers(QStringList& retDrivers) {
    retDrivers.clear();
    return 0;
}

bool CreateCapture(int, PictureBox*, int) { return false; }

void DestroyCapture() {}

void CenterCapture(PictureBox*) {}

void CaptureToFile(const QString&, PictureBox*) {}

QString TrimNull(const QString& text) { return text.left(text.indexOf(QChar(u'\0'))); }
