#include "mailcheck/IMAPResponse.h"

#include <algorithm>

#include <QString>

namespace {

const QByteArray CrLf = QByteArrayLiteral("\r\n");

// Lists nest no deeper than this, so that a hostile response cannot exhaust the stack.
constexpr int MaxListDepth = 64;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits only, at most ten, no more than 4294967295; -1 for anything else.
qint64 NumberOf(const QByteArray& text) {
    if (text.isEmpty() || text.size() > 10)
        return -1;
    qint64 value = 0;
    for (char c : text) {
        if (!IsDigit(c))
            return -1;
        value = value * 10 + (c - '0');
    }
    return value <= 0xFFFFFFFFLL ? value : -1;
}

// The size of the literal "{n}" or "{n+}" that ends line [begin, end), -1 when it ends in none.
qint64 LiteralAtLineEnd(const QByteArray& buffer, qsizetype begin, qsizetype end) {
    if (end <= begin || buffer[end - 1] != '}')
        return -1;
    qsizetype close = end - 1;
    if (close > begin && buffer[close - 1] == '+')
        --close;
    qsizetype open = close;
    while (open > begin && IsDigit(buffer[open - 1]))
        --open;
    if (open == close || open == begin || buffer[open - 1] != '{')
        return -1;
    return NumberOf(buffer.mid(open, close - open));
}

struct Scan {
    qsizetype complete = 0; // the length of the complete response, 0 while it is incomplete
    bool overlong = false;
};

Scan ScanResponse(const QByteArray& buffer) {
    Scan scan;
    qsizetype pos = 0;
    while (true) {
        const qsizetype end = buffer.indexOf(CrLf, pos);
        if (end < 0) {
            scan.overlong = buffer.size() - pos > MaxIMAPLineLength;
            break;
        }
        if (end - pos > MaxIMAPLineLength) {
            scan.overlong = true;
            break;
        }
        const qint64 literal = LiteralAtLineEnd(buffer, pos, end);
        if (literal < 0) {
            scan.complete = end + 2;
            return scan;
        }
        if (end + 2 + literal > MaxIMAPResponseLength) {
            scan.overlong = true;
            break;
        }
        pos = end + 2 + literal;
        if (pos > buffer.size())
            break;
    }
    scan.overlong = scan.overlong || buffer.size() > MaxIMAPResponseLength;
    return scan;
}

// Reads the values of one response line after its name, literals included.
class Reader {
  public:
    explicit Reader(const QByteArray& bytes) : bytes(bytes) {}

    bool AtLineEnd() const { return bytes.mid(pos) == CrLf; }
    char Peek() const { return pos < bytes.size() ? bytes[pos] : '\0'; }
    bool Take(char c) {
        if (Peek() != c)
            return false;
        ++pos;
        return true;
    }
    // Everything up to the final CR LF.
    QByteArray Rest() {
        const QByteArray rest = bytes.mid(pos, bytes.size() - 2 - pos);
        pos = bytes.size() - 2;
        return rest;
    }
    // Atom characters, a "[...]" section with what it holds included.
    QByteArray Atom() {
        const qsizetype begin = pos;
        while (pos < bytes.size()) {
            const char c = bytes[pos];
            if (c == '[') {
                const qsizetype close = bytes.indexOf(']', pos);
                const qsizetype lineEnd = bytes.indexOf(CrLf, pos);
                if (close < 0 || (lineEnd >= 0 && close > lineEnd))
                    return QByteArray();
                pos = close + 1;
                continue;
            }
            if (c == ' ' || c == '(' || c == ')' || c == '"' || c == '{' || c == '\r' ||
                c == '\n' || c == '\0')
                break;
            ++pos;
        }
        return bytes.mid(begin, pos - begin);
    }
    bool Value(IMAPValue& retValue, int depth) {
        const char c = Peek();
        if (c == '(')
            return List(retValue, depth + 1);
        if (c == '"')
            return Quoted(retValue);
        if (c == '{')
            return Literal(retValue);
        retValue.text = Atom();
        if (retValue.text.isEmpty())
            return false;
        retValue.kind =
            retValue.text.toUpper() == QByteArrayLiteral("NIL") ? IMAPValue::Nil : IMAPValue::Atom;
        return true;
    }
    // Values separated by blanks up to the line end (closing false) or to ")" (closing true).
    bool Values(std::vector<IMAPValue>& retValues, int depth, bool closing) {
        while (true) {
            while (Take(' ')) {
            }
            if (closing ? Take(')') : AtLineEnd())
                return true;
            if (pos >= bytes.size())
                return false;
            IMAPValue value;
            if (!Value(value, depth))
                return false;
            retValues.push_back(std::move(value));
        }
    }

