#include "mailcheck/CCryptMD5.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(CCryptMD5, GivesTheDigestsOfTheRfc1321TestSuiteInUpperCase) {
    const std::pair<const char*, const char*> suite[] = {
        {"", "D41D8CD98F00B204E9800998ECF8427E"},
        {"a", "0CC175B9C0F1B6A831C399E269772661"},
        {"abc", "900150983CD24FB0D6963F7D28E17F72"},
        {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
        {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "D174AB98D277D9F5A5611C2C9F419D9F"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57EDF4A22BE3C955AC49DA2E2107B67A"}};
    CCryptMD5 md5;
    for (const auto& [text, digest] : suite)
        EXPECT_EQ(md5.DigestStrToHexStr(QString::fromLatin1(text)), QLatin1String(digest)) << text;
}

TEST(CCryptMD5, PadsCorrectlyAroundTheBlockBoundary) {
    const std::pair<int, const char*> cases[] = {
        {55, "6E7A4FC92EB1C3F6E652425BCC8D44B5"}, {56, "8AF270B2847610E742B0791B53648C09"},
        {57, "C620BACE4CDE41BC45A14CFA62EE3487"}, {63, "C5E256437E758092DBFE06283E489019"},
        {64, "7F7BFD348709DEEAACE19E3F535F8C54"}, {65, "BEB9F48BC802CA5CA043BCC15E219A5A"}};
    const QString digits = QStringLiteral("0123456789").repeated(10);
    CCryptMD5 md5;
    for (const auto& [length, digest] : cases)
        EXPECT_EQ(md5.DigestStrToHexStr(digits.left(length)), QLatin1String(digest)) << length;
}

TEST(CCryptMD5, GivesTheApopDigestOfRfc1939sExample) {
    CCryptMD5 md5;
    EXPECT_EQ(md5.DigestStrToHexStr(QStringLiteral("<1896.697170952@dbc.mtview.ca.us>tanstaaf"))
                  .toLower(),
              QStringLiteral("c4c9334bac560ecc979e58001b3e22fb"));
}

TEST(CCryptMD5, TakesJapaneseTextAsItsCodePage932Bytes) {
    CCryptMD5 md5;
    EXPECT_EQ(md5.DigestStrToHexStr(QString::fromUtf8("ｱｲ")),
              QStringLiteral("306FB5B1FCCE81F26672FFC579E20DF6"));
    EXPECT_EQ(md5.DigestStrToHexStr(QString::fromUtf8("あ")),
              QStringLiteral("8F03C3A6DBEC1D0F1A5AF60947B7B052"));
}

TEST(CCryptMD5, KeepsItsLimits) {
    CCryptMD5 md5;
    EXPECT_EQ(md5.DigestStrToHexStr(QString(CCryptMD5::MaxStringChars, u'x')).size(), 32);
    EXPECT_TRUE(md5.DigestStrToHexStr(QString(CCryptMD5::MaxStringChars + 1, u'x')).isEmpty());

    // Longer input goes in several calls; a call past a limit feeds nothing.
    md5.MD5Init();
    const QByteArray x(40000, 'x');
    EXPECT_FALSE(md5.MD5Update(40000, x));
    EXPECT_FALSE(md5.MD5Update(-1, x));
    EXPECT_FALSE(md5.MD5Update(10, QByteArray("short")));
    EXPECT_TRUE(md5.MD5Update(CCryptMD5::MaxUpdateBytes, x));
    EXPECT_TRUE(md5.MD5Update(40000 - CCryptMD5::MaxUpdateBytes, x));
    md5.MD5Final();
    EXPECT_EQ(md5.GetValues(), QStringLiteral("33766CD480DE06A6B2E053EB8F67583E"));
}

TEST(CCryptMD5, StreamsInPiecesOfAnySize) {
    const QByteArray text("The quick brown fox jumps over the lazy dog, twice over: The quick "
                          "brown fox jumps over the lazy dog.");
    CCryptMD5 whole;
    const QString expected = whole.DigestStrToHexStr(QString::fromLatin1(text));
    for (int piece : {1, 7, 63, 64, 65}) {
        CCryptMD5 md5;
        md5.MD5Init();
        for (qsizetype at = 0; at < text.size(); at += piece) {
            const QByteArray part = text.mid(at, piece);
            ASSERT_TRUE(md5.MD5Update(static_cast<int>(part.size()), part));
        }
        md5.MD5Final();
        EXPECT_EQ(md5.GetValues(), expected) << piece;
    }
}

TEST(CCryptMD5, ShowsTheRegistersAsSignedDecimals) {
    CCryptMD5 md5;
    md5.MD5Init();
    EXPECT_EQ(md5.RegisterA(), QStringLiteral("1732584193"));
    EXPECT_EQ(md5.RegisterB(), QStringLiteral("-271733879"));
    EXPECT_EQ(md5.RegisterC(), QStringLiteral("-1732584194"));
    EXPECT_EQ(md5.RegisterD(), QStringLiteral("271733878"));
    EXPECT_EQ(md5.GetValues(), QStringLiteral("0123456789ABCDEFFEDCBA9876543210"));
}

TEST(CCryptMD5, RotatesLeftModulo32) {
    EXPECT_EQ(CCryptMD5::LongLeftRotate(0x80000001u, 32), 0x80000001u);
    EXPECT_EQ(CCryptMD5::LongLeftRotate(0x80000001u, 33), 0x00000003u);
    EXPECT_EQ(CCryptMD5::LongLeftRotate(0x80000001u, 0), 0x80000001u);
    EXPECT_EQ(CCryptMD5::LongLeftRotate(0x12345678u, 4), 0x23456781u);
}

TEST(CCryptMD5, DigestsAFileInWholeBlocks) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bytes.bin"));
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(static_cast<char>(b));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    CCryptMD5 md5;
    EXPECT_EQ(md5.DigestFileToHexStr(path, 0), QStringLiteral("E2C865DB4162BED963BFAA9EF6AC18F0"));
    // Reading stops after the block that reaches MaxBytes: 100 bytes asked, 128 fed.
    EXPECT_EQ(md5.DigestFileToHexStr(path, 100),
              QStringLiteral("37EFF01866BA3F538421B30B7CBEFCAC"));
    EXPECT_EQ(md5.DigestFileToHexStr(path, 1000),
              QStringLiteral("E2C865DB4162BED963BFAA9EF6AC18F0"));
    EXPECT_TRUE(md5.DigestFileToHexStr(dir.filePath(QStringLiteral("missing.bin")), 0).isEmpty());
    EXPECT_TRUE(md5.DigestFileToHexStr(dir.path(), 0).isEmpty());
}
