#include "mailcheck/AuthResultsField.h"

namespace {

enum class Kind { Word, Quoted, Semicolon, Equals, End, Bad };

struct Token {
    Kind kind = Kind::End;
    QString text;
};

bool IsSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool IsDelimiter(QChar c) {
    return IsSpace(c) || c == u'(' || c == u')' || c == u'"' || c == u';' || c == u'=';
}

// Splits a field value into words, quoted strings, ";" and "=", skipping white space and
// comments (RFC 5322 CFWS). Comments nest; a depth count keeps that linear.
class Lexer {
  public:
    explicit Lexer(QStringView text) : text(text) {}

    Token Next() {
        if (!SkipCfws())
            return {Kind::Bad, {}};
        if (pos >= text.size())
            return {Kind::End, {}};
        const QChar c = text[pos];
        if (c == u';' || c == u'=') {
            ++pos;
            return {c == u';' ? Kind::Semicolon : Kind::Equals, {}};
        }
        if (c == u'"')
            return QuotedString();
        const qsizetype start = pos;
        while (pos < text.size() && !IsDelimiter(text[pos]))
            ++pos;
        return {Kind::Word, text.sliced(start, pos - start).toString()};
    }

  private:
    // False for a comment without its end, or a ")" without a comment.
    bool SkipCfws() {
        while (pos < text.size()) {
            const QChar c = text[pos];
            if (IsSpace(c)) {
                ++pos;
            } else if (c == u'(') {
                if (!SkipComment())
                    return false;
            } else {
                return c != u')';
            }
        }
        return true;
    }

    bool SkipComment() {
        qsizetype depth = 0;
        do {
            const QChar c = text[pos];
            if (c == u'\\')
                ++pos; // a quoted pair: the next character is plain text
            else if (c == u'(')
                ++depth;
            else if (c == u')')
                --depth;
            ++pos;
        } while (depth > 0 && pos < text.size());
        return depth == 0;
    }

    // An empty string ("") is a value all the same, never a null one.
    Token QuotedString() {
        QString value = QStringLiteral("");
        for (++pos; pos < text.size(); ++pos) {
            QChar c = text[pos];
            if (c == u'"') {
                ++pos;
                return {Kind::Quoted, value};
            }
            if (c == u'\\') {
                if (++pos == text.size())
                    break;
                c = text[pos];
            }
            value += c;
        }
        return {Kind::Bad, {}};
    }

    QStringView text;
    qsizetype pos = 0;
};

bool IsKeywordChar(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'-' || c == u'_';
}

bool IsKeyword(QStringView text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (!IsKeywordChar(c))
            return false;
    return true;
}

bool IsDigits(QStringView text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// "dkim" or "dkim/1": the method name, or empty when text is neither.
QString MethodName(QStringView text) {
    const qsizetype slash = text.indexOf(u'/');
    const QStringView name = slash < 0 ? text : text.first(slash);
    if (!IsKeyword(name) || (slash >= 0 && !IsDigits(text.sliced(slash + 1))))
        return {};
    return AsciiLower(name);
}

// "reason", "action" or "ptype.property" such as "header.d".
bool IsPropertyName(QStringView text) {
    const qsizetype dot = text.indexOf(u'.');
    if (dot < 0)
        return IsKeyword(text);
    return IsKeyword(text.first(dot)) && IsKeyword(text.sliced(dot + 1));
}

// Reads the words before "=" into retKey, starting at token; white space and comments may
// stand only around a "." or "/" ("header . d"), so that two names never run together.
bool ReadKey(Lexer& lexer, Token& token, QString& retKey) {
    if (token.kind != Kind::Word)
        return false;
    retKey = token.text;
    for (token = lexer.Next(); token.kind == Kind::Word; token = lexer.Next()) {
        const bool joined = retKey.endsWith(u'.') || retKey.endsWith(u'/') ||
                            token.text.startsWith(u'.') || token.text.startsWith(u'/');
        if (!joined)
            return false;
        retKey += token.text;
    }
    return token.kind == Kind::Equals;
}

// One resinfo from token on: "method=result" and its properties, up to ";" or the end, which
// token then holds.
bool ReadResult(Lexer& lexer, Token& token, AuthResult& retResult) {
    bool first = true;
    while (token.kind != Kind::Semicolon && token.kind != Kind::End) {
        QString key;
        if (!ReadKey(lexer, token, key))
            return false;
        const Token value = lexer.Next();
        if (value.kind != Kind::Word && value.kind != Kind::Quoted)
            return false;
        if (first) {
            retResult.method = MethodName(key);
            if (retResult.method.isEmpty() || value.kind != Kind::Word || !IsKeyword(value.text))
                return false;
            retResult.result = AsciiLower(value.text);
            first = false;
        } else {
            if (!IsPropertyName(key))
                return false;
            retResult.properties.emplace_back(AsciiLower(key), value.text);
        }
        token = lexer.Next();
    }
    return !first;
}

} // namespace

bool EqualsIgnoringAsciiCase(QStringView a, QStringView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        QChar x = a[i];
        QChar y = b[i];
        if (x >= u'A' && x <= u'Z')
            x = QChar(x.unicode() + 32);
        if (y >= u'A' && y <= u'Z')
            y = QChar(y.unicode() + 32);
        if (x != y)
            return false;
    }
    return true;
}

QString AsciiLower(QStringView text) {
    QString lower = text.toString();
    for (QChar& c : lower)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    return lower;
}

bool ReadAuthResultsField(QStringView sValue, AuthResultsField& retField) {
    retField = AuthResultsField();
    Lexer lexer(sValue);
    Token token = lexer.Next();
    if ((token.kind != Kind::Word && token.kind != Kind::Quoted) || token.text.isEmpty())
        return false;
    retField.authServId = token.text;
    token = lexer.Next();
    if (token.kind == Kind::Word && IsDigits(token.text)) // the version, "1"
        token = lexer.Next();
    if (token.kind != Kind::Semicolon)
        return false;
    token = lexer.Next();
    if (token.kind == Kind::Word && EqualsIgnoringAsciiCase(token.text, u"none")) {
        return lexer.Next().kind == Kind::End; // "none" stands alone
    }
    // An empty resinfo (";;", a ";" at the end) is passed over, as some servers write them.
    while (token.kind != Kind::End) {
        if (token.kind == Kind::Semicolon) {
            token = lexer.Next();
            continue;
        }
        AuthResult result;
        if (!ReadResult(lexer, token, result))
            return false;
        retField.results.push_back(std::move(result));
    }
    return true;
}
