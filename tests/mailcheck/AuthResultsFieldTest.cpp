#include "mailcheck/AuthResultsField.h"

#include "tests/support/QtPrinters.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

// A field read back as one line per result: "method=result key=value ...".
QStringList Described(const AuthResultsField& field) {
    QStringList lines;
    for (const AuthResult& result : field.results) {
        QString line = result.method + u'=' + result.result;
        // A value read is never null, even when it is empty.
        for (const auto& [key, value] : result.properties)
            line += u' ' + key + u'=' + (value.isNull() ? QStringLiteral("(null)") : value);
        lines.append(line);
    }
    return lines;
}

} // namespace

TEST(AuthResultsField, ReadsIdVersionResultsAndProperties) {
    const struct {
        const char* value;
        const char* id;
        QStringList results;
    } cases[] = {
        {" mx.example.jp; dkim=pass header.d=example.com header.s=sel1",
         "mx.example.jp",
         {"dkim=pass header.d=example.com header.s=sel1"}},
        // A version after the id; several results; comments anywhere between the parts.
        {" mx.example.jp 1; spf=pass (sender 192.0.2.1 is permitted) smtp.mailfrom=a@example.com;"
         " dkim=pass (2048-bit key; signature verified) header.d=example.com;"
         " dmarc=pass (p=REJECT sp=NONE) header.from=example.com",
         "mx.example.jp",
         {"spf=pass smtp.mailfrom=a@example.com", "dkim=pass header.d=example.com",
          "dmarc=pass header.from=example.com"}},
        // Letter case of names is folded, values keep theirs; a method version is dropped.
        {"MX.Example.JP;DKIM/1=PASS Header.D=Example.COM",
         "MX.Example.JP",
         {"dkim=pass header.d=Example.COM"}},
        // Quoted id and value, with quoted pairs; nested comments holding ";" and "=".
        {" \"mx.example.jp\"; dkim=pass (a (nested; x=y) \\) comment) reason=\"good \\\"sig\\\"\"",
         "mx.example.jp",
         {"dkim=pass reason=good \"sig\""}},
        // White space and comments around the "." of a property and around "=".
        {"mx.example.jp;dkim = pass header . d (signer) = example.com",
         "mx.example.jp",
         {"dkim=pass header.d=example.com"}},
        // An empty result between two and a ";" at the end are passed over; non-standard
        // property names without a dot are kept.
        {"mx.example.jp; spf=none;; dmarc=none action=none header.from=example.com;",
         "mx.example.jp",
         {"spf=none", "dmarc=none action=none header.from=example.com"}},
        {"mx.example.jp; none", "mx.example.jp", {}},
        {"mx.example.jp (comment) 1 ; NONE (nothing checked)", "mx.example.jp", {}},
        {"mx.example.jp; dkim=pass header.i=@example.com header.b=\"AbC+/=\"",
         "mx.example.jp",
         {"dkim=pass header.i=@example.com header.b=AbC+/="}},
        {"mx.example.jp; dkim=fail reason=\"\"", "mx.example.jp", {"dkim=fail reason="}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        AuthResultsField field;
        ASSERT_TRUE(ReadAuthResultsField(QString::fromUtf8(c.value), field));
        EXPECT_EQ(field.authServId, QString::fromUtf8(c.id));
        EXPECT_EQ(Described(field), c.results);
    }
}

TEST(AuthResultsField, RefusesWhatBreaksTheGrammarButKeepsAReadableId) {
    const struct {
        const char* value;
        const char* id; // what retField.authServId holds afterwards
    } cases[] = {
        {"", ""},
        {"   ", ""},
        {"; dkim=pass", ""},
        {"(unclosed comment; dkim=pass", ""},
        {"\"unclosed mx.example.jp; dkim=pass", ""},
        {"mx.example.jp", "mx.example.jp"},                             // no result, no "none"
        {"mx.example.jp dkim=pass", "mx.example.jp"},                   // no ";" after the id
        {"mx.example.jp 1 2; dkim=pass", "mx.example.jp"},              // two versions
        {"mx.example.jp; dkim", "mx.example.jp"},                       // no result
        {"mx.example.jp; dkim=", "mx.example.jp"},                      // empty result
        {"mx.example.jp; =pass", "mx.example.jp"},                      // no method
        {"mx.example.jp; dkim=\"pass\"", "mx.example.jp"},              // a result is a keyword
        {"mx.example.jp; dk!m=pass", "mx.example.jp"},                  // nor is this a method
        {"mx.example.jp; dkim/x=pass", "mx.example.jp"},                // a version is digits
        {"mx.example.jp; dkim=pass header.d", "mx.example.jp"},         // property without value
        {"mx.example.jp; dkim=pass header.d=", "mx.example.jp"},        // empty value
        {"mx.example.jp; dkim=pass hea der.d=x.com", "mx.example.jp"},  // two names run together
        {"mx.example.jp; dkim=pass a.b.c=x.com", "mx.example.jp"},      // one dot in a name
        {"mx.example.jp; dkim=pass ) header.d=x.com", "mx.example.jp"}, // ")" outside a comment
        {"mx.example.jp; dkim=pass (open", "mx.example.jp"},
        {"mx.example.jp; dkim=pass reason=\"open", "mx.example.jp"},
        {"mx.example.jp; dkim=pass reason=\"ends in a quoted pair\\", "mx.example.jp"},
        {"mx.example.jp; none; dkim=pass", "mx.example.jp"}, // "none" stands alone
        {"mx.example.jp; none=pass", "mx.example.jp"},
        {"mx.example.jp; dkim=pass=pass", "mx.example.jp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        AuthResultsField field;
        field.authServId = QStringLiteral("left over");
        EXPECT_FALSE(ReadAuthResultsField(QString::fromUtf8(c.value), field));
        EXPECT_EQ(field.authServId, QString::fromUtf8(c.id));
    }
}

TEST(AuthResultsField, HostileNestingAndLengthsAreReadInOnePass) {
    // A million open comments, then as many closes: a depth count, no recursion.
    const qsizetype depth = 1'000'000;
    const QString nested = QStringLiteral("mx.example.jp; dkim=pass ") + QString(depth, u'(') +
                           QString(depth, u')') + QStringLiteral(" header.d=example.com");
    AuthResultsField field;
    ASSERT_TRUE(ReadAuthResultsField(nested, field));
    EXPECT_EQ(Described(field), QStringList{"dkim=pass header.d=example.com"});

    const QString unclosed = QStringLiteral("mx.example.jp; dkim=pass ") + QString(depth, u'(');
    EXPECT_FALSE(ReadAuthResultsField(unclosed, field));
    // A comment of quoted pairs only, and a value of 4 MiB characters.
    EXPECT_FALSE(ReadAuthResultsField(QStringLiteral("mx; a=b (") + QString(depth, u'\\'), field));
    const QString longValue =
        QStringLiteral("mx.example.jp; dkim=pass header.b=") + QString(4 << 20, u'A');
    ASSERT_TRUE(ReadAuthResultsField(longValue, field));
    ASSERT_EQ(field.results.size(), 1u);
    EXPECT_EQ(field.results[0].properties.at(0).second.size(), 4 << 20);
}

TEST(AuthResultsField, AsciiCaseFoldingLeavesOtherLettersAlone) {
    EXPECT_TRUE(EqualsIgnoringAsciiCase(u"MX.Example.JP", u"mx.example.jp"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase(u"mx.example.jp", u"mx.example.jp."));
    EXPECT_FALSE(EqualsIgnoringAsciiCase(u"mx.example.jp", u"mx.examp1e.jp"));
    // The Kelvin sign and the dotted capital I fold to ASCII letters in Unicode; not here.
    EXPECT_FALSE(EqualsIgnoringAsciiCase(u"mx.\u212Addi.jp", u"mx.kddi.jp"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase(u"\u0130mx", u"imx"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase(u"@", u"`")); // the neighbours of the letter ranges
    EXPECT_FALSE(EqualsIgnoringAsciiCase(u"[", u"{"));
    EXPECT_EQ(AsciiLower(u"Header.D-\u00C9"), QStringLiteral("header.d-\u00C9"));
}
