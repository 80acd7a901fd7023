#include "capture/modCapture.h"

#include "capture/mVFW.h"

#include "platform/CodePage.h"
#include "platform/Screen.h"
#include "platform/ui/BmpFile.h"
#include "platform/ui/CaptureClipboard.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/CaptureWindow.h"
#include "platform/ui/PictureBox.h"
#include "platform/ui/TestCaptureDriver.h"
#include "settings/ProgramObjects.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/ScratchProgramFolder.h"
#include "tests/support/camera/ScriptedV4l2Device.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <gtest/gtest.h>
#include <linux/videodev2.h>

namespace {

class ModCaptureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const ScreenMetrics metrics{1024, 768, 15.0, 15.0};
        SetScreenMetrics(metrics);
        host.resize(400, 300);
        stillHost.SetAutoSize(true);
    }
    void TearDown() override {
        DestroyCapture();
        SetCaptureDriversForTest({});
        SetScreenMetrics(std::nullopt);
        EmptyClipboard();
    }
    void UseDriver(std::shared_ptr<TestCaptureDriver> driver) {
        testDriver = driver;
        SetCaptureDriversForTest({std::move(driver)});
    }
    CaptureWindow* Window() const {
        return qobject_cast<CaptureWindow*>(WidgetOf(CaptureWindowHandle()));
    }
    QStringList LogLines() const {
        return FromCodePage932(folder.Read(QStringLiteral("options/main.log")))
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

    ScratchProgramFolder folder;
    PictureBox host;
    PictureBox stillHost;
    std::shared_ptr<TestCaptureDriver> testDriver;
};

// The same on a V4L2 camera: the scripted device with one camera at node 0.
class ModCaptureOnV4l2Test : public ModCaptureTest {
  protected:
    static constexpr std::uint32_t Streaming = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
    ScriptedV4l2Device device{{{0, {Streaming, "Cam 0"}}}};
};

} // namespace

TEST_F(ModCaptureTest, DriverListStopsAtTheFirstFreeIndex) {
    auto driver = [](const char* name, const char* version) {
        return std::make_shared<TestCaptureDriver>(name, version);
    };
    SetCaptureDriversForTest(
        {driver("Video A", "2.0"),
         std::make_shared<TestCaptureDriver>(ToCodePage932(QStringLiteral("カメラ")), "1.0"),
         nullptr, driver("Video D", "4.0")});
    QStringList drivers{QStringLiteral("stale")};
    ASSERT_EQ(GetCaptureDrivers(drivers), 2);
    ASSERT_EQ(drivers.size(), 2);
    EXPECT_EQ(drivers[0], QStringLiteral("Video A") + QChar(u'\0') + QStringLiteral("2.0"));
    EXPECT_EQ(TrimNull(drivers[0]), QStringLiteral("Video A"));
    EXPECT_EQ(TrimNull(drivers[1]), QStringLiteral("カメラ"));

    SetCaptureDriversForTest({nullptr});
    EXPECT_EQ(GetCaptureDrivers(drivers), 0);
    EXPECT_TRUE(drivers.isEmpty());
}

TEST_F(ModCaptureTest, TrimNullKeepsTextWithoutANul) {
    EXPECT_EQ(TrimNull(QStringLiteral("abc")), QStringLiteral("abc"));
    EXPECT_EQ(TrimNull(QString(QChar(u'\0')) + QStringLiteral("x")), QString());
    EXPECT_EQ(TrimNull(QString()), QString());
}

