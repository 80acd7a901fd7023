// The composer on real stills with the real image and codec libraries: the reply file byte for
// byte, every step's failure, the stage paths and the clean-up, each reply read back by
// Python's email package and Pillow.
#include "ReplyFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Every step but colour reduction: smooth reduction to 16 wide, a quarter turn, PNG; a
// Japanese subject and a body with half-width katakana and lines that begin with dots.
CResAccount GoldenSetting() {
    CResAccount setting;
    setting.ReductionWidth = 16;
    setting.ReductionType = 1;
    setting.RotationType = 1;
    setting.FormatType = 1;
    setting.SendMail_Subject =
        QString::fromUtf8("カメラの画像です (CAM) ご確認のほど宜しくお願い申し上げます");
    setting.SendMail_Body = QString::fromUtf8("ご依頼の写真です。\nｶﾒﾗ test\n.note\n.\n..two");
    return setting;
}
const char* GoldenText = "ご依頼の写真です。\nカメラ test\n.note\n.\n..two\n";

// No image step at all: the still goes straight to the JPEG encoder.
CResAccount AllStepsOff() {
    CResAccount setting;
    setting.DoReduction = 0;
    setting.SendMail_Body = QStringLiteral("photo");
    return setting;
}

QString Temp(const char* name) {
    return TempFolder() + u'/' + QLatin1String(name);
}

QString PathsText(const StagePaths& p) {
    return QStringList{p.Source, p.Reduced, p.Rotated, p.ColorReduced, p.Converted, p.Encoded}.join(
        u'|');
}

// The six paths, the middle three named by the file each stage should name: "src" for the
// still, otherwise a file of temp/.
QString Expected(const char* reduced, const char* rotated, const char* colourReduced) {
    auto path = [](const char* name) {
        return Temp(QLatin1String(name) == QLatin1String("src") ? "capture.bmp" : name);
    };
    return QStringList{Temp("capture.bmp"), path(reduced),         path(rotated),
                       path(colourReduced), Temp("converted.bin"), Temp("b64enc.asc")}
        .join(u'|');
}

const char* const NoStage[] = {"capture_rs.bin", "capture_rs_ro.bin", "capture_rs_ro_256.bin"};

class ComposeReply : public ReplyFixture {
  protected:
    bool Compose(const CResAccount& setting, bool deleteTemporaries, QString& retFailure,
                 const QString& from = QStringLiteral("cam@example.com"),
                 const QString& to = QStringLiteral("bob@example.net")) {
        return ::ComposeReply(Temp("capture.bmp"), Temp("new.eml"), setting, from, to,
                              deleteTemporaries, retFailure);
    }
};

} // namespace

TEST_F(ComposeReply, WritesTheGoldenReplyByteForByte) {
    QString failure = QStringLiteral("stale");
    ASSERT_TRUE(Compose(GoldenSetting(), false, failure));
    EXPECT_EQ(failure, QString());
    const QByteArray written = ReadWholeFile(Temp("new.eml"));
    const QByteArray golden =
        ReadWholeFile(QStringLiteral(VISTREL_SOURCE_DIR "/tests/data/reply/reply_png.eml"));
    if (written != golden)
        WriteWholeFile(QDir::current().filePath(QStringLiteral("reply_png.eml.actual")), written);
    EXPECT_EQ(written, golden) << "the reply written is in reply_png.eml.actual";
    EXPECT_EQ(PathsText(LastStagePaths()),
              Expected("capture_rs.bin", "capture_rs_ro.bin", "capture_rs_ro.bin"));
    ExpectSoundReply(Temp("new.eml"), ReadWholeFile(Temp("converted.bin")),
                     QString::fromUtf8(GoldenText), QStringLiteral("PNG"), 12, 16);
    const MailReport report = Probe(Temp("new.eml"));
    EXPECT_EQ(report.json[QStringLiteral("subject")].toString(), GoldenSetting().SendMail_Subject);
    EXPECT_EQ(report.json[QStringLiteral("filename")].toString(), QStringLiteral("capture.png"));
    // The dry run keeps every stage file.
    for (const char* name :
         {"capture.bmp", "capture_rs.bin", "capture_rs_ro.bin", "converted.bin", "b64enc.asc"})
        EXPECT_TRUE(QFileInfo::exists(Temp(name))) << name;
    EXPECT_FALSE(QFileInfo::exists(Temp("capture_rs_ro_256.bin")));
}

