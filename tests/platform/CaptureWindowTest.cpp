#include "platform/ui/CaptureWindow.h"
#include "platform/ui/CaptureClipboard.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/TestCaptureDriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Runs act on the next modal dialog once it is shown (bounded: two seconds).
void OnNextDialog(std::function<void(QDialog&)> act) {
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog || ++*tries > 200) {
            poll->stop();
            poll->deleteLater();
            if (dialog)
                act(*dialog);
        }
    });
    poll->start(10);
}

// Pumps events until done answers true, for at most two seconds.
bool WaitFor(const std::function<bool()>& done) {
    for (int k = 0; k < 200 && !done(); ++k)
        QTest::qWait(10);
    return done();
}

class CaptureWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        driver = std::make_shared<TestCaptureDriver>("Test A");
        SetCaptureDriversForTest({driver});
        host.resize(400, 300);
        window =
            capCreateCaptureWindowA("0", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, HandleOf(&host), 0);
    }
    void TearDown() override {
        DestroyWindow(window);
        SetCaptureDriversForTest({});
        EmptyClipboard();
    }
    CaptureWindow* Window() const { return qobject_cast<CaptureWindow*>(WidgetOf(window)); }
    QImage LastTestFrame() const {
        return TestCapturePicture(driver->State().size, driver->State().lastFrame,
                                  driver->State().settings);
    }

    std::shared_ptr<TestCaptureDriver> driver;
    QWidget host;
    HWND window = 0;
};

} // namespace

TEST_F(CaptureWindowTest, MessagesHaveTheirClassicValues) {
    EXPECT_EQ(WM_CAP_DRIVER_CONNECT, 1034u);
    EXPECT_EQ(WM_CAP_DRIVER_DISCONNECT, 1035u);
    EXPECT_EQ(WM_CAP_EDIT_COPY, 1054u);
    EXPECT_EQ(WM_CAP_DLG_VIDEOFORMAT, 1065u);
    EXPECT_EQ(WM_CAP_DLG_VIDEOSOURCE, 1066u);
    EXPECT_EQ(WM_CAP_GET_VIDEOFORMAT, 1068u);
    EXPECT_EQ(WM_CAP_SET_PREVIEW, 1074u);
    EXPECT_EQ(WM_CAP_SET_PREVIEWRATE, 1076u);
    EXPECT_EQ(WM_CAP_SET_SCALE, 1077u);
    EXPECT_EQ(WM_CAP_GET_STATUS, 1078u);
    EXPECT_EQ(CF_BITMAP, 2u);
}

TEST_F(CaptureWindowTest, IsAVisibleChildOfItsHostWithTheGivenGeometry) {
    ASSERT_NE(window, 0u);
    CaptureWindow* capture = Window();
    ASSERT_NE(capture, nullptr);
    EXPECT_EQ(capture->parentWidget(), &host);
    EXPECT_EQ(capture->geometry(), QRect(0, 0, 300, 200));
    EXPECT_EQ(capture->objectName(), QStringLiteral("0"));
    EXPECT_FALSE(capture->isHidden());
    // A child needs a live parent.
    EXPECT_EQ(capCreateCaptureWindowA("1", WS_CHILD, 0, 0, 10, 10, 0, 0), 0u);
}