TEST_F(ModCaptureTest, CreateCaptureOpensAnUnscaledPreviewAtTheVideoSize) {
    UseDriver(std::make_shared<TestCaptureDriver>("Video A"));
    DeviceDriverIndex = 5;
    ASSERT_TRUE(CreateCapture(0, &host, 60));
    EXPECT_EQ(DeviceDriverIndex, 0);
    CaptureWindow* window = Window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->parentWidget(), &host);
    EXPECT_EQ(window->objectName(), QStringLiteral("0"));
    EXPECT_EQ(window->geometry(), QRect(0, 0, 320, 240));
    EXPECT_TRUE(window->Previewing());
    EXPECT_EQ(window->PreviewRate(), 17);
    EXPECT_FALSE(window->Scaled());
    int width = 0;
    int height = 0;
    ASSERT_TRUE(GetVideoSize(width, height));
    EXPECT_EQ(QSize(width, height), QSize(320, 240));

    // Rebuilt without DestroyCapture, the old window does not linger; 1000 / 24 rounds to 42.
    ASSERT_TRUE(CreateCapture(0, &host, 24));
    EXPECT_EQ(host.findChildren<CaptureWindow*>().size(), 1);
    EXPECT_EQ(Window()->PreviewRate(), 42);

    DestroyCapture();
    EXPECT_EQ(CaptureWindowHandle(), 0u);
    EXPECT_TRUE(host.findChildren<CaptureWindow*>().isEmpty());
    EXPECT_FALSE(GetVideoSize(width, height));
    DestroyCapture(); // twice: nothing happens
}

TEST_F(ModCaptureTest, ADriverThatDoesNotConnectLeavesNoWindow) {
    UseDriver(std::make_shared<TestCaptureDriver>("Video A"));
    testDriver->State().busy = true;
    EXPECT_FALSE(CreateCapture(0, &host, 60));
    EXPECT_EQ(DeviceDriverIndex, 0);
    EXPECT_EQ(CaptureWindowHandle(), 0u);
    EXPECT_TRUE(host.findChildren<CaptureWindow*>().isEmpty());
    EXPECT_FALSE(CreateCapture(3, &host, 60)); // no driver there
    EXPECT_EQ(DeviceDriverIndex, 3);
    EXPECT_FALSE(CreateCapture(0, nullptr, 60));
    CenterCapture(&host); // without a window: nothing happens
}

TEST_F(ModCaptureTest, CenterCaptureRoundsHalvesToEvenAndMayGoNegative) {
    UseDriver(std::make_shared<TestCaptureDriver>("Video A"));
    const struct {
        QSize host;
        QPoint expected;
    } cases[] = {{{400, 300}, {40, 30}},
                 {{321, 241}, {0, 0}},
                 {{200, 200}, {-60, -20}},
                 {{323, 243}, {2, 2}}};
    for (const auto& test : cases) {
        host.resize(test.host);
        ASSERT_TRUE(CreateCapture(0, &host, 60));
        CenterCapture(&host);
        EXPECT_EQ(Window()->pos(), test.expected) << test.host.width();
        EXPECT_EQ(Window()->size(), QSize(320, 240));
    }
    // The host's size goes through twips: at 12 twips a pixel the same pixels give the same place.
    const ScreenMetrics coarse{1024, 768, 12.0, 12.0};
    SetScreenMetrics(coarse);
    host.resize(400, 300);
    CenterCapture(&host);
    EXPECT_EQ(Window()->pos(), QPoint(40, 30));
}

TEST_F(ModCaptureTest, StillIsTheFrameAsABottomUpPaddedBmp) {
    // 322 pixels make 966 bytes a row, padded to 968.
    UseDriver(
        std::make_shared<TestCaptureDriver>("Video A", "1.0", std::vector<QSize>{{322, 241}}));
    ASSERT_TRUE(CreateCapture(0, &host, 60));
    QGuiApplication::clipboard()->setText(QStringLiteral("the user's text"));
    const QString path = folder.Path() + QStringLiteral("/temp/capture.bmp");

    // The preview may deliver another frame while the still is taken: the still is one of
    // the frames delivered meanwhile.
    const int firstFrame = std::max(0, testDriver->State().lastFrame);
    CaptureToFile(path, &stillHost);
    const int lastFrame = testDriver->State().lastFrame;

    const QByteArray bytes = folder.Read(QStringLiteral("temp/capture.bmp"));
    ASSERT_EQ(bytes.size(), 54 + 968 * 241);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 10), 54u);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 14), 40u);
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 18), 322);
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 22), 241);
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 28), 24);
    auto isFrame = [&bytes](int number) {
        const QImage frame = TestCapturePicture({322, 241}, number, {});
        bool same = true;
        for (int row = 0; row < 241 && same; ++row) {
            const char* stored = bytes.constData() + 54 + row * 968;
            const uchar* pixels = frame.constScanLine(240 - row);
            for (int x = 0; x < 322 && same; ++x)
                same = static_cast<uchar>(stored[3 * x]) == pixels[3 * x + 2] &&
                       static_cast<uchar>(stored[3 * x + 1]) == pixels[3 * x + 1] &&
                       static_cast<uchar>(stored[3 * x + 2]) == pixels[3 * x];
            same = same && stored[966] == 0 && stored[967] == 0;
        }
        return same;
    };
    bool anyFrame = false;
    for (int number = firstFrame; number <= lastFrame && !anyFrame; ++number)
        anyFrame = isFrame(number);
    EXPECT_TRUE(anyFrame) << "frames " << firstFrame << " to " << lastFrame;
    EXPECT_EQ(stillHost.size(), QSize(322, 241));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("the user's text"));
    EXPECT_TRUE(LogLines().isEmpty());
}