TEST_F(ComposeReply, EachFormatAndColourDepthGivesAReplyThatReadsBack) {
    struct Case {
        int reduction, rotation, colorBit, format;
        const char* pillowFormat;
        int width, height;
        const char* reduced;
        const char* rotated;
        const char* colourReduced;
    };
    const Case cases[] = {
        {40, 0, 24, 0, "JPEG", 40, 30, "capture_rs.bin", "capture_rs.bin", "capture_rs.bin"},
        {32, 2, 8, 2, "GIF", 32, 24, "capture_rs.bin", "capture_rs_ro.bin",
         "capture_rs_ro_256.bin"},
        {0, 3, 8, 1, "PNG", 48, 64, "src", "capture_rs_ro.bin", "capture_rs_ro_256.bin"},
    };
    for (const Case& c : cases) {
        CResAccount setting;
        setting.DoReduction = c.reduction > 0;
        setting.ReductionWidth = c.reduction;
        setting.RotationType = c.rotation;
        setting.ColorBit = c.colorBit;
        setting.FormatType = c.format;
        setting.JPEGProgressive = 1;
        setting.SendMail_Body = QString::fromUtf8("写真 photo");
        QString failure;
        ASSERT_TRUE(Compose(setting, false, failure)) << c.pillowFormat;
        EXPECT_EQ(PathsText(LastStagePaths()), Expected(c.reduced, c.rotated, c.colourReduced));
        ExpectSoundReply(Temp("new.eml"), ReadWholeFile(Temp("converted.bin")),
                         QString::fromUtf8("写真 photo\n"), QLatin1String(c.pillowFormat), c.width,
                         c.height);
    }
}

TEST_F(ComposeReply, WithAllStepsOffTheStillGoesStraightToJpegAndIsDeleted) {
    QString failure;
    ASSERT_TRUE(Compose(AllStepsOff(), true, failure));
    EXPECT_EQ(PathsText(LastStagePaths()), Expected("src", "src", "src"));
    // The still is deleted at its first mention; its repeats fail silently.
    for (const char* name : {"capture.bmp", "converted.bin", "b64enc.asc"})
        EXPECT_FALSE(QFileInfo::exists(Temp(name))) << name;
    for (const char* name : NoStage)
        EXPECT_FALSE(QFileInfo::exists(Temp(name))) << name;
    ExpectSoundReply(Temp("new.eml"), QByteArray(), QStringLiteral("photo\n"),
                     QStringLiteral("JPEG"), 64, 48);
}

TEST_F(ComposeReply, DeletingTemporariesRemovesEveryStageButNeverTheReply) {
    CResAccount setting = GoldenSetting();
    setting.ColorBit = 8;
    QString failure;
    ASSERT_TRUE(Compose(setting, true, failure));
    EXPECT_EQ(PathsText(LastStagePaths()),
              Expected("capture_rs.bin", "capture_rs_ro.bin", "capture_rs_ro_256.bin"));
    EXPECT_EQ(QDir(TempFolder()).entryList(QDir::Files), QStringList{QStringLiteral("new.eml")});
    ExpectSoundReply(Temp("new.eml"), QByteArray(), QString::fromUtf8(GoldenText),
                     QStringLiteral("PNG"), 12, 16);
}

TEST_F(ComposeReply, ALongAsciiSubjectReadsBackWholeFromShortLines) {
    const QString subjects[] = {
        QStringLiteral("Camera  photo ").repeated(86).chopped(1), // 1,203 characters
        QStringLiteral("R").repeated(1200),                       // one word too long for a line
        QStringLiteral("see ") + QString(100, u'-') + " ok",      // a long word among short ones
    };
    for (const QString& subject : subjects) {
        CResAccount setting = AllStepsOff();
        setting.SendMail_Subject = subject;
        QString failure;
        ASSERT_TRUE(Compose(setting, false, failure));
        // No defect and no line over 78; Python unfolds the subject to the same text.
        ExpectSoundReply(Temp("new.eml"), ReadWholeFile(Temp("converted.bin")),
                         QStringLiteral("photo\n"), QStringLiteral("JPEG"), 64, 48);
        EXPECT_EQ(Probe(Temp("new.eml")).json[QStringLiteral("subject")].toString(), subject);
    }
}