TEST_F(CaptureWindowTest, EachMessageTakesEffect) {
    CaptureWindow* capture = Window();
    CAPSTATUS status{};
    // Nothing answers before a driver is connected.
    for (UINT msg : {1054u, 1065u, 1066u, 1068u, 1074u, 1076u, 1077u})
        EXPECT_EQ(SendMessageA(window, msg, 1, 0), 0) << msg;
    EXPECT_EQ(SendMessageA(window, 1078, 76, reinterpret_cast<LPARAM>(&status)), 0);
    EXPECT_EQ(SendMessageA(window, 1034, 1, 0), 0); // no driver at index 1

    EXPECT_EQ(SendMessageA(window, 1034, 0, 0), 1);
    EXPECT_TRUE(capture->Connected());
    EXPECT_EQ(SendMessageA(window, 1078, 76, reinterpret_cast<LPARAM>(&status)), 1);
    EXPECT_EQ(status.uiImageWidth, 320u);
    EXPECT_EQ(status.uiImageHeight, 240u);
    // A record too small for the status is refused rather than half written.
    EXPECT_EQ(SendMessageA(window, 1078, 40, reinterpret_cast<LPARAM>(&status)), 0);

    EXPECT_EQ(SendMessageA(window, 1068, 0, 0), 40);
    BITMAPINFOHEADER format{};
    EXPECT_EQ(SendMessageA(window, 1068, 40, reinterpret_cast<LPARAM>(&format)), 40);
    EXPECT_EQ(format.biSize, 40u);
    EXPECT_EQ(format.biWidth, 320);
    EXPECT_EQ(format.biHeight, 240);
    EXPECT_EQ(format.biBitCount, 24);
    EXPECT_EQ(format.biSizeImage, 320u * 3 * 240);
    BITMAPINFOHEADER shortCopy{};
    EXPECT_EQ(SendMessageA(window, 1068, 12, reinterpret_cast<LPARAM>(&shortCopy)), 12);
    EXPECT_EQ(shortCopy.biHeight, 240);
    EXPECT_EQ(shortCopy.biPlanes, 0); // beyond the 12 bytes asked for

    EXPECT_EQ(SendMessageA(window, 1077, 1, 0), 1);
    EXPECT_TRUE(capture->Scaled());
    EXPECT_EQ(SendMessageA(window, 1077, 0, 0), 1);
    EXPECT_FALSE(capture->Scaled());
    EXPECT_EQ(SendMessageA(window, 1076, 17, 0), 1);
    EXPECT_EQ(capture->PreviewRate(), 17);

    // The preview paints frames unscaled at the window's top-left corner.
    capture->resize(330, 250);
    EXPECT_EQ(SendMessageA(window, 1074, 1, 0), 1);
    EXPECT_TRUE(capture->Previewing());
    ASSERT_TRUE(WaitFor([&] { return driver->State().lastFrame >= 2; }));
    EXPECT_EQ(SendMessageA(window, 1074, 0, 0), 1);
    EXPECT_FALSE(capture->Previewing());
    const QImage shown = capture->grab().toImage().convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(shown.copy(0, 0, 320, 240), LastTestFrame());
    EXPECT_EQ(SendMessageA(window, 1078, 76, reinterpret_cast<LPARAM>(&status)), 1);
    EXPECT_EQ(status.fLiveWindow, 0);

    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_EQ(SendMessageA(window, 1054, 0, 0), 1);
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_EQ(GetClipboardBitmap(), LastTestFrame());

    EXPECT_EQ(SendMessageA(window, 1035, 0, 0), 1);
    EXPECT_FALSE(capture->Connected());
    EXPECT_EQ(SendMessageA(window, 1054, 0, 0), 0);
    EXPECT_EQ(SendMessageA(window, 0x0010, 0, 0), 0); // not a capture message
}

TEST_F(CaptureWindowTest, FormatDialogAnswersTrueOnlyForAnotherSize) {
    ASSERT_EQ(SendMessageA(window, WM_CAP_DRIVER_CONNECT, 0, 0), 1);
    QStringList shown;
    auto choose = [&](int row, bool ok) {
        OnNextDialog([&shown, row, ok](QDialog& dialog) {
            auto* list = dialog.findChild<QListWidget*>(QStringLiteral("lstFrameSize"));
            for (int k = 0; list && k < list->count(); ++k)
                shown.append(list->item(k)->text());
            if (list)
                list->setCurrentRow(row);
            dialog
                .findChild<QPushButton*>(ok ? QStringLiteral("cmdOK") : QStringLiteral("cmdCancel"))
                ->click();
        });
        return SendMessageA(window, WM_CAP_DLG_VIDEOFORMAT, 0, 0);
    };
    EXPECT_EQ(choose(1, false), 0);
    EXPECT_EQ(shown,
              QStringList({QStringLiteral("320 × 240  (RGB3)"), QStringLiteral("640 × 480  (RGB3)"),
                           QStringLiteral("160 × 120  (RGB3)")}));
    EXPECT_EQ(driver->State().size, QSize(320, 240));
    EXPECT_EQ(choose(0, true), 0); // the size already streaming
    EXPECT_EQ(choose(1, true), 1);
    CAPSTATUS status{};
    SendMessageA(window, WM_CAP_GET_STATUS, sizeof(status), reinterpret_cast<LPARAM>(&status));
    EXPECT_EQ(status.uiImageWidth, 640u);
    EXPECT_EQ(status.uiImageHeight, 480u);
    // The device keeps the size for the next connection, as a camera does.
    SendMessageA(window, WM_CAP_DRIVER_CONNECT, 0, 0);
    SendMessageA(window, WM_CAP_GET_STATUS, sizeof(status), reinterpret_cast<LPARAM>(&status));
    EXPECT_EQ(status.uiImageWidth, 640u);
}

