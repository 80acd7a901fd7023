#include "platform/CodePage.h"

#include <gtest/gtest.h>

TEST(CodePage, ConvertsJapaneseAsciiAndHalfWidthKatakana) {
    const QByteArray bytes("\x82\xa0\x88\x9f"
                           "A\\~"
                           "\xb1",
                           8);
    const QString text = FromCodePage932(bytes);
    EXPECT_EQ(text, QString::fromUtf8("あ亜A\\~ｱ"));
    EXPECT_EQ(ToCodePage932(text), bytes);
}

TEST(CodePage, EverySingleByteSurvivesARoundTrip) {
    // Each byte followed by a space, so that lead bytes stand alone; a lone lead at the end.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b)).append(' ');
    all.append('\x81');
    const QString text = FromCodePage932(all);
    EXPECT_EQ(text[2 * 0x80], QChar(0xF780)); // undefined in the code page
    EXPECT_EQ(text[2 * 0xB1], QChar(0xFF71)); // half-width katakana
    EXPECT_EQ(ToCodePage932(text), all);
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(ToCodePage932(QString::fromUtf8("a€b😀c")), QByteArray("a?b?c"));
}

TEST(CodePage, StreamKeepsASplitDoubleByteCharacterForTheNextPiece) {
    QByteArray rest;
    EXPECT_EQ(FromCodePage932(QByteArray("ab\x82", 3), rest), QStringLiteral("ab"));
    EXPECT_EQ(rest, QByteArray("\x82"));
    EXPECT_EQ(FromCodePage932(rest + QByteArray("\xa0z", 2), rest), QString::fromUtf8("あz"));
    EXPECT_TRUE(rest.isEmpty());
    // A byte that cannot begin a character is no reason to wait.
    EXPECT_EQ(FromCodePage932(QByteArray("a\x80", 2), rest).size(), 2);
    EXPECT_TRUE(rest.isEmpty());
}

TEST(CodePage, AnUnpairedSurrogateIsOneQuestionMarkAndKeepsItsNeighbours) {
    struct Case {
        std::u16string text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {u"\xD800"
         u"AB",
         "?AB"}, // a high surrogate before a letter
        {u"A\xD800\xD800"
         u"B",
         "A??B"}, // two high surrogates
        {u"\xDC00"
         u"AB",
         "?AB"},                   // a low surrogate on its own
        {u"A\xDC00\xD800", "A??"}, // low, then high at the end
        {u"AB\xD800", "AB?"},      // a high surrogate at the end
        {u"\xD83D\xDE00"
         u"A",
         "?A"}, // a real pair is one character
    };
    for (const Case& c : cases) {
        const QString text = QString::fromStdU16String(c.text);
        EXPECT_EQ(ToCodePage932(text), c.bytes) << c.bytes.toStdString();
    }
}
