// Server bytes through the SMTP reply parsing, and arbitrary head and body text through the
// DATA block and the argument checks, with the properties each must keep.
#include "platform/CodePage.h"
#include "reply/SMTPData.h"
#include "reply/SMTPReply.h"

#include <QStringList>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// A complete reply ends in LF, and each line before its last continues it.
void CheckReplyLength(const QString& buffer) {
    const qsizetype length = CompleteReplyLength(buffer);
    Check(length >= 0 && length <= buffer.size());
    if (length == 0)
        return;
    const QString reply = buffer.left(length);
    Check(reply.endsWith(u'\n'));
    const QStringList lines = reply.chopped(1).split(u'\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        Check(lines[i].size() >= 4 && lines[i][3] == u'-');
    const QString& last = lines.last();
    Check(!(last.size() >= 4 && last[3] == u'-'));
    IsCode250(reply);
    IsCode354(reply);
}

// The block is CR LF lines, its only "." line is the last, and taking one dot off each line
// that has one gives the message back with its line ends made CR LF.
void CheckDataBlock(const QString& head, const QString& body) {
    const QString block = DataBlock(head, body);
    Check(block.endsWith(QStringLiteral("\r\n.\r\n")) || block == QStringLiteral(".\r\n"));
    QStringList lines = block.split(QStringLiteral("\r\n"));
    Check(lines.takeLast().isEmpty());
    Check(lines.takeLast() == QStringLiteral("."));
    QString unstuffed;
    for (QString& line : lines) {
        Check(!line.contains(u'\r') && !line.contains(u'\n'));
        Check(line != QStringLiteral("."));
        if (line.startsWith(u'.'))
            line.remove(0, 1);
        unstuffed += line + QStringLiteral("\r\n");
    }
    QString message = (head.endsWith(QStringLiteral("\r\n")) ? head.chopped(2) : head) +
                      QStringLiteral("\r\n\r\n") + body;
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (!message.endsWith(u'\n'))
        message += u'\n';
    Check(unstuffed == message.replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
}

void CheckArgument(const QString& text) {
    const QByteArray command = ToCodePage932(QStringLiteral("MAIL FROM:<") + text + u'>');
    if (IsSafeMailAddress(text)) {
        Check(IsSafeCommandArgument(text));
        // A message that goes out as 7bit carries no 8-bit byte in its addresses.
        Check(std::all_of(command.begin(), command.end(),
                          [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
        Check(command.count('<') == 1 && command.count('>') == 1 && command.count(' ') == 1);
    }
    if (IsSafeCommandArgument(text))
        Check(!command.contains('\r') && !command.contains('\n') && !command.contains('\0'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = FromCodePage932(bytes);
    CheckReplyLength(text);
    CheckReplyLength(QString::fromLatin1(bytes));
    const qsizetype cut =
        bytes.isEmpty() ? 0 : static_cast<std::uint8_t>(bytes[0]) % (text.size() + 1);
    CheckDataBlock(text.left(cut), text.mid(cut));
    CheckArgument(text);
    return 0;
}