  private:
    bool List(IMAPValue& retValue, int depth) {
        if (depth > MaxListDepth)
            return false;
        ++pos;
        retValue.kind = IMAPValue::List;
        return Values(retValue.list, depth, true);
    }
    bool Quoted(IMAPValue& retValue) {
        retValue.kind = IMAPValue::String;
        for (++pos; pos < bytes.size(); ++pos) {
            char c = bytes[pos];
            if (c == '"') {
                ++pos;
                return true;
            }
            if (c == '\r' || c == '\n')
                return false;
            if (c == '\\') {
                if (++pos >= bytes.size())
                    return false;
                c = bytes[pos];
                if (c != '"' && c != '\\')
                    return false;
            }
            retValue.text += c;
        }
        return false;
    }
    bool Literal(IMAPValue& retValue) {
        const qsizetype close = bytes.indexOf('}', pos);
        if (close < 0 || bytes.mid(close + 1, 2) != CrLf)
            return false;
        QByteArray size = bytes.mid(pos + 1, close - pos - 1);
        if (size.endsWith('+'))
            size.chop(1);
        const qint64 length = NumberOf(size);
        if (length < 0 || close + 3 + length > bytes.size())
            return false;
        retValue.kind = IMAPValue::String;
        retValue.text = bytes.mid(close + 3, length);
        pos = close + 3 + length;
        return true;
    }

    const QByteArray& bytes;
    qsizetype pos = 0;
};

bool IsStatus(const QByteArray& name) {
    return name == "OK" || name == "NO" || name == "BAD" || name == "PREAUTH" || name == "BYE";
}

// The words of a response code after its name, parentheses dropped.
QList<QByteArray> CodeWords(const IMAPResponse& response, const QByteArray& name) {
    QList<QByteArray> words = response.code.split(' ');
    if (words.isEmpty() || words.first().toUpper() != name)
        return {};
    words.removeFirst();
    for (QByteArray& word : words) {
        while (word.startsWith('('))
            word.remove(0, 1);
        while (word.endsWith(')'))
            word.chop(1);
    }
    words.removeAll(QByteArray());
    return words;
}

} // namespace

qsizetype CompleteResponseLength(const QByteArray& buffer) {
    return ScanResponse(buffer).complete;
}

bool IsOverlongResponse(const QByteArray& buffer) {
    const Scan scan = ScanResponse(buffer);
    return scan.complete == 0 && scan.overlong;
}