TEST_F(CaptureWindowTest, SourceDialogChangesTakeEffectWhileItIsOpen) {
    ASSERT_EQ(SendMessageA(window, WM_CAP_DRIVER_CONNECT, 0, 0), 1);
    int brightnessWhileOpen = -1;
    bool mirrorWhileOpen = false;
    OnNextDialog([&](QDialog& dialog) {
        auto* bar = dialog.findChild<QScrollBar*>(QStringLiteral("hsbControl1"));
        auto* mirror = dialog.findChild<QCheckBox*>(QStringLiteral("ctlControl2"));
        if (bar)
            bar->setValue(200);
        if (mirror)
            mirror->setChecked(true);
        brightnessWhileOpen = driver->State().settings.brightness;
        mirrorWhileOpen = driver->State().settings.mirror;
        dialog.findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
    });
    EXPECT_EQ(SendMessageA(window, WM_CAP_DLG_VIDEOSOURCE, 0, 0), 1);
    EXPECT_EQ(brightnessWhileOpen, 200);
    EXPECT_TRUE(mirrorWhileOpen);
    ASSERT_EQ(SendMessageA(window, WM_CAP_EDIT_COPY, 0, 0), 1);
    const QImage still = GetClipboardBitmap();
    TestPictureSettings brighter;
    brighter.brightness = 200;
    brighter.mirror = true;
    EXPECT_EQ(still, TestCapturePicture({320, 240}, driver->State().lastFrame, brighter));
}

TEST_F(CaptureWindowTest, TheSourceDialogChoosesTheTestCamerasScene) {
    ASSERT_EQ(SendMessageA(window, WM_CAP_DRIVER_CONNECT, 0, 0), 1);
    QStringList captions;
    OnNextDialog([&](QDialog& dialog) {
        if (auto* scenes = dialog.findChild<QComboBox*>(QStringLiteral("ctlControl4"))) {
            for (int i = 0; i < scenes->count(); ++i)
                captions << scenes->itemText(i);
            scenes->setCurrentIndex(TestSceneObjectCrossing);
        }
        dialog.findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
    });
    SendMessageA(window, WM_CAP_DLG_VIDEOSOURCE, 0, 0);
    EXPECT_EQ(captions,
              QStringList({"テストパターン", "静かな部屋", "横切る人影", "照明の点滅", "露出の変化",
                           "ゆっくり動く影", "止まった映像", "動き続ける人影"}));
    EXPECT_EQ(driver->State().settings.scene, TestSceneObjectCrossing);
    ASSERT_EQ(SendMessageA(window, WM_CAP_EDIT_COPY, 0, 0), 1);
    EXPECT_EQ(GetClipboardBitmap(),
              TestScenePicture({320, 240}, driver->State().lastFrame, TestSceneObjectCrossing));
    // No scene past the last.
    const std::unique_ptr<CaptureStream> stream = driver->Open();
    EXPECT_FALSE(stream->SetControl(TestControlScene, TestSceneCount));
    EXPECT_FALSE(stream->SetControl(TestControlScene, -1));
    EXPECT_EQ(driver->State().settings.scene, TestSceneObjectCrossing);
}

TEST_F(CaptureWindowTest, ARebuildWhileADriverDialogIsOpenClosesTheDialogWithItsWindow) {
    // The main window's layout timer may rebuild the capture window from inside the event
    // loop of a driver dialog: the window goes, and a new one opens the same driver.
    for (const UINT dialogMessage : {WM_CAP_DLG_VIDEOFORMAT, WM_CAP_DLG_VIDEOSOURCE}) {
        ASSERT_EQ(SendMessageA(window, WM_CAP_DRIVER_CONNECT, 0, 0), 1);
        QPointer<QDialog> shown;
        bool goneWithItsWindow = false;
        HWND rebuilt = 0;
        OnNextDialog([&](QDialog& dialog) {
            shown = &dialog;
            DestroyWindow(window);
            goneWithItsWindow = shown.isNull();
            rebuilt = capCreateCaptureWindowA("0", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200,
                                              HandleOf(&host), 0);
            SendMessageA(rebuilt, WM_CAP_DRIVER_CONNECT, 0, 0);
        });
        EXPECT_EQ(SendMessageA(window, dialogMessage, 0, 0), 0) << dialogMessage;
        EXPECT_TRUE(goneWithItsWindow) << dialogMessage;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(WidgetOf(window), nullptr);
        window = rebuilt;
        EXPECT_EQ(SendMessageA(window, WM_CAP_EDIT_COPY, 0, 0), 1) << dialogMessage;
    }
}

