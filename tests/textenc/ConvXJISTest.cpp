#include "textenc/modConvXJIS.h"

#include <gtest/gtest.h>

namespace {

QByteArray Bytes(const char* text, qsizetype size) {
    return QByteArray(text, size);
}

struct BytesCase {
    const char* name;
    QByteArray in;
    QByteArray out;
};

} // namespace

TEST(ConvXJIS, CharacterCodesOfTheWorkedExamplesGoBothWays) {
    const std::pair<std::uint16_t, std::uint16_t> cases[] = {
        {0x3021, 0x889F}, {0x2422, 0x82A0}, {0x2522, 0x8341}, {0x5F21, 0xE040}, {0x7426, 0xEAA4}};
    for (const auto& [jis, sjis] : cases) {
        EXPECT_EQ(JisCodeToSjis(jis), sjis) << std::hex << jis;
        EXPECT_EQ(SjisCodeToJis(sjis), jis) << std::hex << sjis;
    }
}

TEST(ConvXJIS, LeadBytesAreExactlyTheTwoRanges) {
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(IsSjisLeadByte(static_cast<std::uint8_t>(b)),
                  (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC))
            << b;
}

TEST(ConvXJIS, JisToSjisHandlesEscapesLineEndsAndTheEnd) {
    const BytesCase cases[] = {
        {"worked example", Bytes("\x1b$B$\"\x1b(Ba", 9),
         Bytes("\x82\xa0"
               "a",
               3)},
        {"plain ascii", "CAM photo 1+1", "CAM photo 1+1"},
        {"ESC ( J ends a run", Bytes("\x1b$B$\"\x1b(J$\"", 10), Bytes("\x82\xa0$\"", 4)},
        {"bare LF becomes CR LF", "a\nb\r\nc\n", "a\r\nb\r\nc\r\n"},
        {"LF as the first byte", "\nx", "\r\nx"},
        {"LF inside a run keeps the run", Bytes("\x1b$B$\"\n$\"", 8),
         Bytes("\x82\xa0\r\n\x82\xa0", 6)},
        {"no closing escape", Bytes("\x1b$B0!$\"", 7), Bytes("\x88\x9f\x82\xa0", 4)},
        {"cut character pairs with zero", Bytes("\x1b$B$", 4), Bytes("\x82\x7d", 2)},
        {"upper rows", Bytes("\x1b$B_!t&\x1b(B", 10), Bytes("\xe0\x40\xea\xa4", 4)},
        {"8-bit bytes pass in one-byte mode", Bytes("\xb1\x80\xff", 3), Bytes("\xb1\x80\xff", 3)},
        {"half-width escape is not recognised", Bytes("\x1b(I1", 4), Bytes("\x1b(I1", 4)},
        {"stops at the first zero", Bytes("ab\0cd", 5), "ab"},
        {"lone escape at the end", Bytes("a\x1b$", 3), Bytes("a\x1b$", 3)},
    };
    for (const BytesCase& c : cases)
        EXPECT_EQ(JisToSjis(c.in).toHex(' '), c.out.toHex(' ')) << c.name;
}

TEST(ConvXJIS, SjisToJisWrapsRunsInEscapesAndTurnsLineEndsToLf) {
    const QByteArray esc2 = Bytes("\x1b$B", 3), esc1 = Bytes("\x1b(B", 3);
    const BytesCase cases[] = {
        {"worked example",
         Bytes("\x82\xa0"
               "a",
               3),
         esc2 + "$\"" + esc1 + "a"},
        {"plain ascii", "CAM photo 1+1", "CAM photo 1+1"},
        {"one run, two escapes", Bytes("\x82\xa0\x82\xa2", 4), esc2 + "$\"$$" + esc1},
        {"two runs", Bytes("\x82\xa0x\x88\x9f", 5), esc2 + "$\"" + esc1 + "x" + esc2 + "0!" + esc1},
        {"CR LF becomes LF", "a\r\nb\r\n", "a\nb\n"},
        {"lone CR keeps the next byte", "a\rb\r", "a\nb\n"},
        {"CR LF right after a run", Bytes("\x82\xa0\r\nz", 5), esc2 + "$\"" + esc1 + "\nz"},
        {"upper rows", Bytes("\xe0\x40\xea\xa4", 4), esc2 + "_!t&" + esc1},
        {"half-width katakana passes", Bytes("\xb1", 1), Bytes("\xb1", 1)},
        {"stops at the first zero", Bytes("ab\0\x82\xa0", 5), "ab"},
        {"lead byte at the end", Bytes("\x82", 1), esc2 + Bytes("\x22\xe1", 2) + esc1},
    };
    for (const BytesCase& c : cases)
        EXPECT_EQ(SjisToJis(c.in).toHex(' '), c.out.toHex(' ')) << c.name;
}

TEST(ConvXJIS, ConvertCodeChoosesTheDirection) {
    const QByteArray sjis("\x82\xa0"
                          "a\r\n",
                          5);
    const QByteArray jis("\x1b$B$\"\x1b(Ba\n", 10);
    EXPECT_EQ(ConvertCode(jis, CodeJis, CodeSjis), sjis);
    EXPECT_EQ(ConvertCode(sjis, CodeSjis, CodeJis), jis);
    EXPECT_EQ(ConvertCode(jis, CodeJis, CodeJis), jis);
    EXPECT_EQ(ConvertCode(sjis, CodeSjis, CodeSjis), sjis);
    EXPECT_TRUE(ConvertCode(QByteArray(), CodeJis, CodeSjis).isEmpty());
    EXPECT_TRUE(ConvertCode(jis, 0, CodeSjis).isEmpty());
    EXPECT_TRUE(ConvertCode(jis, 0, 0).isEmpty());
    EXPECT_TRUE(ConvertCode(jis, CodeJis, 3).isEmpty());
}