bool ParseResponse(const QByteArray& bytes, IMAPResponse& retResponse) {
    if (!bytes.endsWith(CrLf) || bytes.indexOf(CrLf) < 0)
        return false;
    IMAPResponse response;
    Reader reader(bytes);
    if (reader.Take('+')) {
        response.kind = IMAPResponse::Continuation;
        reader.Take(' ');
        response.text = reader.Rest();
        if (response.text.contains('\r') || response.text.contains('\n'))
            return false;
        retResponse = response;
        return true;
    }
    if (reader.Take('*')) {
        response.kind = IMAPResponse::Untagged;
    } else {
        response.kind = IMAPResponse::Tagged;
        response.tag = reader.Atom();
        if (response.tag.isEmpty() || response.tag.contains('['))
            return false;
    }
    if (!reader.Take(' '))
        return false;
    QByteArray word = reader.Atom();
    if (const qint64 number = NumberOf(word);
        number >= 0 && response.kind == IMAPResponse::Untagged) {
        response.number = number;
        if (!reader.Take(' '))
            return false;
        word = reader.Atom();
    }
    response.name = word.toUpper();
    if (response.name.isEmpty())
        return false;
    if (IsStatus(response.name) && response.number < 0) {
        response.status = response.name;
        reader.Take(' ');
        if (reader.Take('[')) {
            const QByteArray rest = reader.Rest();
            const qsizetype close = rest.indexOf(']');
            if (close < 0)
                return false;
            response.code = rest.left(close);
            response.text = rest.mid(close + 1).trimmed();
        } else {
            response.text = reader.Rest();
        }
        if (response.text.contains('\r') || response.text.contains('\n') ||
            response.code.contains('\r') || response.code.contains('\n'))
            return false;
    } else if (response.kind == IMAPResponse::Tagged || !reader.Values(response.values, 0, false)) {
        return false;
    }
    retResponse = std::move(response);
    return true;
}

bool IsOKResponse(const IMAPResponse& response) {
    return response.status == "OK";
}

bool ReadNzNumber(const QByteArray& text, quint32& retNumber) {
    const qint64 number = NumberOf(text);
    if (number <= 0)
        return false;
    retNumber = static_cast<quint32>(number);
    return true;
}

bool ReadCapabilities(const IMAPResponse& response, QSet<QByteArray>& retCapabilities) {
    QList<QByteArray> words;
    if (response.kind == IMAPResponse::Untagged && response.name == "CAPABILITY") {
        for (const IMAPValue& value : response.values)
            words << value.text;
    } else {
        words = CodeWords(response, "CAPABILITY");
    }
    if (words.isEmpty())
        return false;
    retCapabilities.clear();
    for (const QByteArray& word : words)
        retCapabilities.insert(word.toUpper());
    return true;
}

bool ReadUidValidity(const IMAPResponse& response, quint32& retUidValidity) {
    const QList<QByteArray> words = CodeWords(response, "UIDVALIDITY");
    return words.size() == 1 && ReadNzNumber(words.first(), retUidValidity);
}

bool ReadExists(const IMAPResponse& response, quint32& retCount) {
    if (response.kind != IMAPResponse::Untagged || response.name != "EXISTS" ||
        response.number < 0 || !response.values.empty())
        return false;
    retCount = static_cast<quint32>(response.number);
    return true;
}

bool ReadKeywordsAllowed(const IMAPResponse& response, bool& retAllowed) {
    if (!response.code.toUpper().startsWith("PERMANENTFLAGS"))
        return false;
    retAllowed = CodeWords(response, "PERMANENTFLAGS").contains(QByteArrayLiteral("\\*"));
    return true;
}

namespace {

// The numbers of a sequence set as a search returns them: "2,4:6" (a range may run down).
bool ReadSequenceSet(const QByteArray& text, QList<quint32>& retNumbers) {
    for (const QByteArray& part : text.split(',')) {
        const qsizetype colon = part.indexOf(':');
        quint32 first = 0, last = 0;
        if (!ReadNzNumber(colon < 0 ? part : part.left(colon), first) ||
            !ReadNzNumber(colon < 0 ? part : part.mid(colon + 1), last))
            return false;
        const quint32 low = std::min(first, last), high = std::max(first, last);
        if (retNumbers.size() + qsizetype(high - low) >= MaxSearchNumbers)
            return false;
        for (quint32 n = low;; ++n) {
            retNumbers << n;
            if (n == high)
                break;
        }
    }
    return true;
}

// The ALL numbers of "* ESEARCH [(TAG "t")] [UID] *(name value)".
bool ReadEsearch(const std::vector<IMAPValue>& values, QList<quint32>& retNumbers) {
    size_t i = 0;
    if (i < values.size() && values[i].kind == IMAPValue::List)
        ++i;
    if (i < values.size() && values[i].kind == IMAPValue::Atom && values[i].text.toUpper() == "UID")
        ++i;
    QList<quint32> numbers;
    for (; i + 1 < values.size(); i += 2) {
        if (values[i].kind != IMAPValue::Atom || values[i + 1].kind != IMAPValue::Atom)
            return false;
        if (values[i].text.toUpper() == "ALL" && !ReadSequenceSet(values[i + 1].text, numbers))
            return false;
    }
    if (i != values.size())
        return false;
    retNumbers = numbers;
    return true;
}

} // namespace

