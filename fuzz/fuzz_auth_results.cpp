// Header bytes through the Authentication-Results reading, the From mailbox reading and the
// sender check, with the properties each must keep.
#include "mailcheck/AuthResultsField.h"
#include "mailcheck/SenderAuthentication.h"
#include "mailcheck/SingleMailbox.h"
#include "platform/CodePage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

bool IsLowerKeyword(const QString& text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_'))
            return false;
    return true;
}

// A field read whole has an id and keyword names; "none" has no results.
void CheckField(const QString& value) {
    AuthResultsField field;
    if (!ReadAuthResultsField(value, field))
        return;
    Check(!field.authServId.isEmpty());
    for (const AuthResult& result : field.results) {
        Check(IsLowerKeyword(result.method) && IsLowerKeyword(result.result));
        for (const auto& [key, property] : result.properties)
            Check(!key.isEmpty() && !property.isNull());
    }
}

// A mailbox read whole is one address that the value holds as written.
void CheckMailbox(const QString& value) {
    QString address;
    if (ReadSingleMailbox(value, address))
        Check(address.count(u'@') == 1 && value.contains(address));
}

// A reason comes exactly with a refusal; a header without an Authentication-Results field, a
// Received line or the answered address is refused.
void CheckSender(const QString& header) {
    const QString from = QStringLiteral("alice@example.com");
    const QString trusted = QStringLiteral("mx.example.jp");
    QString reason;
    const bool authenticated = IsAuthenticatedSender(header, from, trusted, reason);
    Check(authenticated == reason.isEmpty());
    if (!header.contains(QStringLiteral("Authentication-Results"), Qt::CaseInsensitive) ||
        !header.contains(QStringLiteral("Received"), Qt::CaseInsensitive) || !header.contains(from))
        Check(!authenticated);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = FromCodePage932(bytes);
    CheckField(text);
    CheckMailbox(text);
    CheckSender(text);
    CheckSender(QStringLiteral("Authentication-Results: mx.example.jp; ") + text);
    return 0;
}
