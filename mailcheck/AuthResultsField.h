#pragma once
// The value of one Authentication-Results header field (RFC 8601 section 2.2) read as text:
// who wrote it and the results it reports. Comments and white space between the parts are
// skipped, quoted strings are unquoted; one pass over the text, whatever its nesting.
#include <QString>
#include <QStringView>
#include <utility>
#include <vector>

// One result: "dkim=pass header.d=example.com". Method, result and property names are ASCII
// lower case; property values are as written, a quoted string unquoted.
struct AuthResult {
    QString method; // without its version: "dkim" of "dkim/1"
    QString result;
    std::vector<std::pair<QString, QString>> properties; // "header.d", "reason", "action", ...
};

struct AuthResultsField {
    QString authServId;              // as written, a quoted string unquoted
    std::vector<AuthResult> results; // empty for "none"
};

// Reads sValue, the text after "Authentication-Results:". False when it breaks the grammar;
// retField.authServId then still holds the authserv-id when that much was readable, so that a
// damaged field can be told from a foreign one.
bool ReadAuthResultsField(QStringView sValue, AuthResultsField& retField);

// True when the two texts are equal but for the case of ASCII letters (only those: a lookalike
// letter that folds to an ASCII one elsewhere stays different).
bool EqualsIgnoringAsciiCase(QStringView a, QStringView b);

// text with its ASCII letters in lower case.
QString AsciiLower(QStringView text);