TEST_F(ComposeReply, EachFailingStepEndsTheRunWithItsText) {
    const QByteArray notABitmap("this is no bitmap");
    struct Case {
        const char* what;
        std::function<void(CResAccount&)> change;
        bool brokenStill;
        const QString& text;
        const char* reduced;
        const char* rotated;
        const char* colourReduced;
    };
    const Case cases[] = {
        {"reduction type 2", [](CResAccount& s) { s.ReductionType = 2; }, false,
         ReductionFailedText, NoStage[0], NoStage[1], NoStage[2]},
        {"unreadable still", [](CResAccount&) {}, true, ReductionFailedText, NoStage[0], NoStage[1],
         NoStage[2]},
        {"rotation type 4", [](CResAccount& s) { s.RotationType = 4; }, false, RotationFailedText,
         NoStage[0], NoStage[1], NoStage[2]},
        {"rotation type -1", [](CResAccount& s) { s.RotationType = -1; }, false, RotationFailedText,
         NoStage[0], NoStage[1], NoStage[2]},
        {"unrotatable still",
         [](CResAccount& s) {
             s.DoReduction = 0;
             s.RotationType = 1;
         },
         true, RotationFailedText, "src", NoStage[1], NoStage[2]},
        {"unreducible colours",
         [](CResAccount& s) {
             s.DoReduction = 0;
             s.ColorBit = 8;
         },
         true, ColorReductionFailedText, "src", "src", NoStage[2]},
        {"format type 3", [](CResAccount& s) { s.FormatType = 3; }, false, FormatFailedText,
         NoStage[0], "capture_rs.bin", "capture_rs.bin"},
        {"unconvertible still", [](CResAccount& s) { s.DoReduction = 0; }, true, FormatFailedText,
         "src", "src", "src"},
    };
    for (const Case& c : cases) {
        WriteWholeFile(Temp("new.eml"), "an earlier reply");
        WriteWholeFile(Temp("capture.bmp"), c.brokenStill ? notABitmap : MakeBitmap(64, 48));
        CResAccount setting;
        setting.ReductionWidth = 32; // a reduction, not an enlargement
        c.change(setting);
        QString failure = QStringLiteral("stale");
        EXPECT_FALSE(Compose(setting, false, failure)) << c.what;
        EXPECT_EQ(failure, c.text) << c.what;
        EXPECT_EQ(PathsText(LastStagePaths()), Expected(c.reduced, c.rotated, c.colourReduced))
            << c.what;
        // A failed run leaves the reply of the run before it.
        EXPECT_EQ(ReadWholeFile(Temp("new.eml")), QByteArray("an earlier reply")) << c.what;
    }
}

TEST_F(ComposeReply, AnEncoderThatCannotWriteFailsAtTheEncodingStep) {
    ASSERT_TRUE(QDir(TempFolder()).mkdir(QStringLiteral("b64enc.asc")));
    QString failure;
    EXPECT_FALSE(Compose(AllStepsOff(), true, failure));
    EXPECT_EQ(failure, EncodeFailedText);
    EXPECT_EQ(PathsText(LastStagePaths()), Expected("src", "src", "src"));
    // The clean-up still runs: the still and the converted file are gone, the folder stays.
    EXPECT_FALSE(QFileInfo::exists(Temp("capture.bmp")));
    EXPECT_FALSE(QFileInfo::exists(Temp("converted.bin")));
    EXPECT_TRUE(QFileInfo(Temp("b64enc.asc")).isDir());
}

TEST_F(ComposeReply, AReplyFileThatCannotBeWrittenFailsWithoutText) {
    ASSERT_TRUE(QDir(TempFolder()).mkdir(QStringLiteral("new.eml")));
    QString failure = QStringLiteral("stale");
    EXPECT_FALSE(Compose(AllStepsOff(), false, failure));
    EXPECT_EQ(failure, QString());
    EXPECT_EQ(PathsText(LastStagePaths()), Expected("src", "src", "src"));
    EXPECT_TRUE(QFileInfo(Temp("new.eml")).isDir());
}

