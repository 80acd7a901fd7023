#pragma once
// The account dialog's connection test: both servers tried with the values in the dialog, on
// sockets of its own, step by step (connect, TLS with the certificate, login, EHLO, AUTH), each
// step reported as a line as soon as it is known. Nothing is sent beyond the login and AUTH:
// no mail is read or sent.
#include "platform/TlsCheck.h"
#include "settings/CMailAccount.h"

#include <QString>
#include <functional>

struct ConnectionTestResult {
    bool POPPassed = false;
    bool SMTPPassed = false;
    TlsCheck POPCertificate; // what each TLS handshake saw, for pinning
    TlsCheck SMTPCertificate;
};

// Runs the test of account; report is called with each line. Waits pump events, each bounded
// by the account's Timeout.
ConnectionTestResult RunConnectionTest(const CMailAccount& account,
                                       const std::function<void(const QString& line)>& report);
