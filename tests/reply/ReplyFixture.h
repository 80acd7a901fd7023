#pragma once
// A scratch program folder with the two shared libraries, a still in temp/, the date and the
// boundary fixed through their seams, and Python's email package with Pillow as the reader
// of every reply the tests write.
#include "platform/Clock.h"
#include "platform/ProgramFolder.h"
#include "reply/modSendMail.h"
#include "tests/support/BitmapSamples.h"
#include "tests/support/ScopedHook.h"
#include "tests/support/ScratchProgramFolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTimeZone>
#include <gtest/gtest.h>

// Monday 1 November 2027, 09:05:07 at +09:00.
inline QDateTime FixedMoment() {
    return QDateTime(QDate(2027, 11, 1), QTime(9, 5, 7), QTimeZone(9 * 3600));
}

// Draws 0.25, 0.5 and 0.75 over and over: boundary "-----=_NextPart_250000_500000_749999".
inline UniformRandom FixedRandom() {
    return [n = 0]() mutable { return 0.25 * (n++ % 3 + 1); };
}

inline const QString FixedBoundary = QStringLiteral("-----=_NextPart_250000_500000_749999");

// What Python and Pillow read in one reply file.
struct MailReport {
    QJsonObject json;
    QByteArray attachment;
};

class ReplyFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.CopyBuiltLibraries());
        WriteWholeFile(Temp("capture.bmp"), MakeBitmap(64, 48));
    }

    static QString Temp(const QString& name) { return TempFolder() + u'/' + name; }

    MailReport Probe(const QString& replyPath) const {
        const QString attachment = folder.Path() + QStringLiteral("/probe_attachment.bin");
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(VISTREL_SOURCE_DIR "/tests/reply/mail_probe.py"), replyPath,
                      attachment});
        EXPECT_TRUE(python.waitForFinished(60000));
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        return {QJsonDocument::fromJson(python.readAllStandardOutput()).object(),
                ReadWholeFile(attachment)};
    }

    // The reply at replyPath as an independent reader sees it: no defects, 7-bit, two parts,
    // the body and the image as they should be. expectedText is the decoded text part; the
    // attachment must equal converted unless that is null (the stage files are gone).
    void ExpectSoundReply(const QString& replyPath, const QByteArray& converted,
                          const QString& expectedText, const QString& format, int width,
                          int height) const {
        const MailReport report = Probe(replyPath);
        const QJsonObject& json = report.json;
        EXPECT_EQ(json[QStringLiteral("defects")].toArray(), QJsonArray())
            << replyPath.toStdString();
        EXPECT_FALSE(json[QStringLiteral("eight_bit")].toBool());
        EXPECT_FALSE(json[QStringLiteral("bare_line_feed")].toBool());
        EXPECT_LE(json[QStringLiteral("longest_line")].toInt(), 78);
        EXPECT_EQ(json[QStringLiteral("content_type")].toString(),
                  QStringLiteral("multipart/mixed"));
        const QJsonArray parts = json[QStringLiteral("parts")].toArray();
        ASSERT_EQ(parts.size(), 2);
        EXPECT_EQ(parts[0].toString(), QStringLiteral("text/plain"));
        EXPECT_EQ(json[QStringLiteral("charset")].toString(), QStringLiteral("iso-2022-jp"));
        EXPECT_EQ(json[QStringLiteral("text")].toString(), expectedText);
        EXPECT_EQ(json[QStringLiteral("attachment_type")].toString(),
                  QStringLiteral("image/") + format.toLower());
        if (!converted.isNull()) {
            EXPECT_EQ(report.attachment, converted);
        }
        const QJsonObject image = json[QStringLiteral("image")].toObject();
        EXPECT_EQ(image[QStringLiteral("format")].toString(), format);
        EXPECT_EQ(image[QStringLiteral("width")].toInt(), width);
        EXPECT_EQ(image[QStringLiteral("height")].toInt(), height);
    }

    ScratchProgramFolder folder;
    ScopedHook<LocalClock> clock{&SetLocalClock, [] { return FixedMoment(); }};
    ScopedHook<UniformRandom> random{&SetBoundaryRandom, FixedRandom()};
};
