#include "mailcheck/ConnectionTest.h"

#include "mailcheck/CCryptMD5.h"
#include "mailcheck/CPOP3.h"
#include "mailcheck/SocketRouting.h"
#include "platform/SocketControl.h"
#include "reply/CSMTP.h"
#include "reply/modSendMail.h"

namespace {

QString Address(const QString& host, int port) {
    return host + u':' + QString::number(port);
}

bool TestPOP(CPOP3& pop, const SocketControl& sock, const CMailAccount& account,
             const std::function<void(const QString&)>& report) {
    const QString name = QStringLiteral("POP3: ");
    report(name + QStringLiteral("接続しています... ") + Address(account.POPHost, account.POPPort));
    pop.Security(account.POPSecurity, account.POPCertificate);
    pop.TimeoutSecond(static_cast<float>(account.Timeout));
    QString challenge;
    const bool connected = pop.Connect(account.POPHost, account.POPPort, challenge);
    if (!connected) {
        report(name + (pop.LastFailure().isEmpty() ? QStringLiteral("接続できませんでした")
                                                   : pop.LastFailure()));
        pop.SockClose();
        return false;
    }
    report(name + QStringLiteral("接続しました"));
    if (sock.IsEncrypted())
        report(name + TlsCertificateLine(sock.Certificate()));
    else
        report(name + QStringLiteral("暗号化されていない接続です (TLSの使用をおすすめします)"));
    bool loggedIn;
    if (account.APOP) {
        CCryptMD5 md5;
        loggedIn =
            pop.Login2(account.UserName, md5.DigestStrToHexStr(challenge + account.Password));
    } else {
        loggedIn = pop.Login(account.UserName, account.Password);
    }
    report(name + (loggedIn ? QStringLiteral("ログインしました")
                            : QStringLiteral("ログインできませんでした")));
    pop.Quit();
    return loggedIn;
}

bool TestSMTP(CSMTP& smtp, const CMailAccount& account,
              const std::function<void(const QString&)>& report) {
    const QString name = QStringLiteral("SMTP: ");
    report(name + QStringLiteral("接続しています... ") +
           Address(account.SMTPHost, account.SMTPPort));
    smtp.SetTimeout(static_cast<float>(account.Timeout));
    PrepareSMTP(smtp, account);
    // Each step (HELO or EHLO, STARTTLS, the certificate, AUTH) with the server's reply.
    smtp.onStep = [&report, &name](const QString& line) { report(name + line); };
    bool passed = smtp.Connect(account.SMTPHost, account.SMTPPort);
    if (passed) {
        report(name + QStringLiteral("接続しました"));
        passed = smtp.Handshake();
    }
    if (!passed)
        report(name + (smtp.LastFailure().isEmpty() ? QStringLiteral("接続できませんでした")
                                                    : smtp.LastFailure()));
    smtp.Quit();
    smtp.onStep = nullptr;
    return passed;
}

} // namespace

ConnectionTestResult RunConnectionTest(const CMailAccount& account,
                                       const std::function<void(const QString& line)>& report) {
    SocketControl sckPOP;
    SocketControl sckSMTP;
    CPOP3 pop;
    CSMTP smtp;
    pop.Init(sckPOP);
    smtp.Init(sckSMTP);
    SocketRouting routing(sckPOP, pop, sckSMTP, smtp);
    ConnectionTestResult result;
    result.POPPassed = TestPOP(pop, sckPOP, account, report);
    result.POPCertificate = sckPOP.Certificate();
    result.SMTPPassed = TestSMTP(smtp, account, report);
    result.SMTPCertificate = sckSMTP.Certificate();
    report(result.POPPassed && result.SMTPPassed ? QStringLiteral("接続テストに成功しました")
                                                 : QStringLiteral("接続テストに失敗しました"));
    return result;
}
