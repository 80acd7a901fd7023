#include "app/CaptureLayout.h"
#include "platform/Screen.h"
#include "platform/ui/WindowHandles.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/dialogs/DialogDriving.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/ScopedHook.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>

namespace {

struct DeviceCommandsTest : MainWindowFixture {
    std::shared_ptr<CountingCaptureDriver> camera =
        std::make_shared<CountingCaptureDriver>("Camera A");

    QWidget* CaptureWindow() const { return WidgetOf(CaptureWindowHandle()); }
    // Shows the window and lets the rebuild that its first size change asks for run.
    void ShowAndSettle() {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QTest::qWait(300);
    }
};

} // namespace

TEST(CaptureLayout, TheStatusLineAndThePreviewShareTheClientArea) {
    const struct {
        double width, height, label;
        CaptureLayout expected;
    } cases[] = {
        // The design size: the preview is 4780 high and the label's top is at 4830.
        {5625, 5055, 255, {80, 4830, 5545, 5625, 4780}},
        {3000, 2000, 300, {80, 1730, 2920, 3000, 1680}},
        // A minimised window: impossible sizes, left for the caller to clamp.
        {0, 0, 255, {80, -225, -80, 0, -275}},
    };
    for (const auto& test : cases) {
        const CaptureLayout layout = LayoutCapture(test.width, test.height, test.label);
        EXPECT_EQ(layout.labelLeft, test.expected.labelLeft);
        EXPECT_EQ(layout.labelTop, test.expected.labelTop) << test.height;
        EXPECT_EQ(layout.labelWidth, test.expected.labelWidth);
        EXPECT_EQ(layout.previewWidth, test.expected.previewWidth);
        EXPECT_EQ(layout.previewHeight, test.expected.previewHeight) << test.height;
    }
}

TEST_F(DeviceCommandsTest, TheWindowPlacesThePreviewAndTheStatusLineInTwips) {
    // Five twips a pixel, so that every figure of the design size is a whole pixel.
    ScopedHook<std::optional<ScreenMetrics>> metrics(&SetScreenMetrics,
                                                     ScreenMetrics{1600, 1200, 5.0, 5.0});
    Start({camera});
    ShowAndSettle();
    QWidget* client = form->centralWidget();
    form->resize(1125, 1011 + form->height() - client->height());
    ASSERT_TRUE(PumpUntil([&] { return client->size() == QSize(1125, 1011); }));
    form->Capture_Resize();
    auto* label = form->findChild<QLabel*>(QStringLiteral("lblInformation"));
    auto* preview = form->findChild<QWidget*>(QStringLiteral("picCapture"));
    ASSERT_NE(label, nullptr);
    ASSERT_NE(preview, nullptr);
    // 5055 and 255 twips: the preview 4780 high, the label's top 4830, its left 80.
    EXPECT_EQ(preview->geometry(), QRect(0, 0, 1125, 4780 / 5));
    EXPECT_EQ(label->geometry(), QRect(80 / 5, 4830 / 5, (5625 - 80) / 5, 255 / 5));
    ASSERT_NE(CaptureWindow(), nullptr);
    EXPECT_EQ(CaptureWindow()->parentWidget(), preview);
}

TEST_F(DeviceCommandsTest, ManySizeChangesRebuildTheCaptureWindowOnceAfterTheLast) {
    Start({camera});
    ShowAndSettle();
    const int opensBefore = camera->opens;
    QElapsedTimer sinceLast;
    for (int step = 0; step < 12; ++step) {
        sinceLast.start();
        form->resize(400 + 10 * step, 350 + 5 * step);
        QTest::qWait(10);
        EXPECT_EQ(camera->opens, opensBefore) << "rebuilt during the drag, step " << step;
    }
    ASSERT_TRUE(PumpUntil([&] { return camera->opens > opensBefore; }));
    EXPECT_GE(sinceLast.elapsed(), 100);
    QTest::qWait(300);
    EXPECT_EQ(camera->opens, opensBefore + 1);
    ASSERT_NE(CaptureWindow(), nullptr);
}

TEST_F(DeviceCommandsTest, DriverDialogsRunWithTheMailCheckTimerStopped) {
    Start({camera});
    ShowAndSettle();
    const struct {
        const char* item;
        const char* dialog;
    } commands[] = {{"mnuDevice_VideoFormat", "dlgVideoFormat"},
                    {"mnuDevice_VideoSource", "dlgVideoSource"}};
    for (const auto& command : commands) {
        const HWND before = CaptureWindowHandle();
        const int opensBefore = camera->opens;
        bool timerDuring = true;
        QString shown;
        WhenModalOpens cancel("QDialog", [&](QWidget* dialog) {
            timerDuring = form->MailCheckTimerEnabled();
            shown = dialog->objectName();
            static_cast<QDialog*>(dialog)->reject();
        });
        Item(command.item)->trigger();
        EXPECT_TRUE(cancel.Ran()) << command.item;
        EXPECT_EQ(shown, QString::fromLatin1(command.dialog));
        EXPECT_FALSE(timerDuring) << command.item;
        EXPECT_TRUE(form->MailCheckTimerEnabled()) << command.item;
        // Nothing changed, so nothing is rebuilt.
        QTest::qWait(250);
        EXPECT_EQ(CaptureWindowHandle(), before) << command.item;
        EXPECT_EQ(camera->opens, opensBefore) << command.item;
    }
}

