#pragma once
// A capture driver as the capture window sees it: a description and a version to list, and a
// stream it opens on connect. V4L2 devices and the test driver implement it.
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// One frame size the device offers, with the pixel formats that offer it ("YUYV", "MJPG").
struct CaptureFrameSize {
    QSize size;
    QStringList pixelFormats;
};

enum class CaptureControlKind { Integer, Boolean, Menu };

// One adjustable control of the source (brightness, contrast, …).
struct CaptureControl {
    std::uint32_t id = 0;
    QString name;
    CaptureControlKind kind = CaptureControlKind::Integer;
    int minimum = 0;
    int maximum = 0;
    int step = 1;
    int value = 0;
    QStringList menuItems; // Menu: the caption of each value from minimum to maximum
};

// A connected driver that streams frames in RGB888.
class CaptureStream {
  public:
    virtual ~CaptureStream() = default;

    // The streaming size.
    virtual QSize Size() const = 0;
    // The newest frame, waiting at most waitMs (on the steady clock) for the first one; false
    // when none came or the device is gone (then every later call is false too: a lost stream
    // stays lost, and only opening the driver again reaches the device).
    virtual bool ReadFrame(int waitMs, QImage& retFrame) = 0;
    virtual bool Lost() const = 0;

    virtual std::vector<CaptureFrameSize> FrameSizes() const = 0;
    // Restarts streaming at size; false (streaming as before where possible) on failure.
    virtual bool SetSize(const QSize& size) = 0;

    virtual std::vector<CaptureControl> Controls() const = 0;
    virtual bool SetControl(std::uint32_t id, int value) = 0;
};

class CaptureDriver {
  public:
    virtual ~CaptureDriver() = default;

    // Texts in the system code page, as capGetDriverDescriptionA reports them.
    virtual QByteArray Description() const = 0;
    virtual QByteArray Version() const = 0;
    // Opens the device and starts streaming; nullptr when it cannot.
    virtual std::unique_ptr<CaptureStream> Open() = 0;
};
