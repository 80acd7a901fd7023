// Arbitrary text through the reply's text steps: the subject's encoded words (read back by the
// program's own DecodeSubject), the body's ISO-2022-JP lines and the base64 wrapping, with the
// properties a mail must keep: 7-bit bytes, CR LF lines, bounded line lengths.
#include "platform/CodePage.h"
#include "reply/modSendMail.h"
#include "textenc/EncodedWords.h"
#include "textenc/MailJis.h"
#include "textenc/modConvXJIS.h"

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

bool SevenBit(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

bool PrintableAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u' ' && c < u'\x7f'; });
}

void CheckSubject(const QString& subject) {
    const QString value = EncodeHeaderText(subject, 9);
    if (PrintableAscii(subject) && subject.size() <= 78 - 9)
        Check(value == subject);
    Check(SevenBit(value));
    const QStringList lines = (QStringLiteral("Subject: ") + value).split(QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        Check(lines[i].size() <= 78);
        Check(!lines[i].contains(u'\r') && !lines[i].contains(u'\n'));
        Check(i == 0 || lines[i].startsWith(u' '));
    }
    // Printable ASCII is only folded: without its line ends it is the subject again. Any
    // other text, and ASCII with a run too long for a line, is encoded words, which the mail
    // check unfolds by dropping CR LF and the space after it.
    if (PrintableAscii(subject) && QString(value).remove(QStringLiteral("\r\n")) == subject)
        return;
    const QString unfolded = QString(value).remove(QStringLiteral("\r\n "));
    Check(DecodeSubject(unfolded) == ToJisRepertoire(subject));
}

void CheckBody(const QString& body) {
    const QByteArray jis = TextToJis(body);
    Check(std::all_of(jis.begin(), jis.end(), [](char c) { return (c & 0x80) == 0; }));
    Check(FromCodePage932(JisToSjis(jis)) == ToJisRepertoire(body));
    CResAccount setting;
    setting.SendMail_Body = body;
    setting.SendMail_Subject = body;
    QString mail;
    Check(MakeReplyText(setting, QStringLiteral("a@x"), QStringLiteral("b@y"), QString(), mail));
    Check(SevenBit(mail));
    Check(mail.endsWith(QStringLiteral("\r\n")));
    QStringList lines = mail.split(QStringLiteral("\r\n"));
    lines.removeLast();
    for (const QString& line : lines) {
        Check(line.size() <= 998);
        Check(!line.contains(u'\r') && !line.contains(u'\n'));
    }
}

// Pieces of width characters (the text may hold line ends of its own, so they are found by
// position), each followed by CR LF.
void CheckWrap(const QString& text, int width) {
    const QString wrapped = WrapLines(text, width);
    const qsizetype step = std::max(width, 1);
    const qsizetype pieces = (text.size() + step - 1) / step;
    Check(wrapped.size() == text.size() + 2 * pieces);
    for (qsizetype i = 0; i < pieces; ++i) {
        const QString piece = text.mid(i * step, step);
        Check(wrapped.mid(i * (step + 2), piece.size()) == piece);
        Check(wrapped.mid(i * (step + 2) + piece.size(), 2) == QStringLiteral("\r\n"));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // Both readings: the program's code page, and UTF-8 for characters beyond it.
    for (const QString& text : {FromCodePage932(bytes), QString::fromUtf8(bytes)}) {
        CheckSubject(text);
        CheckBody(text);
        CheckWrap(text, bytes.isEmpty() ? 76 : static_cast<std::uint8_t>(bytes[0]) % 90);
    }
    return 0;
}
