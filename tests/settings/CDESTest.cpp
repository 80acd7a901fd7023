#include "settings/CDES.h"
#include "settings/PasswordCipher.h"

#include <QtEndian>

#include <gtest/gtest.h>

namespace {

CDES KeyedWith(const QByteArray& keyBytes) {
    CDES des;
    des.SetKeyBytes(keyBytes);
    return des;
}

uint64_t Hex64(const char* hex) {
    return QByteArray(hex).toULongLong(nullptr, 16);
}

// An encrypted buffer made by hand: random words 1 and 2, size descriptor, the given bytes
// and zero padding to size bytes, chained as EncryptByte chains them.
QByteArray Crafted(const CDES& des, uint32_t sizeDescriptor, const QByteArray& plain,
                   qsizetype size) {
    QByteArray buffer(size, '\0');
    qToLittleEndian<quint32>(1, buffer.data());
    qToLittleEndian<quint32>(2, buffer.data() + 4);
    qToLittleEndian<quint32>(sizeDescriptor, buffer.data() + 8);
    buffer.replace(12, plain.size(), plain);
    uint64_t previous = 0;
    for (qsizetype offset = 0; offset < size; offset += 8) {
        previous =
            des.EncryptBlock(qFromBigEndian<quint64>(buffer.constData() + offset) ^ previous);
        qToBigEndian<quint64>(previous, buffer.data() + offset);
    }
    return buffer;
}

} // namespace

TEST(CDES, SingleBlocksMatchPublishedVectors) {
    struct Vector {
        QByteArray key;
        const char* plain;
        const char* cipher;
    };
    const Vector vectors[] = {
        // The worked example of the classic DES walkthrough.
        {QByteArray::fromHex("133457799BBCDFF1"), "0123456789ABCDEF", "85E813540F0AB405"},
        // FIPS 81 ECB example ("Now is t").
        {QByteArray::fromHex("0123456789ABCDEF"), "4E6F772069732074", "3FA40E8A984D4815"},
        // NIST SP 800-17 variable plaintext and variable key tests.
        {QByteArray::fromHex("0101010101010101"), "8000000000000000", "95F8A5E5DD31D900"},
        {QByteArray::fromHex("0101010101010101"), "4000000000000000", "DD7F121CA5015619"},
        {QByteArray::fromHex("8001010101010101"), "0000000000000000", "95A8D72813DAA94D"},
    };
    for (const Vector& v : vectors) {
        const CDES des = KeyedWith(v.key);
        EXPECT_EQ(des.EncryptBlock(Hex64(v.plain)), Hex64(v.cipher)) << v.cipher;
        EXPECT_EQ(des.DecryptBlock(Hex64(v.cipher)), Hex64(v.plain)) << v.plain;
    }
}

TEST(CDES, KeyUsesOnlyTheFirstEightBytesAndZeroFillsAShortKey) {
    CDES longKey, eightChars, shortKey;
    longKey.SetKey(QStringLiteral("Tq3-Mv8,KdPz:Wn5Rf2X"));
    eightChars.SetKey(QStringLiteral("Tq3-Mv8,"));
    EXPECT_EQ(longKey.EncryptBlock(0), eightChars.EncryptBlock(0));
    EXPECT_EQ(longKey.EncryptBlock(0), KeyedWith("Tq3-Mv8,").EncryptBlock(0));
    EXPECT_NE(longKey.EncryptBlock(0), KeyedWith("Tq3-Mv8.").EncryptBlock(0));
    shortKey.SetKey(QStringLiteral("ab"));
    EXPECT_EQ(shortKey.EncryptBlock(1), KeyedWith(QByteArray("ab\0\0\0\0\0\0", 8)).EncryptBlock(1));
    // Two Japanese characters are two key bytes: the first two of their four.
    CDES japanese;
    japanese.SetKey(QString::fromUtf8("あい"));
    EXPECT_EQ(japanese.EncryptBlock(1), KeyedWith("\x82\xa0").EncryptBlock(1));
}

TEST(CDES, EncryptedBufferHoldsRandomWordsSizeDescriptorTextAndZeroPadding) {
    CDES des;
    QByteArray bytes("hello");
    des.EncryptByte(bytes, QStringLiteral("somekey!"));
    ASSERT_EQ(bytes.size(), 24);
    // Undo the CBC chain by hand, block by block.
    QByteArray plain;
    uint64_t previous = 0;
    for (int offset = 0; offset < bytes.size(); offset += 8) {
        const uint64_t encrypted = qFromBigEndian<quint64>(bytes.constData() + offset);
        plain += QByteArray(8, '\0');
        qToBigEndian<quint64>(des.DecryptBlock(encrypted) ^ previous, plain.data() + offset);
        previous = encrypted;
    }
    EXPECT_EQ(static_cast<uint8_t>(plain[3]) & 0x80, 0); // words are below 2^31
    EXPECT_EQ(static_cast<uint8_t>(plain[7]) & 0x80, 0);
    EXPECT_EQ(plain.mid(8, 4), QByteArray("\x05\0\0\0", 4));
    EXPECT_EQ(plain.mid(12), QByteArray("hello\0\0\0\0\0\0\0", 12));
}

TEST(CDES, PasswordsRoundTripAndDifferOnEverySave) {
    for (const QString& password :
         {QString(), QStringLiteral("pass"), QStringLiteral("a b=c,d//"),
          QString::fromUtf8("日本語のパスワード"), QStringLiteral("exactly-twelve")}) {
        const QString first = EncryptPassword(password), second = EncryptPassword(password);
        EXPECT_NE(first, second);
        QString back;
        EXPECT_TRUE(DecryptPassword(first, back));
        EXPECT_EQ(back, password);
        EXPECT_TRUE(DecryptPassword(second, back));
        EXPECT_EQ(back, password);
        EXPECT_EQ(first, first.toUpper());
    }
}

