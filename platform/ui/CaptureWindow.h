#pragma once
// The capture window: a child window that connects to a capture driver, shows its live
// preview and answers the WM_CAP_ messages (see WindowProc).
#include "platform/ui/CaptureDriver.h"
#include "platform/ui/WindowHandles.h"

#include <QImage>
#include <QWidget>
#include <memory>

class QTimer;

// Creates a capture window named lpszWindowName at (x, y) with the given size; with WS_CHILD
// inside hwndParent, shown with WS_VISIBLE. 0 when a child has no live parent.
HWND capCreateCaptureWindowA(const char* lpszWindowName, DWORD dwStyle, int x, int y, int nWidth,
                             int nHeight, HWND hwndParent, int nID);

class CaptureWindow : public QWidget, public MessageTarget {
    Q_OBJECT
  public:
    explicit CaptureWindow(QWidget* parent);
    ~CaptureWindow() override;

    // The WM_CAP_ messages; any other message answers 0.
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Opens driver index (closing the one before); true when it streams.
    bool DriverConnect(int index);
    // Stops the preview and closes the driver; true when one was connected.
    bool DriverDisconnect();
    // Puts the newest frame on the layer's clipboard, waiting at most 2 s on the steady clock
    // for one; a device that was lost (unplugged) is opened again first. False without a
    // streaming driver or a frame.
    bool EditCopy();
    bool SetPreview(bool on);
    bool SetPreviewRate(int milliseconds);
    bool SetScale(bool on);
    // The driver's dialogs; the format dialog is true when another size was chosen. The
    // window may be destroyed while one is open: the dialog closes with it, answering false.
    bool VideoFormatDialog();
    bool VideoSourceDialog();
    // Fills the video format header and the status record from the streaming size.
    bool VideoFormat(BITMAPINFOHEADER& retFormat) const;
    bool Status(CAPSTATUS& retStatus) const;

    bool Connected() const { return stream != nullptr; }
    bool Previewing() const;
    int PreviewRate() const;
    bool Scaled() const { return scale; }

  signals:
    // EditCopy found the device lost and opened it again.
    void DeviceReopened();
    // The preview read frame, whether the window is shown or not.
    void FrameRead(const QImage& frame);
    // The stream goes on at another video format, or on a device opened again: its picture
    // may differ from the one before for reasons of the camera's own.
    void StreamRestarted();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void PreviewTick();
    bool Streaming() const { return stream && !stream->Lost(); }
    bool Reopen();

    std::shared_ptr<CaptureDriver> driver; // the connected one
    std::unique_ptr<CaptureStream> stream;
    QTimer* previewTimer;
    bool previewOn = false; // as last set; a lost device stops the timer, not this
    QImage frame;           // the frame on show
    bool scale = false;
    DWORD framesShown = 0;
};
