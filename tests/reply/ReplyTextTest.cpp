// The text pieces of the reply mail: boundary, date, base64 lines and the assembled layout.
#include "ReplyFixture.h"

#include "reply/Module1.h"

#include <QLocale>
#include <QRegularExpression>

TEST(ReplyText, BoundaryNumbersAreRoundedHalfToEvenAndPadded) {
    struct Case {
        std::vector<double> draws;
        const char* boundary;
    };
    const Case cases[] = {
        {{0.25, 0.5, 0.75}, "-----=_NextPart_250000_500000_749999"}, // 499999.5 rounds to even
        {{0.0, 0.0000005, 0.0000015}, "-----=_NextPart_000000_000000_000001"},
        {{0.9999999999, 0.5000005, 0.000001}, "-----=_NextPart_999999_500000_000001"},
    };
    for (const Case& c : cases) {
        ScopedHook<UniformRandom> random{&SetBoundaryRandom,
                                         [draws = c.draws, n = 0]() mutable { return draws[n++]; }};
        const QString boundary = MakeBoundary();
        EXPECT_EQ(boundary, QString::fromLatin1(c.boundary));
        EXPECT_EQ(boundary.size(), 36);
    }
}

TEST(ReplyText, TwoBoundariesInARowDiffer) {
    // Drawn from the system's generator: boundaries made within one clock tick still differ.
    const QString first = MakeBoundary();
    const QString second = MakeBoundary();
    EXPECT_NE(first, second);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^-----=_NextPart_\\d{6}_\\d{6}_\\d{6}$"))
                    .match(first)
                    .hasMatch())
        << first.toStdString();
}

TEST(ReplyText, MessageIdIsTheMomentRandomNumbersAndTheSendersDomain) {
    const std::pair<const char*, const char*> cases[] = {
        {"cam@example.com", "<1825027507.250000_500000_749999@example.com>"},
        {"cam@mail-1.example.co.jp", "<1825027507.250000_500000_749999@mail-1.example.co.jp>"},
        {"cam@[192.0.2.1]", "<1825027507.250000_500000_749999@[192.0.2.1]>"},
        {"\"a@b\"@example.com", "<1825027507.250000_500000_749999@example.com>"},
        // No domain that a Message-ID can carry: no Message-ID.
        {" ", ""},
        {"cam", ""},
        {"cam@", ""},
        {"cam@.example.com", ""},
        {"cam@example..com", ""},
        {"cam@ex(ample).com", ""},
        {"cam@[a[b]", ""},
    };
    for (const auto& [from, id] : cases) {
        ScopedHook<UniformRandom> random{&SetBoundaryRandom, FixedRandom()};
        EXPECT_EQ(MakeMessageId(FixedMoment(), QString::fromLatin1(from)), QString::fromLatin1(id))
            << from;
    }
    // Drawn from the system's generator: two in one second still differ.
    EXPECT_NE(MakeMessageId(FixedMoment(), QStringLiteral("cam@example.com")),
              MakeMessageId(FixedMoment(), QStringLiteral("cam@example.com")));
}

TEST(ReplyText, MailDateUsesEnglishNamesAndTheMomentsOwnOffset) {
    struct Case {
        QDateTime moment;
        const char* date;
    };
    const Case cases[] = {
        {FixedMoment(), "Mon, 1 Nov 2027 09:05:07 +0900"},
        {QDateTime(QDate(2026, 12, 7), QTime(15, 33, 8), QTimeZone(9 * 3600)),
         "Mon, 7 Dec 2026 15:33:08 +0900"},
        {QDateTime(QDate(2028, 2, 29), QTime(23, 59, 59), QTimeZone(-(5 * 3600 + 30 * 60))),
         "Tue, 29 Feb 2028 23:59:59 -0530"},
        {QDateTime(QDate(2027, 1, 3), QTime(0, 0, 0), QTimeZone(0)),
         "Sun, 3 Jan 2027 00:00:00 +0000"},
        {QDateTime(QDate(2027, 6, 12), QTime(7, 8, 9), QTimeZone(5 * 3600 + 45 * 60)),
         "Sat, 12 Jun 2027 07:08:09 +0545"},
        {QDateTime(QDate(2027, 7, 14), QTime(12, 0, 0), QTimeZone(-10 * 3600)),
         "Wed, 14 Jul 2027 12:00:00 -1000"},
    };
    // A Japanese default locale changes nothing: the names are the mail format's own.
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    for (const Case& c : cases)
        EXPECT_EQ(MakeMailDate(c.moment), QString::fromLatin1(c.date));
    QLocale::setDefault(previous);
}

