// The repertoire of mail text: JIS X 0208 as the C library knows it, the full-width katakana
// mapping, the replacement of everything else, and the base64 encoder of encoded words.
#include "textenc/MailJis.h"
#include "platform/CodePage.h"
#include "textenc/HalfWidth.h"
#include "textenc/modConvBase64.h"
#include "textenc/modConvXJIS.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace {

// Whether glibc's ISO-2022-JP decoder takes one two-byte cell.
bool IconvKnowsCell(iconv_t cd, std::uint16_t code) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char in[] = {'\x1b', '$', 'B', static_cast<char>(code >> 8), static_cast<char>(code & 0xFF),
                 '\x1b', '(', 'B'};
    char out[16];
    char* src = in;
    char* dst = out;
    size_t inLeft = sizeof(in), outLeft = sizeof(out);
    return iconv(cd, &src, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1);
}

bool AllSevenBit(const QByteArray& bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
}

} // namespace

TEST(MailJis, TheDefinedCellsAreExactlyThoseOfTheSystemTables) {
    const iconv_t cd = iconv_open("UTF-8", "ISO-2022-JP");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    int defined = 0;
    for (int j1 = 0x21; j1 <= 0x7E; ++j1)
        for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
            const auto code = static_cast<std::uint16_t>(j1 * 256 + j2);
            EXPECT_EQ(IsJisX0208Code(code), IconvKnowsCell(cd, code)) << std::hex << code;
            defined += IsJisX0208Code(code);
        }
    iconv_close(cd);
    EXPECT_EQ(defined, 6879);
    EXPECT_FALSE(IsJisX0208Code(0x2120));
    EXPECT_FALSE(IsJisX0208Code(0x7F21));
}

TEST(MailJis, EveryCharacterOfJisX0208StaysAndComesBackFromJis) {
    QString all;
    for (int j1 = 0x21; j1 <= 0x74; ++j1)
        for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
            const auto code = static_cast<std::uint16_t>(j1 * 256 + j2);
            if (!IsJisX0208Code(code))
                continue;
            const std::uint16_t sjis = JisCodeToSjis(code);
            const char pair[] = {char(sjis >> 8), char(sjis & 0xFF)};
            all += FromCodePage932(QByteArray(pair, 2));
        }
    ASSERT_EQ(all.size(), 6879);
    EXPECT_EQ(ToJisRepertoire(all), all);
    const QByteArray jis = TextToJis(all);
    EXPECT_TRUE(AllSevenBit(jis));
    EXPECT_EQ(FromCodePage932(JisToSjis(jis)), all);
}

TEST(MailJis, CharactersBeyondTheRepertoireBecomeTheGetaMark) {
    const std::pair<const char*, const char*> cases[] = {
        {"CAM photo\t~", "CAM photo\t~"},
        {"写真です。", "写真です。"},
        {"①②", "〓〓"},                 // NEC special characters of code page 932 (row 13)
        {"髙﨑", "〓〓"},               // IBM extensions of code page 932
        {"한국", "〓〓"},               // outside code page 932
        {"😀a", "〓a"},                  // a surrogate pair is one character
        {"a\r\nb\x1b$B", "a〓〓b〓$B"}, // controls, line ends and escapes included
        {"\x7f", "〓"},
        {"\uf780", "〓"}, // an undefined byte of code page 932
        {"ｶﾒﾗ", "カメラ"},
        {"", ""},
    };
    for (const auto& [in, out] : cases) {
        const QString text = QString::fromUtf8(in);
        EXPECT_EQ(ToJisRepertoire(text), QString::fromUtf8(out)) << in;
        EXPECT_TRUE(AllSevenBit(TextToJis(text))) << in;
    }
}

TEST(MailJis, HalfWidthKatakanaBecomeFullWidthBeforeTheJisConversion) {
    const std::pair<const char*, const char*> cases[] = {
        {"ｶﾒﾗ･ﾃｽﾄ", "カメラ・テスト"}, {"｢ｱｲｳｴｵｰ｣｡､", "「アイウエオー」。、"},
        {"ｶﾞﾊﾟﾎﾟｳﾞ", "ガパポヴ"},      {"ﾜﾞｦﾞ", "ワ゛ヲ゛"}, // no voiced letter in JIS X 0208
        {"ﾞﾟaﾞ", "゛゜a゛"},           {"ｧｯﾝ", "ァッン"},
        {"漢字 ABC", "漢字 ABC"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(ToFullWidthKana(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
    // ｶﾒﾗ as JIS: ESC $ B, the three katakana of row 5, ESC ( B.
    EXPECT_EQ(TextToJis(QString::fromUtf8("ｶﾒﾗ")), QByteArray("\x1b$B%+%a%i\x1b(B"));
}

TEST(MailJis, EncodeBase64FollowsRfc4648Vectors) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(EncodeBase64(QByteArray(in)), QByteArray(out)) << in;
    EXPECT_EQ(EncodeBase64(QByteArray("\xff\xfe\x00", 3)), QByteArray("//4A"));
}

TEST(MailJis, JisPrefixLengthCountsEscapesAndAlwaysMovesOn) {
    struct Case {
        const char* text;
        qsizetype maxBytes;
        qsizetype length;
    };
    const Case cases[] = {
        {"abc", 2, 2},
        {"abc", 10, 3},
        {"あい", 10, 2},
        {"あい", 9, 1},
        {"aあb", 10, 3},
        {"aあb", 9, 2},
        {"あaい", 17, 3},
        {"あaい", 16, 2},
        {"あ", 7, 1}, // too long for the room,
                      // taken all the same
        {"", 5, 0},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const qsizetype length = JisPrefixLength(text, c.maxBytes);
        EXPECT_EQ(length, c.length) << c.text << " in " << c.maxBytes;
        if (length > 1) {
            EXPECT_LE(TextToJis(text.left(length)).size(), c.maxBytes) << c.text;
        }
    }
}