TEST(CDES, HexLengthFollowsTheCodePageByteCount) {
    EXPECT_EQ(EncryptPassword(QString()).size(), 32);
    EXPECT_EQ(EncryptPassword(QStringLiteral("abcd")).size(), 32);
    EXPECT_EQ(EncryptPassword(QStringLiteral("abcde")).size(), 48);
    EXPECT_EQ(EncryptPassword(QStringLiteral("abcdefghijkl")).size(), 48);
    EXPECT_EQ(EncryptPassword(QStringLiteral("abcdefghijklm")).size(), 64);
    EXPECT_EQ(EncryptPassword(QString::fromUtf8("あい")).size(), 32);         // 4 bytes
    EXPECT_EQ(EncryptPassword(QString::fromUtf8("あいu")).size(), 48);        // 5 bytes
    EXPECT_EQ(EncryptPassword(QString::fromUtf8("あいうえおか")).size(), 48); // 12 bytes
    EXPECT_EQ(EncryptPassword(QString::fromUtf8("あいうえおかk")).size(), 64);
}

TEST(CDES, LineBreaksPlusAndDotInsideTheHexAreIgnored) {
    const QString hex = EncryptPassword(QStringLiteral("secret"));
    QString broken = hex;
    broken.insert(40, QStringLiteral("."));
    broken.insert(16, QStringLiteral("\r\n"));
    broken.insert(3, QStringLiteral("+"));
    broken.insert(0, QStringLiteral("\r\n"));
    QString back;
    EXPECT_TRUE(DecryptPassword(broken, back));
    EXPECT_EQ(back, QStringLiteral("secret"));
    EXPECT_TRUE(DecryptPassword(hex.toLower(), back));
    EXPECT_EQ(back, QStringLiteral("secret"));
}

TEST(CDES, DamagedStoredTextGivesNoPassword) {
    const QString hex = EncryptPassword(QStringLiteral("secret"));
    QString back = QStringLiteral("unchanged");
    // Not a whole number of blocks: 31 and 47 digits (the odd digit is dropped), 8 bytes.
    for (const QString& damaged : {hex.left(31), hex.left(47), hex.left(16), hex.left(46)}) {
        EXPECT_FALSE(DecryptPassword(damaged, back)) << damaged.toStdString();
        EXPECT_TRUE(back.isEmpty());
    }
    // Whole blocks whose size descriptor does not fit: another key, or a block cut off.
    CDES other;
    EXPECT_FALSE(other.DecryptString(hex, back, QStringLiteral("wrongkey")));
    EXPECT_TRUE(back.isEmpty());
    EXPECT_FALSE(DecryptPassword(hex.left(32), back));
    EXPECT_FALSE(DecryptPassword(QStringLiteral("zz").repeated(16), back));
    // An odd last digit is ignored; no text is no password.
    EXPECT_TRUE(DecryptPassword(hex + QStringLiteral("7"), back));
    EXPECT_EQ(back, QStringLiteral("secret"));
    EXPECT_TRUE(DecryptPassword(QString(), back));
    EXPECT_TRUE(back.isEmpty());
}

TEST(CDES, DecodeReadsPairsAndZeroesNonHexPairs) {
    EXPECT_EQ(CDES::Decode(QStringLiteral("0aFf+1.2\r\nzz3")), QByteArray("\x0a\xff\x12\x00", 4));
    EXPECT_TRUE(CDES::Decode(QString()).isEmpty());
}

TEST(CDES, PasswordsWithTheMostPaddingRoundTrip) {
    // 5 and 13 bytes fill their buffers least: header and padding take 19 bytes.
    for (const QString& password :
         {QStringLiteral("abcde"), QStringLiteral("abcdefghijklm"), QString::fromUtf8("あいu"),
          QString::fromUtf8("あいうえおかk")}) {
        QString back;
        EXPECT_TRUE(DecryptPassword(EncryptPassword(password), back)) << password.toStdString();
        EXPECT_EQ(back, password);
    }
}

TEST(CDES, SizeDescriptorMustLeaveTwelveToNineteenBytesOfHeaderAndPadding) {
    CDES des;
    des.SetKey(QStringLiteral("Tq3-Mv8,"));
    const QByteArray text("abcdefghijklmnopqrstuvwxyzABCDEF");
    struct Case {
        uint32_t sizeDescriptor;
        qsizetype bufferSize;
        bool accepted;
    };
    const Case cases[] = {
        {20, 24, false}, // would read past the end of the buffer
        {20, 40, false}, // leaves 20 bytes, more than a buffer made here pads
        {20, 32, true},          {5, 24, true},           {12, 24, true}, {4, 24, false},
        {13, 24, false},         {0, 16, true},           {4, 16, true},  {5, 16, false},
        {0xFFFFFFFF, 24, false}, {0x80000005, 24, false},
    };
    for (const Case& c : cases) {
        // The buffer's text bytes are text's first ones, whatever the descriptor says.
        const QByteArray plain = text.left(c.bufferSize - 12);
        QByteArray bytes = Crafted(des, c.sizeDescriptor, plain, c.bufferSize);
        const QString hex = QString::fromLatin1(bytes.toHex());
        const bool accepted = des.DecryptByte(bytes);
        EXPECT_EQ(accepted, c.accepted) << c.sizeDescriptor << " in " << c.bufferSize;
        EXPECT_EQ(bytes, accepted ? plain.left(c.sizeDescriptor) : QByteArray());
        // The stored text form is refused the same way.
        QString back;
        EXPECT_EQ(des.DecryptString(hex, back), c.accepted);
        EXPECT_EQ(back.isEmpty(), !c.accepted || c.sizeDescriptor == 0);
    }
}
