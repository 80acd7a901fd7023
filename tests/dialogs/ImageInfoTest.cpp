#include "dialogs/ShowImageInfo.h"
#include "dialogs/frmDlgImageInfo.h"
#include "dialogs/frmDlgResAccount.h"

#include "capture/modCapture.h"
#include "platform/Screen.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/PictureBox.h"
#include "platform/ui/TestCaptureDriver.h"
#include "tests/dialogs/DialogDriving.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/ProgramObjectsReset.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/ScratchProgramFolder.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRegularExpression>

namespace {

constexpr int BmpFileSize160x120 = 54 + 160 * 120 * 3;

// The user's locale as the program sees it, here a Japanese one: "," groups the digits.
class JapaneseLocale {
  public:
    JapaneseLocale() { QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan)); }
    ~JapaneseLocale() { QLocale::setDefault(previous); }

  private:
    QLocale previous;
};

CResAccount ReducedTo160(int formatType) {
    CResAccount setting;
    setting.Name = QStringLiteral("info");
    setting.DoReduction = 1;
    setting.ReductionWidth = 160;
    setting.FormatType = formatType;
    setting.ColorBit = formatType == 2 ? 8 : 24;
    return setting;
}

// What the image info window showed when it opened.
struct Shown {
    bool opened = false;
    QStringList lines;
    QSize picture;
    QStringList tempFiles;
    int pictureTop = -1, pictureHeight = -1, pictureHeightWhenLow = -1;
};

class ImageInfoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.CopyBuiltLibraries());
        SetScreenMetrics(ScreenMetrics{1024, 768, 15.0, 15.0});
        SetCaptureDriversForTest({std::make_shared<TestCaptureDriver>(
            "test camera", "1.0", std::vector<QSize>{{640, 480}})});
        host.resize(640, 480);
    }
    void TearDown() override {
        DestroyCapture();
        SetCaptureDriversForTest({});
        SetScreenMetrics(std::nullopt);
        ResetProgramObjects();
    }
    void StartCamera() {
        ASSERT_TRUE(CreateCapture(0, &host, 60));
        auto driver = std::static_pointer_cast<TestCaptureDriver>(CaptureDriverAt(0));
        ASSERT_TRUE(PumpUntil([&] { return driver->State().lastFrame >= 0; }));
    }
    QStringList TempFiles() const { return QDir(folder.Path() + "/temp").entryList(QDir::Files); }
    // Runs show and reads the image info window that it opens, then closes it with Esc.
    Shown Watch(const std::function<void()>& show) {
        Shown shown;
        WhenModalOpens window("frmDlgImageInfo", [&](QWidget* info) {
            shown.opened = true;
            shown.lines = Control<QLabel>(info, "Label1")->text().split(QStringLiteral("\r\n"));
            auto* picture = Control<PictureBox>(info, "Picture1");
            shown.picture = picture->Picture().size();
            shown.tempFiles = TempFiles();
            info->resize(400, 300);
            shown.pictureTop = picture->y();
            shown.pictureHeight = picture->height();
            info->resize(400, 50); // lower than the band of the text
            shown.pictureHeightWhenLow = picture->height();
            QTest::keyClick(info, Qt::Key_Escape);
        });
        show();
        return shown;
    }

    const JapaneseLocale locale;
    ScratchProgramFolder folder;
    MsgBoxRecorder boxes;
    PictureBox host;
};

} // namespace

