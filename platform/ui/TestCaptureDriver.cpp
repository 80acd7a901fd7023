#include "platform/ui/TestCaptureDriver.h"

#include <QColor>
#include <algorithm>

namespace {

constexpr int ScrollPixelsPerFrame = 4;

QRgb PatternPixel(int x, int y, const QSize& size, int frameNumber, int pattern) {
    static const QRgb Bars[] = {qRgb(255, 255, 255), qRgb(255, 255, 0), qRgb(0, 255, 255),
                                qRgb(0, 255, 0),     qRgb(255, 0, 255), qRgb(255, 0, 0),
                                qRgb(0, 0, 255),     qRgb(16, 16, 16)};
    const int width = std::max(1, size.width());
    const int shifted = (x + frameNumber * ScrollPixelsPerFrame) % width;
    if (pattern == 1)
        return qRgb(shifted * 255 / width, y * 255 / std::max(1, size.height()), 128);
    // The lowest eighth is a grey ramp, so that rows are told apart too.
    if (y >= size.height() * 7 / 8) {
        const int grey = x * 255 / width;
        return qRgb(grey, grey, grey);
    }
    return Bars[shifted * 8 / width];
}

QImage PatternPicture(const QSize& size, int frameNumber, int pattern) {
    QImage picture(size, QImage::Format_RGB888);
    for (int y = 0; y < size.height(); ++y) {
        uchar* row = picture.scanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            const QRgb pixel = PatternPixel(x, y, size, frameNumber, pattern);
            row[3 * x] = static_cast<uchar>(qRed(pixel));
            row[3 * x + 1] = static_cast<uchar>(qGreen(pixel));
            row[3 * x + 2] = static_cast<uchar>(qBlue(pixel));
        }
    }
    return picture;
}

int Clamp(int value) {
    return std::clamp(value, 0, 255);
}

class TestCaptureStream : public CaptureStream {
  public:
    explicit TestCaptureStream(std::shared_ptr<TestCaptureDriver::Device> device)
        : device(std::move(device)) {}

    QSize Size() const override { return device->size; }

    bool ReadFrame(int, QImage& retFrame) override {
        if (Lost())
            return false;
        device->lastFrame = device->nextFrame++;
        retFrame = TestCapturePicture(device->size, device->lastFrame, device->settings);
        return true;
    }

    bool Lost() const override { return device->unplugged; }

    std::vector<CaptureFrameSize> FrameSizes() const override {
        std::vector<CaptureFrameSize> sizes;
        for (const QSize& size : device->sizes)
            sizes.push_back({size, {QStringLiteral("RGB3")}});
        return sizes;
    }

    bool SetSize(const QSize& size) override {
        if (Lost() ||
            std::find(device->sizes.begin(), device->sizes.end(), size) == device->sizes.end())
            return false;
        device->size = size;
        return true;
    }

    std::vector<CaptureControl> Controls() const override {
        const TestPictureSettings& now = device->settings;
        return {
            {TestControlBrightness,
             QStringLiteral("明るさ"),
             CaptureControlKind::Integer,
             0,
             255,
             1,
             now.brightness,
             {}},
            {TestControlMirror,
             QStringLiteral("左右反転"),
             CaptureControlKind::Boolean,
             0,
             1,
             1,
             now.mirror ? 1 : 0,
             {}},
            {TestControlPattern,
             QStringLiteral("パターン"),
             CaptureControlKind::Menu,
             0,
             1,
             1,
             now.pattern,
             {QStringLiteral("カラーバー"), QStringLiteral("グラデーション")}},
            {TestControlScene,
             QStringLiteral("シーン"),
             CaptureControlKind::Menu,
             0,
             TestSceneCount - 1,
             1,
             now.scene,
             {QStringLiteral("テストパターン"), QStringLiteral("静かな部屋"),
              QStringLiteral("横切る人影"), QStringLiteral("照明の点滅"),
              QStringLiteral("露出の変化"), QStringLiteral("ゆっくり動く影"),
              QStringLiteral("止まった映像"), QStringLiteral("動き続ける人影")}},
        };
    }

    bool SetControl(std::uint32_t id, int value) override {
        TestPictureSettings& settings = device->settings;
        if (id == TestControlBrightness && value >= 0 && value <= 255)
            settings.brightness = value;
        else if (id == TestControlMirror && (value == 0 || value == 1))
            settings.mirror = value == 1;
        else if (id == TestControlPattern && (value == 0 || value == 1))
            settings.pattern = value;
        else if (id == TestControlScene && value >= 0 && value < TestSceneCount)
            settings.scene = value;
        else
            return false;
        return true;
    }

  private:
    std::shared_ptr<TestCaptureDriver::Device> device;
};

} // namespace

QImage TestCapturePicture(const QSize& size, int frameNumber, const TestPictureSettings& settings) {
    QImage picture = settings.scene == TestScenePattern
                         ? PatternPicture(size, frameNumber, settings.pattern)
                         : TestScenePicture(size, frameNumber, settings.scene);
    if (settings.mirror)
        picture.mirror(true, false);
    const int offset = settings.brightness - 128;
    if (offset != 0)
        for (int y = 0; y < size.height(); ++y) {
            uchar* row = picture.scanLine(y);
            for (int i = 0; i < 3 * size.width(); ++i)
                row[i] = static_cast<uchar>(Clamp(row[i] + offset));
        }
    return picture;
}

TestCaptureDriver::TestCaptureDriver(QByteArray description, QByteArray version,
                                     std::vector<QSize> sizes)
    : description(std::move(description)), version(std::move(version)),
      device(std::make_shared<Device>()) {
    device->sizes = std::move(sizes);
    device->size = device->sizes.empty() ? QSize(320, 240) : device->sizes.front();
    if (device->sizes.empty())
        device->sizes.push_back(device->size);
}

std::unique_ptr<CaptureStream> TestCaptureDriver::Open() {
    if (device->busy || device->unplugged)
        return nullptr;
    return std::make_unique<TestCaptureStream>(device);
}