TEST_F(ModCaptureTest, RefusedCopyLogsOnceAndLeavesNoFile) {
    const QString path = folder.Path() + QStringLiteral("/temp/capture.bmp");
    folder.Write(QStringLiteral("temp/capture.bmp"), "an older still");
    QImage userBitmap(2, 2, QImage::Format_RGB888);
    userBitmap.fill(Qt::red);
    SetClipboardBitmap(userBitmap);

    CaptureToFile(path, &stillHost); // no capture window

    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("\tcapEditCopy() に失敗しました")));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(GetClipboardBitmap(), userBitmap);
}

TEST_F(ModCaptureTest, TheLayoutStepMayRebuildTheWindowUnderADriverDialog) {
    UseDriver(std::make_shared<TestCaptureDriver>("Video A"));
    ASSERT_TRUE(CreateCapture(0, &host, 60));
    const struct {
        bool (*show)(HWND);
        QString dialog;
    } cases[] = {{&capDlgVideoFormat, QStringLiteral("dlgVideoFormat")},
                 {&capDlgVideoSource, QStringLiteral("dlgVideoSource")}};
    for (const auto& test : cases) {
        // The main window's layout timer fires while the dialog runs.
        QString shown;
        QTimer::singleShot(0, &host, [&] {
            if (QWidget* modal = QApplication::activeModalWidget())
                shown = modal->objectName();
            DestroyCapture();
            if (CreateCapture(0, &host, 60))
                CenterCapture(&host);
        });
        EXPECT_FALSE(test.show(CaptureWindowHandle()));
        EXPECT_EQ(shown, test.dialog);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(host.findChildren<CaptureWindow*>().size(), 1);
        ASSERT_NE(Window(), nullptr);
        EXPECT_TRUE(Window()->Previewing());
        EXPECT_EQ(Window()->pos(), QPoint(40, 30));
    }
}

TEST_F(ModCaptureTest, AnUnpluggedCameraEndsThePreviewAndFailsTheNextStill) {
    UseDriver(std::make_shared<TestCaptureDriver>("Video A"));
    ASSERT_TRUE(CreateCapture(0, &host, 60));
    testDriver->State().unplugged = true;
    for (int k = 0; k < 100 && Window()->Previewing(); ++k)
        QTest::qWait(10);
    EXPECT_FALSE(Window()->Previewing());
    const QString path = folder.Path() + QStringLiteral("/temp/capture.bmp");
    CaptureToFile(path, &stillHost);
    EXPECT_EQ(LogLines().size(), 1);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(ModCaptureOnV4l2Test, AStillAfterAReplugOpensTheCameraAgainAndLogsItOnce) {
    QStringList drivers;
    ASSERT_EQ(GetCaptureDrivers(drivers), 1);
    ASSERT_TRUE(CreateCapture(0, &host, 60));
    const QString path = folder.Path() + QStringLiteral("/temp/capture.bmp");
    device.ready = 1;
    CaptureToFile(path, &stillHost);
    ASSERT_TRUE(QFile::exists(path));

    device.Unplug(0);
    ASSERT_TRUE(PumpUntil([&] { return !Window()->Previewing(); }));
    CaptureToFile(path, &stillHost);
    EXPECT_FALSE(QFile::exists(path));

    device.Plug(0, {Streaming, "Cam 0"});
    device.ready = 1;
    CaptureToFile(path, &stillHost);
    EXPECT_EQ(folder.Read(QStringLiteral("temp/capture.bmp")).size(), 54 + 320 * 3 * 240);
    device.ready = 1;
    CaptureToFile(path, &stillHost);
    EXPECT_TRUE(QFile::exists(path));

    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("\tcapEditCopy() に失敗しました")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("\tキャプチャデバイスを開き直しました")));
}

