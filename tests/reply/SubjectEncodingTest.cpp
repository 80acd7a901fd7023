// The reply's Subject: printable ASCII as it is, anything else as folded ISO-2022-JP encoded
// words that the program's own DecodeSubject reads back.
#include "platform/CodePage.h"
#include "reply/modSendMail.h"
#include "textenc/EncodedWords.h"
#include "textenc/MailJis.h"
#include "textenc/modConvBase64.h"
#include "textenc/modConvXJIS.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QString SubjectName = QStringLiteral("Subject: ");

// The header line as the composer writes it, cut at its folds.
QStringList HeaderLines(const QString& subject) {
    return (SubjectName + EncodeHeaderText(subject, SubjectName.size()))
        .split(QStringLiteral("\r\n"));
}

// The value unfolded as the mail check unfolds a header: CR LF and the space after it go.
QString UnfoldedAsTheMailCheckDoes(const QString& value) {
    return QString(value).remove(QStringLiteral("\r\n\t")).remove(QStringLiteral("\r\n "));
}

} // namespace

TEST(SubjectEncoding, PrintableAsciiGoesOutAsItIs) {
    for (const char* subject : {"", "CAM photo", "Re: [cam] 1/2 ~ok~", "=?not a word?="})
        EXPECT_EQ(EncodeHeaderText(QString::fromLatin1(subject), 9), QString::fromLatin1(subject));
}

TEST(SubjectEncoding, ASingleKanaIsTheKnownWord) {
    EXPECT_EQ(EncodeHeaderText(QString::fromUtf8("あ"), 9),
              QStringLiteral("=?ISO-2022-JP?B?GyRCJCIbKEI=?="));
}

TEST(SubjectEncoding, WordsAreWholeJisTextsOnLinesOfAtMost78Characters) {
    const char* subjects[] = {
        "カメラの写真",
        "Re: カメラ CAM の写真をお送りします",
        "ご依頼のありました監視カメラの現在の画像をお送りいたします。ご確認のほど宜しくお願い申し上"
        "げます。ABC def ghi 写真 1234567890",
        "ｶﾒﾗ ｼｬｼﾝ",                        // half-width katakana
        "写真\r\nBcc: victim@example.com", // a line end cannot break the header
        "①髙 😀 x",                         // characters beyond the repertoire
    };
    const QRegularExpression word(QStringLiteral("^=\\?ISO-2022-JP\\?B\\?([A-Za-z0-9+/=]+)\\?=$"));
    for (const char* utf8 : subjects) {
        const QString subject = QString::fromUtf8(utf8);
        const QStringList lines = HeaderLines(subject);
        QString decoded;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            EXPECT_LE(lines[i].size(), 78) << utf8;
            QString value = lines[i];
            // The first line holds the header name, each later one begins with its fold.
            ASSERT_TRUE(value.startsWith(i == 0 ? SubjectName : QStringLiteral(" "))) << utf8;
            value = value.mid(i == 0 ? SubjectName.size() : 1);
            EXPECT_LE(value.size(), 75);
            const QRegularExpressionMatch match = word.match(value);
            ASSERT_TRUE(match.hasMatch()) << value.toStdString();
            InitBase64();
            const QByteArray jis = DecodeBase64Text(match.captured(1), false);
            const QByteArray trimmed =
                jis.left(jis.indexOf('\0') < 0 ? jis.size() : jis.indexOf('\0'));
            EXPECT_TRUE(std::all_of(trimmed.begin(), trimmed.end(), [](char c) { return c > 0; }));
            // Each word ends in ASCII: after its last ESC $ B comes an ESC ( B.
            const qsizetype lastRun = trimmed.lastIndexOf("\x1b$B");
            if (lastRun >= 0) {
                EXPECT_GE(trimmed.indexOf("\x1b(B", lastRun), 0) << utf8;
            }
            decoded += QString::fromLatin1(trimmed);
        }
        EXPECT_EQ(FromCodePage932(JisToSjis(decoded.toLatin1())), ToJisRepertoire(subject)) << utf8;
    }
}

TEST(SubjectEncoding, DecodeSubjectReadsTheFoldedWordsBack) {
    const std::pair<const char*, const char*> cases[] = {
        {"あ", "あ"},
        {"カメラの写真", "カメラの写真"},
        {"Re: カメラ  CAM の写真 ", "Re: カメラ  CAM の写真 "},
        {"ｶﾒﾗ ｼｬｼﾝ", "カメラ シャシン"},
        {"ご依頼のありました監視カメラの現在の画像をお送りいたします。ご確認のほど宜しくお願い申し"
         "上げます。",
         "ご依頼のありました監視カメラの現在の画像をお送りいたします。ご確認のほど宜しくお願い申し"
         "上げます。"},
        {"写真\r\nBcc: x", "写真〓〓Bcc: x"},
    };
    for (const auto& [in, out] : cases) {
        const QString value = EncodeHeaderText(QString::fromUtf8(in), SubjectName.size());
        EXPECT_EQ(DecodeSubject(UnfoldedAsTheMailCheckDoes(value)), QString::fromUtf8(out)) << in;
        // Unfolded with the space kept, as RFC 5322 unfolds.
        EXPECT_EQ(DecodeSubject(QString(value).remove(QStringLiteral("\r\n"))),
                  QString::fromUtf8(out))
            << in;
    }
}

TEST(SubjectEncoding, LongAsciiIsFoldedBeforeABlankAndARunTooLongIsEncoded) {
    const QString words = QStringLiteral("word ").repeated(240).chopped(1); // 1199 characters
    const QString x60(60, u'x');
    struct Case {
        QString subject;
        QString value; // empty: only the shape is checked
        bool encoded;
    };
    const Case cases[] = {
        {QString(69, u'x'), QString(69, u'x'), false}, // a line of exactly 78
        {x60 + " yyyyyyyyyy", x60 + "\r\n yyyyyyyyyy", false},
        // The fold goes before the last blank of a run, so no line is blanks alone.
        {x60 + "       yyyyyyyyyy", x60 + "      \r\n yyyyyyyyyy", false},
        {words, QString(), false},
        {QString(1200, u'a'), QString(), true},
        {QStringLiteral("Re: ") + QString(78, u'b') + " c", QString(), true},
    };
    for (const Case& c : cases) {
        const QString value = EncodeHeaderText(c.subject, SubjectName.size());
        if (!c.value.isEmpty()) {
            EXPECT_EQ(value, c.value);
        }
        const QStringList lines = HeaderLines(c.subject);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            EXPECT_LE(lines[i].size(), 78) << c.subject.left(20).toStdString();
            // A fold is a blank, then a word: no line of blanks alone.
            if (i > 0) {
                EXPECT_TRUE(lines[i].startsWith(u' ') && !lines[i].trimmed().isEmpty());
            }
        }
        EXPECT_EQ(value.startsWith(QStringLiteral("=?ISO-2022-JP?B?")), c.encoded);
        // Unfolded as RFC 5322 unfolds, the subject comes back whole.
        const QString unfolded = QString(value).remove(QStringLiteral("\r\n"));
        EXPECT_EQ(c.encoded ? DecodeSubject(unfolded) : unfolded, c.subject);
    }
    EXPECT_GT(HeaderLines(words).size(), 15);
}
