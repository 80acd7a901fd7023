#include "reply/SMTPData.h"

#include "platform/CodePage.h"

#include <QHostAddress>
#include <algorithm>

namespace {
const QString CrLf = QStringLiteral("\r\n");
} // namespace

bool IsSafeCommandArgument(const QString& argument) {
    const QByteArray bytes = ToCodePage932(argument);
    return std::none_of(bytes.begin(), bytes.end(),
                        [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
}

QString HeloArgument(const QString& host) {
    QHostAddress address;
    if (!address.setAddress(host))
        return host;
    if (address.protocol() == QAbstractSocket::IPv4Protocol)
        return u'[' + address.toString() + u']';
    // A zone names an interface of this machine only; the literal has no place for it.
    address.setScopeId(QString());
    return QStringLiteral("[IPv6:") + address.toString() + u']';
}

bool IsSafeMailAddress(const QString& address) {
    // The message goes out as 7bit: an 8-bit byte in an address would be sent raw.
    return !address.isEmpty() && std::all_of(address.begin(), address.end(), [](QChar c) {
        return c >= u'\x21' && c <= u'\x7e' && c != u'<' && c != u'>';
    });
}

namespace {

// Appends the lines of text to block, each dot-stuffed and ended with CR LF; CR LF, a lone CR
// and a lone LF each end a line. The text after the last line end is a line too when it is
// not empty, or always with keepLastEmpty.
void AppendLines(QString& block, QStringView text, bool keepLastEmpty) {
    qsizetype start = 0;
    for (;;) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        if (end == text.size() && start == end && !keepLastEmpty)
            return;
        if (start < text.size() && text[start] == u'.')
            block += u'.';
        block += text.mid(start, end - start);
        block += CrLf;
        if (end == text.size())
            return;
        start =
            end + (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? 2 : 1);
    }
}

} // namespace

QString DataBlock(const QString& sHead, const QString& sBody) {
    // The message is the head, an empty line and the body, taken in place.
    const QStringView head = sHead.endsWith(CrLf) ? QStringView(sHead).chopped(2) : sHead;
    QString block;
    block.reserve(sHead.size() + sBody.size() + sBody.size() / 32 + 16);
    AppendLines(block, head, true);
    block += CrLf;
    AppendLines(block, sBody, false);
    return block + QStringLiteral(".") + CrLf;
}
