#pragma once
// The live camera picture and the stills: the capture drivers, the capture window inside a
// host picture box, and the current frame written as a 24-bit BMP file.
#include <QString>
#include <QStringList>

class PictureBox;

// The installed capture drivers, each entry its description, NUL and its version; answers
// their number.
int GetCaptureDrivers(QStringList& retDrivers);

// Opens driverIndex in a capture window inside host with a live preview; true when the
// preview runs.
bool CreateCapture(int driverIndex, PictureBox* host, int framesPerSecond);

// Disconnects the driver and closes the capture window.
void DestroyCapture();

// Centres the video image in host.
void CenterCapture(PictureBox* host);

// Writes the current frame to path, using stillHost as its scratch surface.
void CaptureToFile(const QString& path, PictureBox* stillHost);

// The part of text before its first NUL.
QString TrimNull(const QString& text);