bool ReadSearch(const IMAPResponse& response, QList<quint32>& retNumbers) {
    if (response.kind != IMAPResponse::Untagged || response.number >= 0)
        return false;
    if (response.name == "ESEARCH")
        return ReadEsearch(response.values, retNumbers);
    if (response.name != "SEARCH")
        return false;
    QList<quint32> numbers;
    for (const IMAPValue& value : response.values) {
        quint32 number = 0;
        if (value.kind != IMAPValue::Atom || !ReadNzNumber(value.text, number))
            return false;
        numbers << number;
    }
    retNumbers = numbers;
    return true;
}

bool ReadFetch(const IMAPResponse& response, IMAPFetch& retFetch) {
    if (response.kind != IMAPResponse::Untagged || response.name != "FETCH" ||
        response.number <= 0 || response.values.size() != 1 ||
        response.values.front().kind != IMAPValue::List)
        return false;
    const std::vector<IMAPValue>& items = response.values.front().list;
    if (items.size() % 2 != 0)
        return false;
    IMAPFetch fetch;
    fetch.sequence = static_cast<quint32>(response.number);
    for (size_t i = 0; i < items.size(); i += 2) {
        const QByteArray name = items[i].text.toUpper();
        const IMAPValue& value = items[i + 1];
        if (items[i].kind != IMAPValue::Atom)
            return false;
        if (name == "UID") {
            if (value.kind != IMAPValue::Atom || !ReadNzNumber(value.text, fetch.uid))
                return false;
        } else if (name == "FLAGS") {
            if (value.kind != IMAPValue::List)
                return false;
            fetch.flags.clear();
            for (const IMAPValue& flag : value.list) {
                if (flag.kind != IMAPValue::Atom)
                    return false;
                fetch.flags << flag.text;
            }
            fetch.hasFlags = true;
        } else if (name == "BODY[HEADER]") {
            if (value.kind == IMAPValue::List || value.kind == IMAPValue::Atom)
                return false;
            fetch.header = value.kind == IMAPValue::Nil ? QByteArray() : value.text;
            fetch.hasHeader = true;
        }
    }
    retFetch = fetch;
    return true;
}

bool HasFlag(const QList<QByteArray>& flags, const QByteArray& flag) {
    const QByteArray wanted = flag.toUpper();
    for (const QByteArray& each : flags)
        if (each.toUpper() == wanted)
            return true;
    return false;
}

bool QuotedString(const QByteArray& value, QByteArray& retQuoted) {
    if (value.size() > 1000)
        return false;
    QByteArray quoted = "\"";
    for (char c : value) {
        if (c == '\r' || c == '\n' || c == '\0' || static_cast<unsigned char>(c) >= 0x80)
            return false;
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    retQuoted = quoted + '"';
    return true;
}

QByteArray MailboxNameUtf7(const QString& name) {
    QByteArray result;
    QByteArray run; // UTF-16BE octets of characters outside printable ASCII
    const auto flush = [&result, &run] {
        if (run.isEmpty())
            return;
        QByteArray encoded = run.toBase64(QByteArray::OmitTrailingEquals);
        encoded.replace('/', ',');
        result += '&' + encoded + '-';
        run.clear();
    };
    for (QChar c : name) {
        const char16_t unit = c.unicode();
        if (unit >= 0x20 && unit <= 0x7e) {
            flush();
            result +=
                unit == u'&' ? QByteArrayLiteral("&-") : QByteArray(1, static_cast<char>(unit));
        } else {
            run += static_cast<char>(unit >> 8);
            run += static_cast<char>(unit & 0xff);
        }
    }
    flush();
    return result;
}