TEST_F(DeviceCommandsTest, ANewFrameSizeRebuildsTheCaptureWindowAtThatSize) {
    Start({camera});
    ShowAndSettle();
    const HWND before = CaptureWindowHandle();
    ASSERT_NE(CaptureWindow(), nullptr);
    EXPECT_EQ(CaptureWindow()->size(), QSize(320, 240));
    bool timerDuring = true;
    WhenModalOpens choose("QDialog", [&](QWidget* dialog) {
        timerDuring = form->MailCheckTimerEnabled();
        Control<QListWidget>(dialog, "lstFrameSize")->setCurrentRow(1); // 640 × 480
        Click(dialog, "cmdOK");
    });
    Item("mnuDevice_VideoFormat")->trigger();
    ASSERT_TRUE(choose.Ran());
    EXPECT_FALSE(timerDuring);
    EXPECT_TRUE(form->MailCheckTimerEnabled());
    EXPECT_EQ(CaptureWindowHandle(), before); // the rebuild waits for the layout timer
    ASSERT_TRUE(PumpUntil([&] { return CaptureWindowHandle() != before; }));
    ASSERT_NE(CaptureWindow(), nullptr);
    EXPECT_EQ(CaptureWindow()->size(), QSize(640, 480));
    int width = 0;
    int height = 0;
    ASSERT_TRUE(GetVideoSize(width, height));
    EXPECT_EQ(QSize(width, height), QSize(640, 480));
}

TEST_F(DeviceCommandsTest, AFailingDriverIsReportedAndGreyedAndAWorkingOneStillOpens) {
    auto broken = std::make_shared<CountingCaptureDriver>("Camera B");
    broken->State().busy = true;
    Start({camera, broken});
    ASSERT_TRUE(boxes.Boxes().empty());
    ASSERT_NE(CaptureWindow(), nullptr);

    Item("mnuDevice_Drivers_2")->trigger();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.Boxes()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(boxes.Boxes()[0].text,
              QStringLiteral("キャプチャデバイスにアクセスできませんでした\r\nindex: 1  Camera B"));
    EXPECT_FALSE(Item("mnuDevice_Drivers_2")->isEnabled());
    EXPECT_TRUE(Item("mnuDevice_Drivers_2")->isChecked());
    EXPECT_FALSE(Item("mnuDevice_Drivers_1")->isChecked());
    EXPECT_EQ(DeviceDriverIndex, 1);
    EXPECT_EQ(CaptureWindowHandle(), HWND(0));

    // Greyed for the rest of the run, even once the camera would open: no second try, no box.
    broken->State().busy = false;
    const int triesBefore = broken->opens;
    form->Capture_Resize();
    EXPECT_EQ(broken->opens, triesBefore);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(CaptureWindowHandle(), HWND(0));

    Item("mnuDevice_Drivers_1")->trigger();
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(DeviceDriverIndex, 0);
    EXPECT_TRUE(Item("mnuDevice_Drivers_1")->isChecked());
    EXPECT_FALSE(Item("mnuDevice_Drivers_2")->isChecked());
    ASSERT_NE(CaptureWindow(), nullptr);
    EXPECT_EQ(CaptureWindow()->size(), QSize(320, 240));
}

TEST_F(DeviceCommandsTest, WithoutACameraTheWindowSaysSoAndGreysTheDriverCommands) {
    Start({});
    ShowAndSettle();
    auto* message = form->findChild<QLabel*>(QStringLiteral("lblNoCamera"));
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->text(), QStringLiteral("カメラが見つかりません"));
    EXPECT_TRUE(message->isVisible());
    EXPECT_EQ(message->geometry(), form->findChild<QWidget*>(QStringLiteral("picCapture"))->rect());
    EXPECT_EQ(Item("mnuDevice_NoCamera")->text(), QStringLiteral("カメラが見つかりません"));
    EXPECT_FALSE(Item("mnuDevice_NoCamera")->isEnabled());
    for (const char* name : {"mnuDevice_VideoFormat", "mnuDevice_VideoSource"})
        EXPECT_FALSE(Item(name)->isEnabled()) << name;
}
