#include "textenc/EncodedWords.h"

#include "textenc/MailCharset.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
    const char* in;
    const char* out;
};

void ExpectDecodes(const std::initializer_list<TextCase>& cases) {
    for (const TextCase& c : cases)
        EXPECT_EQ(DecodeEncodedWords(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

} // namespace

TEST(EncodedWords, DecodesBAndQWordsOfEachCharset) {
    ExpectDecodes({
        {"=?UTF-8?B?44GC44GE?=", "あい"},
        {"=?utf-8?b?w6k=?=", "é"}, // the pad yields no zero byte
        {"=?UTF-8?Q?caf=C3=A9_photo?=", "café photo"},
        {"=?UTF-8?q?caf=c3=a9?=", "café"},
        {"=?ISO-2022-JP?B?GyRCJSslYSVpGyhC?=", "カメラ"},
        {"=?iso-2022-jp?q?=1B$B$\"=1B(B?=", "あ"},
        {"=?Shift_JIS?B?gqA=?=", "あ"},
        {"=?SJIS?Q?=82=A0?=", "あ"},
        {"=?ISO-8859-1?Q?caf=E9?=", "café"},
        {"=?us-ascii?Q?hello_world?=", "hello world"},
        {"=?UTF-8*ja?B?44GC?=", "あ"}, // language suffix
        {"=?UTF-8?B?\?=", ""},
        {"=?UTF-8?Q?a=Zb=4?=", "a=Zb=4"}, // malformed escapes stand for themselves
    });
}

TEST(EncodedWords, DropsBlanksBetweenWordsOnlyAndKeepsPlainText) {
    ExpectDecodes({
        {"=?UTF-8?B?44GC?= =?UTF-8?B?44GE?=", "あい"},
        {"=?ISO-2022-JP?B?GyRCJCIbKEI=?=\r\n\t=?ISO-2022-JP?B?GyRCJCQbKEI=?=", "あい"},
        {"=?UTF-8?B?44GC?==?UTF-8?B?44GE?=", "あい"},
        {"Re: =?UTF-8?B?44GC?= photo", "Re: あ photo"},
        {"CAM  =?UTF-8?B?44GC?=  ", "CAM  あ  "},
        {"CAM photo", "CAM photo"},
        {" a\tb ", " a\tb "},
        {"", ""},
    });
}

TEST(EncodedWords, LeavesWhatIsNoWordOrCannotBeDecoded) {
    ExpectDecodes({
        {"=?KOI8-R?B?QQ==?=", "=?KOI8-R?B?QQ==?="},
        {"=?X-UNKNOWN?B?QQ==?= =?UTF-8?B?QQ==?=", "=?X-UNKNOWN?B?QQ==?= A"},
        {"=?UTF-8?B?QQ==?= =?X-UNKNOWN?B?QQ==?=", "A =?X-UNKNOWN?B?QQ==?="},
        {"=?UTF-8?X?QQ==?=", "=?UTF-8?X?QQ==?="},
        {"=?UTF-8?B?Q Q==?=", "=?UTF-8?B?Q Q==?="},
        {"=??B?QQ==?=", "=??B?QQ==?="},
        {"=?UTF-8?B?QQ==", "=?UTF-8?B?QQ=="},
        {"=?UTF-8?BB?QQ==?=", "=?UTF-8?BB?QQ==?="},
        {"x =? y ?= z", "x =? y ?= z"},
        {"=?=?UTF-8?B?QQ==?=", "=?A"},
    });
}

TEST(EncodedWords, JoinsTheBytesOfAdjacentWordsOfOneCharsetAndEncoding) {
    // Mailers cut long subjects into words wherever the base64 or Q text is long enough,
    // also inside a character.
    ExpectDecodes({
        {"=?UTF-8?B?44E=?= =?UTF-8?B?guM=?= =?UTF-8?B?gYQ=?=", "あい"},
        {"=?UTF-8?Q?=E3=81?=\r\n =?utf-8?q?=82?=", "あ"},
        {"=?ISO-2022-JP?B?GyRCJA==?=\r\n\t=?ISO-2022-JP?B?IiQkGyhC?=", "あい"},
        {"=?ISO-2022-JP?B?GyRCJA==?==?ISO-2022-JP?B?IiQkGyhC?=", "あい"},
        {"CAM =?UTF-8?B?5YaZ5w==?= =?UTF-8?B?nJ8=?= ok", "CAM 写真 ok"},
    });
}

TEST(EncodedWords, KeepsWordsApartWhenCharsetEncodingOrTextSeparatesThem) {
    ExpectDecodes({
        // Two charsets: each word decodes on its own.
        {"=?Shift_JIS?B?gqA=?= =?UTF-8?B?44GC?=", "ああ"},
        {"=?UTF-8?B?44GC?= =?ISO-8859-1?Q?=E9?=", "あé"},
        // Text between the words ends the run; its blanks stay.
        {"=?UTF-8?B?44GC?= x =?UTF-8?B?44GE?=", "あ x い"},
        // A run in a charset nobody knows stays as it stands, blanks included.
        {"=?X-UNKNOWN?B?QQ==?=  =?X-UNKNOWN?B?QQ==?= =?UTF-8?B?QQ==?=",
         "=?X-UNKNOWN?B?QQ==?=  =?X-UNKNOWN?B?QQ==?= A"},
    });
    // The halves of a character in two charsets, or in B and then Q, stay halves.
    const QString broken = QString(QChar::ReplacementCharacter);
    for (const char* value :
         {"=?UTF-8?Q?=E3=81?= =?ISO-8859-1?Q?=82?=", "=?UTF-8?B?44E=?= =?UTF-8?Q?=82?="}) {
        const QString text = DecodeEncodedWords(QString::fromLatin1(value));
        EXPECT_TRUE(text.startsWith(broken)) << value;
        EXPECT_NE(text, QString::fromUtf8("あ")) << value;
    }
}

TEST(MailCharset, KnowsTheShiftJisAliasesAndRefusesOtherCharsets) {
    QString text;
    for (const char* name : {"Windows-31J", "cp932", "x-sjis", "Shift-JIS"}) {
        ASSERT_TRUE(CharsetToText(QByteArray("\x88\x9f", 2), QString::fromLatin1(name), text));
        EXPECT_EQ(text, QString::fromUtf8("亜")) << name;
    }
    EXPECT_FALSE(CharsetToText("A", QStringLiteral("EUC-KR"), text));
    EXPECT_FALSE(CharsetToText("A", QString(), text));
    EXPECT_EQ(text, QString::fromUtf8("亜")); // untouched by a refusal
}
