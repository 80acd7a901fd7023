#include "platform/ui/V4l2Devices.h"

#include "platform/CodePage.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/V4l2Io.h"
#include "platform/ui/V4l2Stream.h"

#include <fcntl.h>
#include <linux/videodev2.h>

namespace {

QByteArray NodePath(int node) {
    return "/dev/video" + QByteArray::number(node);
}

// A NUL-padded text field of the capability record.
template <std::size_t Size> QByteArray Field(const __u8 (&field)[Size]) {
    const auto* text = reinterpret_cast<const char*>(field);
    return QByteArray(text, static_cast<qsizetype>(qstrnlen(text, Size)));
}

QByteArray VersionText(std::uint32_t version) {
    return QByteArray::number((version >> 16) & 0xFF) + '.' +
           QByteArray::number((version >> 8) & 0xFF) + '.' + QByteArray::number(version & 0xFF);
}

// The capabilities of the node at path; false when it is missing, cannot be opened or does
// not stream video capture.
bool QueryCaptureNode(const QByteArray& path, v4l2_capability& retCaps) {
    const V4l2Io& io = CurrentV4l2Io();
    const int fd = io.open(path.constData(), O_RDWR | O_NONBLOCK);
    if (fd < 0)
        return false;
    retCaps = v4l2_capability{};
    bool capture = false;
    if (V4l2Ioctl(fd, VIDIOC_QUERYCAP, &retCaps) == 0) {
        const std::uint32_t offered = (retCaps.capabilities & V4L2_CAP_DEVICE_CAPS)
                                          ? retCaps.device_caps
                                          : retCaps.capabilities;
        capture = (offered & V4L2_CAP_VIDEO_CAPTURE) && (offered & V4L2_CAP_STREAMING);
    }
    io.close(fd);
    return capture;
}

// What tells one camera from another across unplugging: its card name and the port it is on.
struct Identity {
    QByteArray card;
    QByteArray bus;
    bool operator==(const Identity&) const = default;
};

Identity IdentityOf(const v4l2_capability& caps) {
    return {Field(caps.card), Field(caps.bus_info)};
}

class V4l2Driver : public CaptureDriver {
  public:
    V4l2Driver(QByteArray path, const v4l2_capability& caps)
        : path(std::move(path)), identity(IdentityOf(caps)),
          description(ToCodePage932(QString::fromUtf8(Field(caps.card)))),
          version(VersionText(caps.version)) {}

    QByteArray Description() const override { return description; }
    QByteArray Version() const override { return version; }

    // The camera's own node first, then every other node.
    std::unique_ptr<CaptureStream> Open() override {
        if (Holds(path))
            return OpenV4l2Stream(path);
        for (int node = 0; node < MaxCaptureDrivers; ++node) {
            const QByteArray candidate = NodePath(node);
            if (candidate != path && Holds(candidate)) {
                path = candidate;
                return OpenV4l2Stream(path);
            }
        }
        return nullptr;
    }

  private:
    bool Holds(const QByteArray& node) const {
        v4l2_capability caps;
        return QueryCaptureNode(node, caps) && IdentityOf(caps) == identity;
    }

    QByteArray path;
    Identity identity;
    QByteArray description;
    QByteArray version;
};

} // namespace

std::vector<std::shared_ptr<CaptureDriver>> V4l2CaptureDrivers() {
    std::vector<std::shared_ptr<CaptureDriver>> drivers;
    for (int node = 0; node < MaxCaptureDrivers; ++node) {
        v4l2_capability caps;
        if (QueryCaptureNode(NodePath(node), caps))
            drivers.push_back(std::make_shared<V4l2Driver>(NodePath(node), caps));
    }
    return drivers;
}