TEST(ImageInfoText, FileSizesShowAtLeastFourDigitsInGroupsOfThree) {
    const JapaneseLocale locale;
    const struct {
        qint64 bytes;
        const char* shown;
    } cases[] = {{512, "0,512"},    {0, "0,000"},        {7, "0,007"},          {1000, "1,000"},
                 {34567, "34,567"}, {123456, "123,456"}, {1234567, "1,234,567"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatByteCount(c.bytes), QString::fromLatin1(c.shown)) << c.bytes;
    EXPECT_EQ(ImageInfoText(1, 512, 160, 120),
              QStringLiteral("現在のキャプチャイメージをメールに添付したときのイメージ情報\r\n\r\n"
                             "フォーマット: PNG\r\nファイルサイズ: 0,512 bytes\r\n"
                             "イメージサイズ: 160x120"));
}

TEST_F(ImageInfoTest, AStillReducedTo160ShowsItsFiveLinesAndLeavesTempEmpty) {
    StartCamera();
    const char* const formats[] = {"JPEG", "PNG", "GIF"};
    for (int format = 0; format < 3; ++format) {
        SCOPED_TRACE(formats[format]);
        const Shown shown = Watch([&] { ShowImageInfo(ReducedTo160(format)); });
        ASSERT_TRUE(shown.opened);
        ASSERT_EQ(shown.lines.size(), 5);
        EXPECT_EQ(shown.lines[0],
                  QStringLiteral("現在のキャプチャイメージをメールに添付したときのイメージ情報"));
        EXPECT_EQ(shown.lines[1], QString());
        EXPECT_EQ(shown.lines[2], QStringLiteral("フォーマット: ") + formats[format]);
        const QRegularExpressionMatch size =
            QRegularExpression(QStringLiteral("^ファイルサイズ: (\\d{1,3}(,\\d{3})+) bytes$"))
                .match(shown.lines[3]);
        ASSERT_TRUE(size.hasMatch()) << shown.lines[3].toStdString();
        // The converted file's size, not the decoded bitmap's.
        const int bytes = size.captured(1).remove(u',').toInt();
        EXPECT_GT(bytes, 0);
        EXPECT_LT(bytes, BmpFileSize160x120);
        EXPECT_EQ(shown.lines[4], QStringLiteral("イメージサイズ: 160x120"));
        EXPECT_EQ(shown.picture, QSize(160, 120));
        EXPECT_TRUE(shown.tempFiles.isEmpty()) << shown.tempFiles.join(u' ').toStdString();
        EXPECT_EQ(shown.pictureTop, 1320 / 15);
        EXPECT_EQ(shown.pictureHeight, 300 - 1320 / 15);
        EXPECT_EQ(shown.pictureHeightWhenLow, 0);
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(ImageInfoTest, WithoutACameraTheComposersFailureIsShown) {
    CResAccount plain = ReducedTo160(1);
    plain.DoReduction = 0; // the first step that reads the missing still is the conversion
    const struct {
        CResAccount setting;
        const char* message;
    } cases[] = {{ReducedTo160(0), "縮小に失敗しました"}, {plain, "フォーマットに失敗しました"}};
    for (const auto& c : cases) {
        const size_t before = boxes.Boxes().size();
        const Shown shown = Watch([&] { ShowImageInfo(c.setting); });
        EXPECT_FALSE(shown.opened);
        ASSERT_EQ(boxes.Boxes().size(), before + 1);
        EXPECT_EQ(boxes.Boxes().back().text,
                  QString::fromUtf8(c.message) +
                      QStringLiteral("\r\nカメラから画像を取得できませんでした"));
        EXPECT_EQ(boxes.Boxes().back().icon, MsgIcon::Critical);
        EXPECT_EQ(boxes.Boxes().back().title, AppTitle());
    }
}

TEST_F(ImageInfoTest, TheEditorsButtonChecksFirstAndStaysOpenAfterwards) {
    StartCamera();
    frmDlgResAccount editor;
    editor.LoadNew();
    ASSERT_TRUE(ShowActive(&editor));
    Control<QPlainTextEdit>(&editor, "txtAcceptedMailAddrs")
        ->setPlainText(QStringLiteral("me@example.jp"));

    // An invalid width: the check's message and no window.
    Control<QLineEdit>(&editor, "txtReductionWidth")->setText(QStringLiteral("0"));
    Shown shown = Watch([&] { Click(&editor, "cmdApplyImageInfo"); });
    EXPECT_FALSE(shown.opened);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, QStringLiteral("縮小サイズが不正です"));

    Control<QLineEdit>(&editor, "txtReductionWidth")->setText(QStringLiteral("160"));
    Control<QCheckBox>(&editor, "chkDoReduction")->setChecked(true);
    shown = Watch([&] { Click(&editor, "cmdApplyImageInfo"); });
    EXPECT_TRUE(shown.opened);
    ASSERT_EQ(shown.lines.size(), 5);
    EXPECT_EQ(shown.lines[4], QStringLiteral("イメージサイズ: 160x120"));
    EXPECT_TRUE(editor.isVisible()); // Esc closed only the info window
    EXPECT_FALSE(editor.DialogAccepted());
    EXPECT_EQ(Control<QLineEdit>(&editor, "txtReductionWidth")->text(), QStringLiteral("160"));
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}
