#include "mailcheck/SenderAuthentication.h"

#include "mailcheck/AuthResultsField.h"
#include "mailcheck/SingleMailbox.h"

#include <QStringList>

namespace {

// The reason names at most this many results, each of at most this many characters.
constexpr qsizetype MaxShownResults = 8;
constexpr qsizetype MaxShownResultLength = 64;

// A domain as compared: ASCII lower case, without a final ".".
QString NormalDomain(QStringView domain) {
    if (domain.endsWith(u'.'))
        domain.chop(1);
    return AsciiLower(domain);
}

// The domain of an address, after its last "@"; empty without one.
QString DomainOf(QStringView address) {
    const qsizetype at = address.lastIndexOf(u'@');
    return at < 0 ? QString() : NormalDomain(address.sliced(at + 1));
}

// True when signer is fromDomain or a parent domain of it: "example.com" covers
// "mail.example.com", while "ample.com" covers neither, and a bare top-level name covers
// nothing.
bool Covers(const QString& signer, const QString& fromDomain) {
    if (signer.isEmpty() || signer.startsWith(u'.') || !signer.contains(u'.'))
        return false;
    return fromDomain == signer ||
           (fromDomain.endsWith(signer) && fromDomain.size() > signer.size() &&
            fromDomain[fromDomain.size() - signer.size() - 1] == u'.');
}

// A value from a field, fit for the log line: a plain domain or address as it stands, "?"
// for anything else.
QString Shown(const QString& value) {
    if (value.isEmpty() || value.size() > 253)
        return QStringLiteral("?");
    for (const QChar c : value) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'_' ||
                           c == u'@';
        if (!plain)
            return QStringLiteral("?");
    }
    return value;
}

const QString* PropertyOf(const AuthResult& result, QStringView name) {
    for (const auto& [key, value] : result.properties)
        if (key == name)
            return &value;
    return nullptr;
}

// What the trusted fields of one header said.
struct Findings {
    bool passed = false;
    bool dmarcFailed = false;
    bool dmarcUnnamed = false; // a dmarc=pass that does not say for which domain
    QString otherDkimSigner;   // "header.d=..." of a dkim=pass for another domain
    QString otherDmarcDomain;  // "header.from=..." of a dmarc=pass for another domain
    QStringList seen;          // "method=result", the first few distinct ones
};

void Judge(const AuthResult& result, const QString& fromDomain, Findings& findings) {
    const QString seen = result.method + u'=' + result.result;
    if (findings.seen.size() < MaxShownResults && seen.size() <= MaxShownResultLength &&
        !findings.seen.contains(seen))
        findings.seen.append(seen);
    if (result.method == u"dmarc") {
        if (result.result == u"fail")
            findings.dmarcFailed = true;
        if (result.result != u"pass")
            return;
        const QString* headerFrom = PropertyOf(result, u"header.from");
        if (!headerFrom)
            findings.dmarcUnnamed = true;
        else if (NormalDomain(*headerFrom) == fromDomain)
            findings.passed = true;
        else
            findings.otherDmarcDomain = QStringLiteral("header.from=") + Shown(*headerFrom);
    } else if (result.method == u"dkim" && result.result == u"pass") {
        for (const auto& [key, value] : result.properties) {
            // The identity i= lies in the signing domain d= or below it (RFC 6376 section
            // 3.5), so a From domain under either is under the signer.
            const QString signer = key == u"header.d"   ? NormalDomain(value)
                                   : key == u"header.i" ? DomainOf(value)
                                                        : QString();
            if (signer.isEmpty())
                continue;
            if (Covers(signer, fromDomain)) {
                findings.passed = true;
                return;
            }
            findings.otherDkimSigner = key + u'=' + Shown(value);
        }
    }
}

} // namespace

