#include "platform/ui/V4l2Settings.h"

#include "platform/ui/V4l2Io.h"

#include <algorithm>
#include <linux/videodev2.h>

namespace {

// Bounds the enumeration loops against drivers that never say "no more".
constexpr std::uint32_t MaxEntries = 256;

const QSize UsualSizes[] = {{160, 120}, {176, 144},  {320, 240},  {352, 288},  {640, 480},
                            {800, 600}, {1024, 768}, {1280, 720}, {1280, 960}, {1920, 1080}};

QString FourCc(std::uint32_t code) {
    QString text;
    for (int shift = 0; shift < 32; shift += 8)
        text += QChar(static_cast<char16_t>((code >> shift) & 0xFF));
    return text.trimmed();
}

bool Fits(const QSize& size, const v4l2_frmsize_stepwise& range) {
    const auto width = static_cast<std::uint32_t>(size.width());
    const auto height = static_cast<std::uint32_t>(size.height());
    return width >= range.min_width && width <= range.max_width && height >= range.min_height &&
           height <= range.max_height &&
           (range.step_width == 0 || (width - range.min_width) % range.step_width == 0) &&
           (range.step_height == 0 || (height - range.min_height) % range.step_height == 0);
}

std::vector<QSize> SizesOf(int fd, std::uint32_t pixelFormat) {
    std::vector<QSize> sizes;
    for (std::uint32_t index = 0; index < MaxEntries; ++index) {
        v4l2_frmsizeenum entry{};
        entry.index = index;
        entry.pixel_format = pixelFormat;
        if (V4l2Ioctl(fd, VIDIOC_ENUM_FRAMESIZES, &entry) != 0)
            break;
        if (entry.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
            sizes.emplace_back(static_cast<int>(entry.discrete.width),
                               static_cast<int>(entry.discrete.height));
            continue;
        }
        const v4l2_frmsize_stepwise& range = entry.stepwise;
        sizes.emplace_back(static_cast<int>(range.min_width), static_cast<int>(range.min_height));
        for (const QSize& usual : UsualSizes)
            if (Fits(usual, range))
                sizes.push_back(usual);
        sizes.emplace_back(static_cast<int>(range.max_width), static_cast<int>(range.max_height));
        break;
    }
    return sizes;
}

void AddSize(std::vector<CaptureFrameSize>& list, const QSize& size, const QString& format) {
    const auto known = std::find_if(list.begin(), list.end(), [&](const CaptureFrameSize& entry) {
        return entry.size == size;
    });
    if (known == list.end())
        list.push_back({size, {format}});
    else if (!known->pixelFormats.contains(format))
        known->pixelFormats.append(format);
}

QStringList MenuItems(int fd, const v4l2_queryctrl& control) {
    QStringList items;
    for (std::int64_t value = control.minimum;
         value <= control.maximum && items.size() < static_cast<qsizetype>(MaxEntries); ++value) {
        v4l2_querymenu item{};
        item.id = control.id;
        item.index = static_cast<std::uint32_t>(value);
        if (V4l2Ioctl(fd, VIDIOC_QUERYMENU, &item) != 0)
            items.append(QString::number(value));
        else if (control.type == V4L2_CTRL_TYPE_INTEGER_MENU)
            items.append(QString::number(item.value));
        else
            items.append(QString::fromUtf8(
                reinterpret_cast<const char*>(item.name),
                qstrnlen(reinterpret_cast<const char*>(item.name), sizeof(item.name))));
    }
    return items;
}

} // namespace

std::vector<CaptureFrameSize> V4l2FrameSizes(int fd) {
    std::vector<CaptureFrameSize> list;
    for (std::uint32_t index = 0; index < MaxEntries; ++index) {
        v4l2_fmtdesc format{};
        format.index = index;
        format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (V4l2Ioctl(fd, VIDIOC_ENUM_FMT, &format) != 0)
            break;
        if (format.flags & V4L2_FMT_FLAG_EMULATED)
            continue;
        for (const QSize& size : SizesOf(fd, format.pixelformat))
            AddSize(list, size, FourCc(format.pixelformat));
    }
    std::sort(list.begin(), list.end(), [](const CaptureFrameSize& a, const CaptureFrameSize& b) {
        return std::pair(a.size.width(), a.size.height()) <
               std::pair(b.size.width(), b.size.height());
    });
    return list;
}

std::vector<CaptureControl> V4l2Controls(int fd) {
    std::vector<CaptureControl> controls;
    std::uint32_t next = V4L2_CTRL_FLAG_NEXT_CTRL;
    for (std::uint32_t count = 0; count < MaxEntries; ++count) {
        v4l2_queryctrl query{};
        query.id = next;
        if (V4l2Ioctl(fd, VIDIOC_QUERYCTRL, &query) != 0)
            break;
        next = query.id | V4L2_CTRL_FLAG_NEXT_CTRL;
        if (query.flags & (V4L2_CTRL_FLAG_DISABLED | V4L2_CTRL_FLAG_READ_ONLY))
            continue;
        CaptureControl control;
        if (query.type == V4L2_CTRL_TYPE_INTEGER)
            control.kind = CaptureControlKind::Integer;
        else if (query.type == V4L2_CTRL_TYPE_BOOLEAN)
            control.kind = CaptureControlKind::Boolean;
        else if (query.type == V4L2_CTRL_TYPE_MENU || query.type == V4L2_CTRL_TYPE_INTEGER_MENU)
            control.kind = CaptureControlKind::Menu;
        else
            continue;
        v4l2_control current{};
        current.id = query.id;
        if (V4l2Ioctl(fd, VIDIOC_G_CTRL, &current) != 0)
            continue;
        control.id = query.id;
        control.name = QString::fromUtf8(
            reinterpret_cast<const char*>(query.name),
            qstrnlen(reinterpret_cast<const char*>(query.name), sizeof(query.name)));
        control.minimum = query.minimum;
        control.maximum = query.maximum;
        control.step = static_cast<int>(query.step);
        control.value = current.value;
        if (control.kind == CaptureControlKind::Menu)
            control.menuItems = MenuItems(fd, query);
        controls.push_back(control);
    }
    return controls;
}

bool V4l2SetControl(int fd, std::uint32_t id, int value) {
    v4l2_control control{};
    control.id = id;
    control.value = value;
    return V4l2Ioctl(fd, VIDIOC_S_CTRL, &control) == 0;
}