TEST_F(ModCaptureOnV4l2Test, TheDriverListFixesWhichCameraEachIndexOpens) {
    device.Plug(2, {Streaming, "Cam B", "usb-2"});
    QStringList drivers;
    ASSERT_EQ(GetCaptureDrivers(drivers), 2);
    // Cam 0 is pulled and another camera takes its node: index 0 opens neither.
    device.Unplug(0);
    device.Plug(0, {Streaming, "Cam C", "usb-3"});
    EXPECT_FALSE(CreateCapture(0, &host, 60));
    ASSERT_TRUE(CreateCapture(1, &host, 60));
    EXPECT_EQ(device.lastOpenedNode, 2);
    DestroyCapture();
    // The next list is taken anew.
    ASSERT_EQ(GetCaptureDrivers(drivers), 2);
    EXPECT_EQ(TrimNull(drivers[0]), QStringLiteral("Cam C"));
    EXPECT_EQ(TrimNull(drivers[1]), QStringLiteral("Cam B"));
}

TEST_F(ModCaptureTest, TheWatcherGetsEachPreviewFrameAndEveryNewStartOfTheStream) {
    UseDriver(std::make_shared<TestCaptureDriver>("Video A"));
    std::vector<QImage> frames;
    int restarts = 0;
    PreviewWatcher before = SetPreviewWatcher(
        {[&](const QImage& frame) { frames.push_back(frame); }, [&] { ++restarts; }});
    const auto framesAfter = [&](size_t count) {
        return PumpUntil([&] { return frames.size() > count; });
    };
    // The host is never shown: the frames come all the same.
    ASSERT_TRUE(CreateCapture(0, &host, 60));
    EXPECT_FALSE(host.isVisible());
    EXPECT_EQ(restarts, 1);
    ASSERT_TRUE(framesAfter(2));
    EXPECT_EQ(frames.back(), TestCapturePicture(QSize(320, 240), testDriver->State().lastFrame,
                                                testDriver->State().settings));

    // Another video format: the stream starts anew at its size.
    QTimer::singleShot(0, &host, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->findChild<QListWidget*>()->setCurrentRow(1);
            qobject_cast<QDialog*>(modal)->accept();
        }
    });
    ASSERT_TRUE(capDlgVideoFormat(CaptureWindowHandle()));
    EXPECT_EQ(restarts, 2);
    // A frame read before the change may still be on its way.
    EXPECT_TRUE(
        PumpUntil([&] { return !frames.empty() && frames.back().size() == QSize(640, 480); }));

    // Without a watcher the preview goes on as before.
    SetPreviewWatcher(std::move(before));
    frames.clear();
    QTest::qWait(100);
    EXPECT_TRUE(frames.empty());
    EXPECT_TRUE(Window()->Previewing());
}

TEST_F(ModCaptureOnV4l2Test, TheWatcherIsToldOfACameraOpenedAgain) {
    int restarts = 0;
    PreviewWatcher before = SetPreviewWatcher({{}, [&] { ++restarts; }});
    QStringList drivers;
    ASSERT_EQ(GetCaptureDrivers(drivers), 1);
    ASSERT_TRUE(CreateCapture(0, &host, 60));
    EXPECT_EQ(restarts, 1);
    device.Unplug(0);
    ASSERT_TRUE(PumpUntil([&] { return !Window()->Previewing(); }));
    EXPECT_EQ(restarts, 1);
    device.Plug(0, {Streaming, "Cam 0"});
    device.ready = 1;
    CaptureToFile(folder.Path() + QStringLiteral("/temp/capture.bmp"), &stillHost);
    EXPECT_EQ(restarts, 2);
    SetPreviewWatcher(std::move(before));
}
