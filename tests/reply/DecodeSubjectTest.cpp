#include "reply/modSendMail.h"

#include <gtest/gtest.h>

namespace {

QString Decoded(const char* value) {
    return DecodeSubject(QString::fromUtf8(value));
}

} // namespace

TEST(DecodeSubject, OneJisBase64WordDecodesAsTheProgramAlwaysDid) {
    EXPECT_EQ(Decoded("=?ISO-2022-JP?B?GyRCJCIbKEI=?="), QString::fromUtf8("あ"));
    EXPECT_EQ(Decoded("=?iso-2022-jp?b?GyRCJCIbKEI=?="), QString::fromUtf8("あ"));
    EXPECT_EQ(Decoded("=?Iso-2022-Jp?B?GyRCJSslYSVpGyhC?="), QString::fromUtf8("カメラ"));
    // Same bits, different last character.
    EXPECT_EQ(Decoded("=?ISO-2022-JP?B?GyRCJCIbKEIA?="), QString::fromUtf8("あ"));
    // The text ends at the first zero byte of the decoded JIS ("QUEAQkI=" is "AA", 0, "BB").
    EXPECT_EQ(Decoded("=?ISO-2022-JP?B?QUEAQkI=?="), QStringLiteral("AA"));
    EXPECT_EQ(Decoded("=?ISO-2022-JP?B?\?="), QString());
    EXPECT_EQ(Decoded(""), QString());
}

TEST(DecodeSubject, OtherValuesDecodeAsEncodedWordsInPlainText) {
    EXPECT_EQ(Decoded("CAM photo"), QStringLiteral("CAM photo"));
    EXPECT_EQ(Decoded("=?UTF-8?B?Q0FNIOWGmeecnw==?="), QString::fromUtf8("CAM 写真"));
    EXPECT_EQ(Decoded("=?UTF-8?Q?CAM_=E5=86=99=E7=9C=9F?="), QString::fromUtf8("CAM 写真"));
    EXPECT_EQ(Decoded("CAM =?ISO-2022-JP?B?GyRCJCIbKEI=?="), QString::fromUtf8("CAM あ"));
    EXPECT_EQ(Decoded("=?ISO-2022-JP?B?GyRCJCIbKEI=?= =?ISO-2022-JP?B?GyRCJCQbKEI=?="),
              QString::fromUtf8("あい"));
    EXPECT_EQ(Decoded("=?KOI8-R?B?QQ==?="), QStringLiteral("=?KOI8-R?B?QQ==?="));
}

TEST(DecodeSubject, ACharacterSplitAcrossWordsComesOutWholeAndKeepsThePrefix) {
    EXPECT_EQ(Decoded("=?ISO-2022-JP?B?GyRCJA==?= =?ISO-2022-JP?B?IiQkGyhC?="),
              QString::fromUtf8("あい"));
    EXPECT_EQ(Decoded("=?UTF-8?B?44E=?=\r\n =?UTF-8?B?guM=?= =?UTF-8?B?gYQ=?="),
              QString::fromUtf8("あい"));
    // The subject prefix "CAM" still leads, written plainly or in a word of its own.
    for (const char* value : {"CAM =?UTF-8?B?5YaZ5w==?= =?UTF-8?B?nJ8=?=",
                              "=?UTF-8?B?Q0FN?= =?UTF-8?B?5YaZ5w==?= =?UTF-8?B?nJ8=?="}) {
        const QString subject = Decoded(value);
        EXPECT_TRUE(subject.startsWith(QStringLiteral("CAM"))) << value;
        EXPECT_TRUE(subject.endsWith(QString::fromUtf8("写真"))) << value;
    }
}