bool IsAuthenticatedSender(const QString& sHeader, const QString& sFromAddress,
                           const QString& sTrustedAuthServId, QString& retReason) {
    retReason.clear();
    const QString trusted = sTrustedAuthServId.trimmed();
    if (trusted.isEmpty()) {
        retReason = QStringLiteral("信頼する認証サーバーIDが設定されていません");
        return false;
    }
    const QString fromDomain = DomainOf(sFromAddress);
    if (fromDomain.isEmpty()) {
        retReason = QStringLiteral("差出人のアドレスにドメインがありません");
        return false;
    }
    Findings findings;
    int fromLines = 0;
    QString mailbox;
    bool oneMailbox = false;
    // The receiving server prepends its fields above its Received line; a trusted field below
    // the first Received line came with the mail, as the server need not remove it.
    bool belowReceived = false;
    bool trustedBelow = false;
    int trustedFields = 0;
    bool damaged = false;
    for (qsizetype start = 0; start < sHeader.size();) {
        qsizetype end = sHeader.indexOf(QStringLiteral("\r\n"), start);
        if (end < 0)
            end = sHeader.size();
        const QStringView line = QStringView(sHeader).sliced(start, end - start);
        start = end + 2;
        if (line.isEmpty())
            break; // the end of the header: a body does not count
        const qsizetype colon = line.indexOf(u':');
        if (colon < 0)
            continue;
        const QStringView name = line.first(colon);
        // Any spelling of From or Received counts here, so that no second From can hide from
        // this test and no trace line is missed.
        const QStringView looseName = name.trimmed();
        if (EqualsIgnoringAsciiCase(looseName, u"From")) {
            ++fromLines;
            oneMailbox = ReadSingleMailbox(line.sliced(colon + 1), mailbox);
        }
        if (EqualsIgnoringAsciiCase(looseName, u"Received"))
            belowReceived = true;
        if (!EqualsIgnoringAsciiCase(name, u"Authentication-Results"))
            continue;
        AuthResultsField field;
        const bool read = ReadAuthResultsField(line.sliced(colon + 1), field);
        if (!EqualsIgnoringAsciiCase(field.authServId, trusted))
            continue;
        if (belowReceived) {
            trustedBelow = true;
            continue;
        }
        if (!read) {
            damaged = true;
            continue;
        }
        ++trustedFields;
        for (const AuthResult& result : field.results)
            Judge(result, fromDomain, findings);
    }

    if (fromLines > 1)
        retReason = QStringLiteral("Fromヘッダーが複数あります");
    else if (trustedBelow)
        retReason = QStringLiteral("認証サーバー ") + trusted +
                    QStringLiteral(" の認証結果がReceivedより後にあります");
    else if (damaged)
        retReason = QStringLiteral("認証サーバー ") + trusted +
                    QStringLiteral(" の認証結果を読み取れませんでした");
    else if (trustedFields == 0)
        retReason =
            QStringLiteral("認証サーバー ") + trusted + QStringLiteral(" の認証結果がありません");
    // Every mail that came in over SMTP carries a Received line (RFC 5321 section 4.4); without
    // one the server's fields cannot be told from the sender's.
    else if (!belowReceived)
        retReason = QStringLiteral("Receivedヘッダーがないため認証結果の出所が分かりません");
    else if (!oneMailbox)
        retReason = QStringLiteral("差出人のアドレスが一つのメールアドレスではありません");
    else if (mailbox != sFromAddress)
        retReason = QStringLiteral("返信先が差出人のアドレスと一致しません");
    else if (findings.dmarcFailed)
        retReason = QStringLiteral("DMARCの検証に失敗しました (dmarc=fail)");
    else if (findings.passed)
        return true;
    else if (!findings.otherDkimSigner.isEmpty())
        retReason = QStringLiteral("DKIMの署名が差出人のドメインのものではありません (") +
                    findings.otherDkimSigner + u')';
    else if (!findings.otherDmarcDomain.isEmpty())
        retReason = QStringLiteral("DMARCの検証が差出人のドメインのものではありません (") +
                    findings.otherDmarcDomain + u')';
    else if (findings.dmarcUnnamed)
        retReason = QStringLiteral(
            "DMARCの検証がどのドメインのものか分かりません (header.from がありません)");
    else
        retReason = QStringLiteral("DMARCにもDKIMにも合格していません (") +
                    (findings.seen.isEmpty() ? QStringLiteral("none") : findings.seen.join(u", ")) +
                    u')';
    return false;
}
