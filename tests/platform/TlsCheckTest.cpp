#include "platform/TlsCheck.h"

#include <gtest/gtest.h>

TEST(TlsCheck, TheReasonPutsWhatTheUserCanLeastFixFirst) {
    using E = QSslError;
    const struct {
        QList<QSslError> errors;
        TlsProblem expected;
    } cases[] = {
        {{}, TlsProblem::None},
        {{E(E::SelfSignedCertificate)}, TlsProblem::NotTrusted},
        {{E(E::UnableToGetLocalIssuerCertificate), E(E::CertificateUntrusted)},
         TlsProblem::NotTrusted},
        {{E(E::HostNameMismatch)}, TlsProblem::WrongHostName},
        {{E(E::SelfSignedCertificate), E(E::HostNameMismatch)}, TlsProblem::WrongHostName},
        {{E(E::HostNameMismatch), E(E::CertificateExpired)}, TlsProblem::Expired},
        {{E(E::CertificateNotYetValid)}, TlsProblem::Expired},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProblemOf(c.errors), c.expected) << c.errors.size();
    EXPECT_EQ(TlsProblemText(TlsProblem::Expired),
              QStringLiteral("証明書の有効期限が切れています"));
    EXPECT_TRUE(TlsProblemText(TlsProblem::None).isEmpty());
}

TEST(TlsCheck, FingerprintsCompareInEveryUsualSpelling) {
    const QString hex = QStringLiteral("0123456789abcdef").repeated(4);
    const struct {
        QString text;
        QString expected;
    } cases[] = {
        {hex, hex},
        {hex.toUpper(), hex},
        {QStringLiteral("01:23:45:67:89:AB:CD:EF:").repeated(4).chopped(1), hex},
        {QStringLiteral("  ") + hex + QStringLiteral(" "), hex},
        // openssl's whole line, as OpenSSL 3 and 1.1 print it.
        {QStringLiteral("sha256 Fingerprint=") + hex.toUpper(), hex},
        {QStringLiteral("SHA256 Fingerprint=") +
             QStringLiteral("01:23:45:67:89:ab:cd:ef:").repeated(4).chopped(1),
         hex},
        {QStringLiteral("sha1 Fingerprint=") + hex, QString()},
        {QStringLiteral("Fingerprint=") + hex, QString()},
        {hex.chopped(1), QString()},            // too short
        {hex + QStringLiteral("0"), QString()}, // too long
        {hex.chopped(1) + QStringLiteral("g"), QString()},
        {hex.chopped(1) + QStringLiteral("０"), QString()}, // a full-width digit
        {QString(), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalizedFingerprint(c.text), c.expected) << c.text.toStdString();
}

TEST(TlsCheck, TheFailureLineNamesTheServerTheReasonAndTheFingerprint) {
    TlsCheck check;
    check.Problem = TlsProblem::WrongHostName;
    check.Fingerprint = QStringLiteral("ab").repeated(32);
    EXPECT_EQ(
        TlsFailureLine(QStringLiteral("SMTP"), check),
        QStringLiteral("SMTPサーバーとTLSで接続できませんでした: 証明書のホスト名が一致しません "
                       "(SHA-256 ") +
            check.Fingerprint + u')');
    check = TlsCheck();
    check.Problem = TlsProblem::Failed;
    EXPECT_EQ(
        TlsFailureLine(QStringLiteral("POP3"), check),
        QStringLiteral("POP3サーバーとTLSで接続できませんでした: TLSの接続を確立できませんでした"));
}
