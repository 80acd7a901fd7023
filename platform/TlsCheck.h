#pragma once
// What a TLS handshake found of the peer's certificate: whether it passed, why not, and what
// identifies it, so that a user can be shown it and pin it.
#include <QList>
#include <QSslError>
#include <QString>

enum class TlsProblem {
    None,
    Expired,       // out of its validity period
    NotTrusted,    // no trusted root vouches for it (a self-signed or unknown CA)
    WrongHostName, // made for another host
    NotPinned,     // not the certificate whose fingerprint the account holds
    UnreadablePin, // the account holds a pin that is no fingerprint: no certificate can match
    Failed         // the handshake failed before any certificate was judged
};

struct TlsCheck {
    TlsProblem Problem = TlsProblem::None;
    QString Fingerprint;  // SHA-256 of the certificate, lower-case hex; empty when none came
    QString Subject;      // the certificate's subject, for display
    bool Checked = false; // a handshake ran
};

// The problem to report for a handshake's errors: an expired certificate before a wrong host
// name before an untrusted one (what the user can least fix comes first).
TlsProblem ProblemOf(const QList<QSslError>& errors);

// The Japanese reason shown and logged for a problem: "有効期限が切れています" and so on.
QString TlsProblemText(TlsProblem problem);

// A fingerprint as stored: lower-case hex digits only, so that "AB:CD:..." as tools print it,
// openssl's whole line "sha256 Fingerprint=AB:CD:..." (the label in any letter case) and
// "abcd..." compare equal. Empty when the text holds anything else but hex digits, ":" and
// spaces, or not exactly 64 digits.
QString NormalizedFingerprint(const QString& sText);

// The line that tells why a server's connection was refused for its certificate: the server's
// kind ("POP3", "SMTP"), the reason and, when a certificate came, its SHA-256 fingerprint.
QString TlsFailureLine(const QString& sServer, const TlsCheck& check);

// The line that tells which certificate a connection runs on: subject and fingerprint.
QString TlsCertificateLine(const TlsCheck& check);
