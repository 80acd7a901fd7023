#pragma once
// The account dialog's connection test: the incoming server (POP3 or IMAP, as the account
// chooses) and the SMTP server tried with the values in the dialog, on sockets of their own,
// step by step (connect, greeting, TLS with the certificate, login, for IMAP the capabilities,
// the folder and IDLE, then EHLO and AUTH), each step reported as a line as soon as it is known.
// Nothing is sent beyond the login, SELECT and AUTH: no mail is read or sent.
#include "platform/TlsCheck.h"
#include "settings/CMailAccount.h"

#include <QString>
#include <functional>

class CIMAP;
class CPOP3;
class CSMTP;

struct ConnectionTestResult {
    bool POPPassed = false; // the incoming server, POP3 or IMAP
    bool SMTPPassed = false;
    bool Stopped = false;    // Stop ended the test before its end
    TlsCheck POPCertificate; // what each TLS handshake saw, for pinning
    TlsCheck SMTPCertificate;
};

class ConnectionTest {
  public:
    // Runs the test of account; report is called with each line. Waits pump events, each
    // bounded by the account's Timeout, so Stop can come from an event meanwhile.
    ConnectionTestResult Run(const CMailAccount& account,
                             const std::function<void(const QString& line)>& report);
    // Ends a running test at the next poll of its wait: that step fails, no later step runs,
    // and the report's last line says the test was stopped. Harmless when none runs.
    void Stop();
    bool Running() const { return running; }

  private:
    bool running = false;
    bool stopped = false;
    CPOP3* pop = nullptr; // the clients of the running test
    CIMAP* imap = nullptr;
    CSMTP* smtp = nullptr;
};
