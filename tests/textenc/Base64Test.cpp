#include "textenc/modConvBase64.h"

#include "tests/support/MsgBoxRecorder.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

QByteArray Decode(const char* text, bool strip = false) {
    InitBase64();
    return DecodeBase64Text(QString::fromLatin1(text), strip);
}

} // namespace

TEST(Base64DeathTest, DecodingBeforeInitShowsTheBoxAndGivesNothing) {
    // The tables live for the whole run once built, so the check runs in a fresh process.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            MsgBoxRecorder recorder;
            const QByteArray bytes = DecodeBase64Text(QStringLiteral("TWFu"), false);
            const bool ok =
                bytes.isEmpty() && recorder.Boxes().size() == 1 &&
                recorder.Boxes()[0].icon == MsgIcon::Critical &&
                recorder.Boxes()[0].text == QStringLiteral("先にInitBase64を呼び出して下さい");
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(Base64, WholeGroupsDecodeAsTheStandardAlphabet) {
    QByteArray alphabet;
    for (char c = 'A'; c <= 'Z'; ++c)
        alphabet += c;
    for (char c = 'a'; c <= 'z'; ++c)
        alphabet += c;
    for (char c = '0'; c <= '9'; ++c)
        alphabet += c;
    alphabet += "+/";
    EXPECT_EQ(Decode(alphabet.constData()), QByteArray::fromBase64(alphabet));
    EXPECT_EQ(Decode("Zm9vYmFy"), QByteArray("foobar"));
    EXPECT_TRUE(Decode("").isEmpty());
}

TEST(Base64, PadAndForeignBytesCountAsZeroBits) {
    // A group ending in "=" gives one zero byte, "==" two: 4k characters are always 3k bytes.
    EXPECT_EQ(Decode("Zm8="), QByteArray("fo\0", 3));
    EXPECT_EQ(Decode("Zg=="), QByteArray("f\0\0", 3));
    // A blank is six zero bits, not skipped; bits short of a byte at the end are dropped.
    EXPECT_EQ(Decode("TW Fu"), QByteArray::fromBase64("TWAF"));
    EXPECT_EQ(Decode("TWFu\r\n").size(), 4);
    // Same bits, different last character.
    EXPECT_EQ(Decode("GyRCJCIbKEI="), Decode("GyRCJCIbKEIA"));
}

TEST(Base64, StripsTheEncodedWordOnlyWhenAskedAndPresent) {
    EXPECT_EQ(Decode("=?ISO-2022-JP?B?TWFu?=", true), QByteArray("Man"));
    EXPECT_EQ(Decode("=?iso-2022-jp?b?TWFu?=", true), QByteArray("Man"));
    EXPECT_EQ(Decode("=?ISO-2022-JP?B?TWFu", true), QByteArray("Man"));
    EXPECT_TRUE(Decode("=?ISO-2022-JP?B?\?=", true).isEmpty());
    // Without the prefix the closing "?=" stays and decodes as zero bits.
    EXPECT_EQ(Decode("TWFu?=", true), QByteArray("Man\0", 4));
    EXPECT_EQ(Decode("=?ISO-2022-JP?B?TWFu?=", false).size(), 22 * 6 / 8);
}

TEST(Base64, PrefixTestIgnoresLetterCaseOnly) {
    EXPECT_TRUE(StartsWithJisBase64Prefix("=?ISO-2022-JP?B?"));
    EXPECT_TRUE(StartsWithJisBase64Prefix("=?Iso-2022-Jp?b?xyz"));
    EXPECT_FALSE(StartsWithJisBase64Prefix("=?ISO-2022-JP?Q?xyz"));
    EXPECT_FALSE(StartsWithJisBase64Prefix("=?ISO-2022-JP?B"));
    EXPECT_FALSE(StartsWithJisBase64Prefix(QByteArray("=?ISO-2022-JP\0B?", 16)));
    EXPECT_FALSE(StartsWithJisBase64Prefix(" =?ISO-2022-JP?B?"));
}
