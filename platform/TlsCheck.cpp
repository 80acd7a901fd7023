#include "platform/TlsCheck.h"

#include <algorithm>

TlsProblem ProblemOf(const QList<QSslError>& errors) {
    const auto has = [&errors](std::initializer_list<QSslError::SslError> kinds) {
        return std::any_of(errors.begin(), errors.end(), [&kinds](const QSslError& error) {
            return std::find(kinds.begin(), kinds.end(), error.error()) != kinds.end();
        });
    };
    if (has({QSslError::CertificateExpired, QSslError::CertificateNotYetValid}))
        return TlsProblem::Expired;
    if (has({QSslError::HostNameMismatch}))
        return TlsProblem::WrongHostName;
    return errors.isEmpty() ? TlsProblem::None : TlsProblem::NotTrusted;
}

QString TlsProblemText(TlsProblem problem) {
    switch (problem) {
    case TlsProblem::None:
        return QString();
    case TlsProblem::Expired:
        return QStringLiteral("証明書の有効期限が切れています");
    case TlsProblem::NotTrusted:
        return QStringLiteral("証明書の発行者が信頼されていません");
    case TlsProblem::WrongHostName:
        return QStringLiteral("証明書のホスト名が一致しません");
    case TlsProblem::NotPinned:
        return QStringLiteral("登録された証明書と違います");
    case TlsProblem::UnreadablePin:
        return QStringLiteral("登録された証明書のフィンガープリントを読み取れません");
    case TlsProblem::Failed:
        break;
    }
    return QStringLiteral("TLSの接続を確立できませんでした");
}

QString NormalizedFingerprint(const QString& sText) {
    const QString label = QStringLiteral("sha256 Fingerprint=");
    QString text = sText.trimmed();
    if (text.startsWith(label, Qt::CaseInsensitive))
        text.remove(0, label.size());
    QString digits;
    for (const QChar c : text) {
        if (c == u':' || c == u' ')
            continue;
        const QChar lower = c.toLower();
        if (!((lower >= u'0' && lower <= u'9') || (lower >= u'a' && lower <= u'f')))
            return QString();
        digits += lower;
    }
    return digits.size() == 64 ? digits : QString();
}

QString TlsFailureLine(const QString& sServer, const TlsCheck& check) {
    QString line = sServer + QStringLiteral("サーバーとTLSで接続できませんでした: ") +
                   TlsProblemText(check.Problem);
    if (!check.Fingerprint.isEmpty())
        line += QStringLiteral(" (SHA-256 ") + check.Fingerprint + u')';
    return line;
}

QString TlsCertificateLine(const TlsCheck& check) {
    return QStringLiteral("TLSで接続しました 証明書: ") + check.Subject +
           QStringLiteral(" SHA-256 ") + check.Fingerprint;
}
