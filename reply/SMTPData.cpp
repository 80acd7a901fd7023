#include "reply/SMTPData.h"

#include "platform/CodePage.h"

#include <algorithm>

namespace {
const QString CrLf = QStringLiteral("\r\n");
} // namespace

bool IsSafeCommandArgument(const QString& argument) {
    const QByteArray bytes = ToCodePage932(argument);
    return std::none_of(bytes.begin(), bytes.end(),
                        [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
}

bool IsSafeMailAddress(const QString& address) {
    const QByteArray bytes = ToCodePage932(address);
    return !bytes.isEmpty() && std::none_of(bytes.begin(), bytes.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b <= 0x20 || b == 0x7F || b == '<' || b == '>';
    });
}

QString DataBlock(const QString& sHead, const QString& sBody) {
    const QString head = sHead.endsWith(CrLf) ? sHead.chopped(2) : sHead;
    const QString message = head + CrLf + CrLf + sBody;
    QString block;
    block.reserve(message.size() + message.size() / 32 + 8);
    qsizetype start = 0;
    while (start < message.size()) {
        qsizetype end = start;
        while (end < message.size() && message[end] != u'\r' && message[end] != u'\n')
            ++end;
        if (message[start] == u'.')
            block += u'.';
        block += QStringView(message).mid(start, end - start);
        block += CrLf;
        // CR LF, a lone CR and a lone LF each end one line.
        if (end < message.size() && message[end] == u'\r' && end + 1 < message.size() &&
            message[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return block + QStringLiteral(".") + CrLf;
}
