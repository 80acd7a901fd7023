// Any text through the stored password's decryption, and any password through an encryption
// and a decryption, with the properties each must keep.
#include "platform/CodePage.h"
#include "settings/PasswordCipher.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// text with a line end, a "+" or a "." put in at each place the picks name; never between a
// CR and an LF, so that no line end of text is parted.
QString WithIgnored(const QString& text, const QByteArray& picks) {
    const QString ignored[] = {QStringLiteral("\r\n"), QStringLiteral("+"), QStringLiteral(".")};
    QString mixed = text;
    for (const char pick : picks.left(3)) {
        qsizetype at = static_cast<std::uint8_t>(pick) % (mixed.size() + 1);
        if (at > 0 && at < mixed.size() && mixed[at - 1] == u'\r' && mixed[at] == u'\n')
            ++at;
        mixed.insert(at, ignored[static_cast<std::uint8_t>(pick) % 3]);
    }
    return mixed;
}

// The encrypted buffer's size in bytes: two random words, the length, the password's code
// page bytes and zeros up to a whole number of 8-byte blocks.
qsizetype BufferBytes(const QString& password) {
    const qsizetype bytes = 12 + ToCodePage932(password).size();
    return (bytes + 7) / 8 * 8;
}

bool IsUpperHex(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
    });
}

// Any password encrypts to fresh uppercase hex of the buffer's size, which decrypts, with
// ignored characters or without, to the password as the code page holds it (characters it
// lacks become "?", and a stray byte can pair up with the bytes after it).
void CheckRoundTrip(const QString& password, const QByteArray& picks) {
    const QString expected = FromCodePage932(ToCodePage932(password));
    const QString hex = EncryptPassword(password);
    Check(IsUpperHex(hex) && hex.size() == 2 * BufferBytes(password));
    Check(EncryptPassword(password) != hex);
    for (const QString& text : {hex, WithIgnored(hex, picks)}) {
        QString back;
        Check(DecryptPassword(text, back) && back == expected);
    }
}

// A refused text gives the empty password, a text of ignored characters only gives it
// accepted, and the ignored characters change nothing; an accepted password makes the round
// trip.
void CheckDecrypt(const QString& text, const QByteArray& picks) {
    QString password = QStringLiteral("old");
    const bool accepted = DecryptPassword(text, password);
    if (!accepted)
        Check(password.isEmpty());
    QString digits = text;
    digits.remove(QStringLiteral("\r\n")).remove(u'+').remove(u'.');
    if (digits.isEmpty())
        Check(accepted && password.isEmpty());
    QString mixed = QStringLiteral("old");
    Check(DecryptPassword(WithIgnored(text, picks), mixed) == accepted && mixed == password);
    if (accepted)
        CheckRoundTrip(password, picks);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = FromCodePage932(bytes);
    CheckDecrypt(text, bytes);
    CheckRoundTrip(text, bytes);
    CheckRoundTrip(QString::fromUtf8(bytes), bytes);
    return 0;
}