TEST(ReplyText, MailDateOfTheLocalClockCarriesTheComputersOffset) {
    const QDateTime now = QDateTime::currentDateTime();
    const int offset = now.offsetFromUtc();
    const QString zone = QStringLiteral("%1%2%3")
                             .arg(QChar(offset < 0 ? u'-' : u'+'))
                             .arg(std::abs(offset) / 3600, 2, 10, QLatin1Char('0'))
                             .arg(std::abs(offset) % 3600 / 60, 2, 10, QLatin1Char('0'));
    EXPECT_TRUE(MakeMailDate(now).endsWith(u' ' + zone)) << MakeMailDate(now).toStdString();
}

TEST(ReplyText, WrapLinesCutsIntoPiecesWithLineEnds) {
    struct Case {
        QString text;
        int width;
        QString wrapped;
    };
    const QString line76(76, u'A');
    const Case cases[] = {
        {QString(), 76, QString()},
        {QStringLiteral("abc"), 76, QStringLiteral("abc\r\n")},
        // 114 bytes encode to 152 characters: two whole lines, no short one.
        {line76 + line76, 76, line76 + "\r\n" + line76 + "\r\n"},
        {line76 + "xy", 76, line76 + "\r\nxy\r\n"},
        {QStringLiteral("abcde"), 2, QStringLiteral("ab\r\ncd\r\ne\r\n")},
        {QStringLiteral("abc"), 0, QStringLiteral("a\r\nb\r\nc\r\n")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WrapLines(c.text, c.width), c.wrapped) << c.text.toStdString();
}

TEST(ReplyText, LayoutWithEmptySubjectAndBodyAndWholeBase64Lines) {
    ScopedHook<LocalClock> clock{&SetLocalClock, [] { return FixedMoment(); }};
    ScopedHook<UniformRandom> random{&SetBoundaryRandom, FixedRandom()};
    CResAccount setting;
    setting.FormatType = 2;
    const QString line76(76, u'Q');
    QString text;
    ASSERT_TRUE(MakeReplyText(setting, QStringLiteral("cam@example.com"),
                              QStringLiteral("bob@example.net"), WrapLines(line76 + line76, 76),
                              text));
    const QString b = FixedBoundary;
    const QString expected = "From: cam@example.com\r\n"
                             "To: bob@example.net\r\n"
                             "Subject: \r\n"
                             "MIME-Version: 1.0\r\n"
                             "Content-Type: Multipart/Mixed; boundary=\"" +
                             b +
                             "\"\r\n"
                             "Date: Mon, 1 Nov 2027 09:05:07 +0900\r\n"
                             "Message-ID: <1825027507.250000_500000_749999@example.com>\r\n"
                             "\r\n"
                             "--" +
                             b +
                             "\r\n"
                             "Content-Type: text/plain; charset=ISO-2022-JP\r\n"
                             "Content-Transfer-Encoding: 7bit\r\n"
                             "\r\n"
                             "\r\n" // the empty body
                             "\r\n"
                             "--" +
                             b +
                             "\r\n"
                             "Content-Type: image/gif;name=\"capture.gif\"\r\n"
                             "Content-Transfer-Encoding: base64\r\n"
                             "Content-Disposition: attachment; filename=\"capture.gif\"\r\n"
                             "\r\n" +
                             line76 + "\r\n" + line76 +
                             "\r\n"
                             "\r\n"
                             "--" +
                             b + "--\r\n";
    EXPECT_EQ(text, expected);
    // The buffer is left empty.
    EXPECT_EQ(GetMailText(), QString());
    setting.FormatType = 3;
    EXPECT_FALSE(MakeReplyText(setting, QString(), QString(), QString(), text));
}

TEST(ReplyText, BodyLinesEndInCrLfAndLongLinesAreCut) {
    ScopedHook<UniformRandom> random{&SetBoundaryRandom, FixedRandom()};
    CResAccount setting;
    // 600 kanji: 1206 bytes of JIS on one line, more than a mail line may hold.
    setting.SendMail_Body = QStringLiteral("a\nb\rc\r\n") + QString(600, u'写') + u'.';
    QString text;
    ASSERT_TRUE(MakeReplyText(setting, QString(), QString(), QString(), text));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    const qsizetype first = lines.indexOf(QStringLiteral("Content-Transfer-Encoding: 7bit")) + 2;
    ASSERT_GT(first, 2);
    EXPECT_EQ(lines.mid(first, 3), (QStringList{"a", "b", "c"}));
    // The kanji run: two lines of at most 998 bytes, each a whole ISO-2022-JP text.
    const QString cut1 = lines[first + 3], cut2 = lines[first + 4];
    EXPECT_LE(cut1.size(), 998);
    EXPECT_TRUE(cut1.startsWith(QStringLiteral("\x1b$B")) &&
                cut1.endsWith(QStringLiteral("\x1b(B")));
    EXPECT_TRUE(cut2.startsWith(QStringLiteral("\x1b$B")) &&
                cut2.endsWith(QStringLiteral("\x1b(B.")));
    EXPECT_EQ(cut1.size() - 6 + cut2.size() - 7, 1200);
    EXPECT_EQ(lines[first + 5], QString());
    EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("[^\r]\n|\r[^\n]"))));
}
