#include "dialogs/ShowImageInfo.h"

#include "dialogs/DialogWindow.h"
#include "dialogs/frmDlgImageInfo.h"

#include "capture/modCapture.h"
#include "imaging/PelImage.h"
#include "imaging/TempFolder.h"
#include "platform/BitmapLayout.h"
#include "platform/MsgBox.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/PictureBox.h"
#include "reply/modSendMail.h"
#include "settings/modFileAccess.h"

#include <QFileInfo>
#include <QImage>
#include <QLocale>

namespace {

const QString UnknownFailureText = QStringLiteral("イメージ情報を取得できませんでした");

// The decoder of the converted file back into a BMP file.
int DecodeConverted(int formatType, const QString& converted, const QString& output) {
    switch (formatType) {
    case 0:
        return jpeg2bmp(converted, output);
    case 1:
        return png2bmp(converted, output);
    case 2:
        return gif2bmp(converted, output);
    default:
        return 0;
    }
}

// The signed little-endian 32-bit field at offset; bytes holds at least offset + 4.
int Int32At(const QByteArray& bytes, int offset) {
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<uchar>(bytes.at(offset + i));
    return static_cast<qint32>(value);
}

QString FormatName(int formatType) {
    switch (formatType) {
    case 0:
        return QStringLiteral("JPEG");
    case 1:
        return QStringLiteral("PNG");
    case 2:
        return QStringLiteral("GIF");
    default:
        return QString();
    }
}

} // namespace

QString FormatByteCount(qint64 bytes) {
    const QString digits = QString::number(bytes).rightJustified(4, u'0');
    const QString separator = QLocale().groupSeparator();
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}

QString ImageInfoText(int formatType, qint64 fileSize, int width, int height) {
    return QStringList{
        QStringLiteral("現在のキャプチャイメージをメールに添付したときのイメージ情報"),
        QString(),
        QStringLiteral("フォーマット: ") + FormatName(formatType),
        QStringLiteral("ファイルサイズ: ") + FormatByteCount(fileSize) + QStringLiteral(" bytes"),
        QStringLiteral("イメージサイズ: ") + QString::number(width) + u'x' +
            QString::number(height),
    }
        .join(QStringLiteral("\r\n"));
}

void ShowImageInfo(const CResAccount& setting, QWidget* parent) {
    const QString temp = TempFolder() + u'/';
    const QString still = temp + QStringLiteral("capture.bmp");
    {
        PictureBox stillHost; // scratch surface, never shown
        CaptureToFile(still, &stillHost);
    }
    // A failed still leaves no file: the composer's message then gets a line that says why.
    const bool captured = QFileInfo::exists(still);
    // Spaces for both addresses: the composer's placeholder for a reply that is never sent.
    QString failureText;
    if (!ComposeReply(still, temp + QStringLiteral("new.eml"), setting, QStringLiteral(" "),
                      QStringLiteral(" "), false, failureText)) {
        MsgBox(MsgIcon::Critical, AppTitle(),
               (failureText.isEmpty() ? UnknownFailureText : failureText) +
                   (captured ? QString()
                             : QStringLiteral("\r\nカメラから画像を取得できませんでした")));
        return;
    }
    const QString converted = LastStagePaths().Converted;
    const QString output = temp + QStringLiteral("_output_.bin");
    if (DecodeConverted(setting.FormatType, converted, output) != 1)
        return;
    QByteArray bytes;
    if (!LoadBinaryFile(output, bytes) || bytes.size() < kBitmapHeaderSize)
        return;
    const QImage picture = QImage::fromData(bytes, "BMP");
    const qint64 fileSize = QFileInfo(converted).size();
    ClearTempFolder();
    const int width = Int32At(bytes, kBitmapWidthOffset);
    const int height = Int32At(bytes, kBitmapHeightOffset);

    frmDlgImageInfo window(parent);
    window.SetInfo(ImageInfoText(setting.FormatType, fileSize, width, height), picture);
    CentreOnScreen(&window);
    window.exec();
}