TEST_F(ComposeReply, HeaderAddressesThatCouldBreakTheHeaderAreRefusedByName) {
    // Each address, and how the failure text shows it.
    const std::pair<const char*, const char*> refused[] = {
        {"bob@example.net\r\nBcc: eve@example.org", "bob@example.net??Bcc: eve@example.org"},
        {"bob@example.net\n", "bob@example.net?"},
        {"bob smith@example.net", "bob smith@example.net"},
        {"<bob@example.net>", "<bob@example.net>"},
        {"bob@example.net>", "bob@example.net>"},
        {"bob\x01@example.net", "bob?@example.net"},
        {"bob\x7f@example.net", "bob?@example.net"},
        {"\tbob@example.net", "\tbob@example.net"},
        {"\r\n", "??"},
        {" \n", " ?"},
        {"bob@ex\xc3\xa4mple.net", "bob@ex\xc3\xa4mple.net"}, // 8-bit in a 7bit message
        {"\xe5\xa4\xaa\xe9\x83\x8e@example.jp", "\xe5\xa4\xaa\xe9\x83\x8e@example.jp"},
    };
    for (const auto& [address, shown] : refused) {
        for (const bool asSender : {true, false}) {
            WriteWholeFile(Temp("capture.bmp"), MakeBitmap(64, 48));
            WriteWholeFile(Temp("new.eml"), "an earlier reply");
            QString failure = QStringLiteral("stale");
            const QString bad = QString::fromUtf8(address);
            const QString good = QStringLiteral("cam@example.com");
            EXPECT_FALSE(
                Compose(AllStepsOff(), true, failure, asSender ? bad : good, asSender ? good : bad))
                << address;
            const QString& text = asSender ? SenderAddressRefusedText : RecipientAddressRefusedText;
            EXPECT_EQ(failure, text + u'"' + QString::fromUtf8(shown) + u'"') << address;
            EXPECT_EQ(ReadWholeFile(Temp("new.eml")), QByteArray("an earlier reply")) << address;
            // Refused before the first step, and still cleaned up.
            EXPECT_EQ(PathsText(LastStagePaths()), Expected(NoStage[0], NoStage[1], NoStage[2]));
            EXPECT_FALSE(QFileInfo::exists(Temp("capture.bmp")));
        }
    }
    // A NUL inside the text, as a hostile header could carry it.
    QString failure;
    EXPECT_FALSE(Compose(AllStepsOff(), false, failure,
                         QStringLiteral("cam@example.com") + QChar(0) + QStringLiteral("x")));
}

TEST_F(ComposeReply, TheImageInfoWindowsBlankAddressesAreAccepted) {
    QString failure;
    ASSERT_TRUE(::ComposeReply(Temp("capture.bmp"), Temp("new.eml"), AllStepsOff(),
                               QStringLiteral(" "), QStringLiteral(" "), false, failure));
    const QByteArray reply = ReadWholeFile(Temp("new.eml"));
    EXPECT_TRUE(reply.startsWith("From:  \r\nTo:  \r\nSubject: \r\n"))
        << reply.left(40).constData();
    // The placeholder has no domain to make a Message-ID of.
    EXPECT_FALSE(reply.contains("Message-ID:"));
    ExpectSoundReply(Temp("new.eml"), ReadWholeFile(Temp("converted.bin")),
                     QStringLiteral("photo\n"), QStringLiteral("JPEG"), 64, 48);
}

TEST_F(ComposeReply, AMissingTempFolderIsCreated) {
    const QString still = folder.Path() + QStringLiteral("/still.bmp");
    WriteWholeFile(still, MakeBitmap(64, 48));
    ASSERT_TRUE(QDir(TempFolder()).removeRecursively());
    QString failure;
    ASSERT_TRUE(::ComposeReply(still, folder.Path() + QStringLiteral("/reply.eml"), AllStepsOff(),
                               QStringLiteral("cam@example.com"), QStringLiteral("bob@example.net"),
                               false, failure));
    EXPECT_EQ(LastStagePaths().Source, still);
    EXPECT_EQ(LastStagePaths().Reduced, still);
    ExpectSoundReply(folder.Path() + QStringLiteral("/reply.eml"),
                     ReadWholeFile(Temp("converted.bin")), QStringLiteral("photo\n"),
                     QStringLiteral("JPEG"), 64, 48);
}
