#pragma once
// The live camera picture and the stills: the capture drivers, the capture window inside a
// host picture box, and the current frame written as a 24-bit BMP file.
#include "platform/ui/CaptureTypes.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>

class PictureBox;

// The installed capture drivers, each entry its description, NUL and its version; answers
// their number. Each index names its camera from then on, whatever is plugged in or out.
int GetCaptureDrivers(QStringList& retDrivers);

// Opens driverIndex in a capture window inside host with a live preview; true when the
// preview runs. Remembers driverIndex as the selected driver; a window still open from
// before is closed first.
bool CreateCapture(int driverIndex, PictureBox* host, int framesPerSecond);

// Disconnects the driver and closes the capture window.
void DestroyCapture();

// The capture window (0 when there is none), for the driver dialogs of the main window.
HWND CaptureWindowHandle();

// Centres the video image in host; the video may be larger, and is then cropped on all sides.
void CenterCapture(PictureBox* host);

// The current video format's width and height; false without a connected driver.
bool GetVideoSize(int& retWidth, int& retHeight);

// What watches the live picture: Frame gets every frame the preview reads, whether the
// window is shown or not; Restarted is told when the stream starts anew (a driver connected,
// another video format chosen, a camera plugged in again), as its picture may then jump for
// reasons of the camera's own. Either may be empty.
struct PreviewWatcher {
    std::function<void(const QImage& frame)> Frame;
    std::function<void()> Restarted;
};
// Installs watcher for the capture windows of now and later (an empty one: none); answers the
// one it replaces.
PreviewWatcher SetPreviewWatcher(PreviewWatcher watcher);

// Writes the current frame to path, using stillHost as its scratch surface. Whatever file
// was at path goes first, so that a failed still never leaves an old one behind. A camera
// that was unplugged and is back is opened again first, with a line in the log.
void CaptureToFile(const QString& path, PictureBox* stillHost);

// The part of text before its first NUL.
QString TrimNull(const QString& text);
