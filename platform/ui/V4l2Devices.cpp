#include "platform/ui/V4l2Devices.h"

#include "platform/CodePage.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/V4l2Io.h"
#include "platform/ui/V4l2Stream.h"

#include <fcntl.h>
#include <linux/videodev2.h>

namespace {

class V4l2Driver : public CaptureDriver {
  public:
    V4l2Driver(QByteArray path, QByteArray description, QByteArray version)
        : path(std::move(path)), description(std::move(description)), version(std::move(version)) {}

    QByteArray Description() const override { return description; }
    QByteArray Version() const override { return version; }
    std::unique_ptr<CaptureStream> Open() override { return OpenV4l2Stream(path); }

  private:
    QByteArray path;
    QByteArray description;
    QByteArray version;
};

QByteArray CardName(const v4l2_capability& caps) {
    const auto* card = reinterpret_cast<const char*>(caps.card);
    return ToCodePage932(
        QString::fromUtf8(card, static_cast<qsizetype>(qstrnlen(card, sizeof(caps.card)))));
}

QByteArray VersionText(std::uint32_t version) {
    return QByteArray::number((version >> 16) & 0xFF) + '.' +
           QByteArray::number((version >> 8) & 0xFF) + '.' + QByteArray::number(version & 0xFF);
}

} // namespace

std::vector<std::shared_ptr<CaptureDriver>> V4l2CaptureDrivers() {
    const V4l2Io& io = CurrentV4l2Io();
    std::vector<std::shared_ptr<CaptureDriver>> drivers;
    for (int node = 0; node < MaxCaptureDrivers; ++node) {
        const QByteArray path = "/dev/video" + QByteArray::number(node);
        const int fd = io.open(path.constData(), O_RDWR | O_NONBLOCK);
        if (fd < 0)
            continue;
        v4l2_capability caps{};
        if (V4l2Ioctl(fd, VIDIOC_QUERYCAP, &caps) == 0) {
            const std::uint32_t offered =
                (caps.capabilities & V4L2_CAP_DEVICE_CAPS) ? caps.device_caps : caps.capabilities;
            if ((offered & V4L2_CAP_VIDEO_CAPTURE) && (offered & V4L2_CAP_STREAMING))
                drivers.push_back(
                    std::make_shared<V4l2Driver>(path, CardName(caps), VersionText(caps.version)));
        }
        io.close(fd);
    }
    return drivers;
}