TEST_F(CaptureWindowTest, AnUnpluggedCameraEndsThePreview) {
    ASSERT_EQ(SendMessageA(window, WM_CAP_DRIVER_CONNECT, 0, 0), 1);
    SendMessageA(window, WM_CAP_SET_PREVIEWRATE, 5, 0);
    SendMessageA(window, WM_CAP_SET_PREVIEW, 1, 0);
    ASSERT_TRUE(WaitFor([&] { return driver->State().lastFrame >= 1; }));
    driver->State().unplugged = true;
    EXPECT_TRUE(WaitFor([&] { return !Window()->Previewing(); }));
    EXPECT_EQ(SendMessageA(window, WM_CAP_EDIT_COPY, 0, 0), 0);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_EQ(SendMessageA(window, WM_CAP_SET_PREVIEW, 1, 0), 0);
    EXPECT_EQ(SendMessageA(window, WM_CAP_DRIVER_CONNECT, 0, 0), 0);
}

TEST_F(CaptureWindowTest, HandlesOfDestroyedWindowsFailHarmlessly) {
    ASSERT_EQ(SendMessageA(window, WM_CAP_DRIVER_CONNECT, 0, 0), 1);
    EXPECT_TRUE(SetWindowPos(window, 0, 5, 6, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    EXPECT_EQ(Window()->geometry(), QRect(5, 6, 300, 200));
    EXPECT_TRUE(SetWindowPos(window, 0, 0, 0, 7, 8, SWP_NOMOVE | SWP_NOZORDER));
    EXPECT_EQ(Window()->geometry(), QRect(5, 6, 7, 8));

    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(WidgetOf(window), nullptr);
    EXPECT_EQ(SendMessageA(window, WM_CAP_EDIT_COPY, 0, 0), 0);
    EXPECT_FALSE(SetWindowPos(window, 0, 1, 1, 1, 1, 0));
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_FALSE(DestroyWindow(0));

    // A capture window goes with its host, and so does its handle.
    auto* parent = new QWidget;
    window = capCreateCaptureWindowA("0", WS_CHILD, 0, 0, 1, 1, HandleOf(parent), 0);
    ASSERT_NE(WidgetOf(window), nullptr);
    delete parent;
    EXPECT_EQ(WidgetOf(window), nullptr);
    EXPECT_EQ(SendMessageA(window, WM_CAP_DRIVER_CONNECT, 0, 0), 0);
}

TEST(CaptureDrivers, DescriptionsAreCutToTheBuffersAndGapsAreRefused) {
    SetCaptureDriversForTest({std::make_shared<TestCaptureDriver>("Video A", "2.0"), nullptr,
                              std::make_shared<TestCaptureDriver>("Video C", "3.1")});
    char name[80];
    char version[80];
    ASSERT_TRUE(capGetDriverDescriptionA(0, name, 80, version, 80));
    EXPECT_STREQ(name, "Video A");
    EXPECT_STREQ(version, "2.0");
    ASSERT_TRUE(capGetDriverDescriptionA(2, name, 4, version, 2));
    EXPECT_STREQ(name, "Vid");
    EXPECT_STREQ(version, "3");
    EXPECT_FALSE(capGetDriverDescriptionA(1, name, 80, version, 80));
    EXPECT_FALSE(capGetDriverDescriptionA(3, name, 80, version, 80));
    EXPECT_FALSE(capGetDriverDescriptionA(0, name, 0, version, 80));
    EXPECT_FALSE(capGetDriverDescriptionA(0, nullptr, 80, version, 80));
    SetCaptureDriversForTest({});
}

TEST(CaptureDrivers, TheTestDriverFollowsTheRealDevices) {
    EnableTestCaptureDriver(std::make_shared<TestCaptureDriver>("Demo"));
    int found = -1;
    for (int index = 0; index < MaxCaptureDrivers && found < 0; ++index)
        if (const auto driver = CaptureDriverAt(index); driver && driver->Description() == "Demo")
            found = index;
    EnableTestCaptureDriver(nullptr);
    EXPECT_GE(found, 0);
    EXPECT_EQ(CaptureDriverAt(found) ? CaptureDriverAt(found)->Description() : QByteArray(),
              QByteArray());
}
