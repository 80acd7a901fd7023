#include "mailcheck/ConnectionTest.h"

#include "mailcheck/CCryptMD5.h"
#include "mailcheck/CIMAP.h"
#include "mailcheck/CPOP3.h"
#include "mailcheck/SocketRouting.h"
#include "platform/SocketControl.h"
#include "reply/CSMTP.h"
#include "reply/modSendMail.h"

namespace {

using Report = std::function<void(const QString&)>;

QString Address(const QString& host, int port) {
    return host + u':' + QString::number(port);
}

// Why a connection failed: the client's reason, otherwise a greeting that never came on a
// connection that opened, otherwise no connection at all.
QString ConnectFailure(const QString& lastFailure, const SocketControl& sock) {
    if (!lastFailure.isEmpty())
        return lastFailure;
    return sock.State() == SocketControl::sckConnected
               ? QStringLiteral("サーバーから応答がありませんでした")
               : QStringLiteral("接続できませんでした");
}

void ReportConnected(const QString& name, const SocketControl& sock, const Report& report) {
    report(name + QStringLiteral("接続しました"));
    if (sock.IsEncrypted())
        report(name + TlsCertificateLine(sock.Certificate()));
    else
        report(name + QStringLiteral("暗号化されていない接続です (TLSの使用をおすすめします)"));
}

QString LoginLine(bool loggedIn) {
    return loggedIn ? QStringLiteral("ログインしました")
                    : QStringLiteral("ログインできませんでした");
}

bool TestPOP(CPOP3& pop, const SocketControl& sock, const CMailAccount& account,
             const Report& report) {
    const QString name = QStringLiteral("POP3: ");
    report(name + QStringLiteral("接続しています... ") + Address(account.POPHost, account.POPPort));
    pop.Security(account.POPSecurity, account.POPCertificate);
    pop.TimeoutSecond(static_cast<float>(account.Timeout));
    QString challenge;
    // A Connect without a whole greeting is out of step: the server never said it was there.
    if (!pop.Connect(account.POPHost, account.POPPort, challenge) || !pop.InStep()) {
        report(name + ConnectFailure(pop.LastFailure(), sock));
        pop.SockClose();
        return false;
    }
    ReportConnected(name, sock, report);
    bool loggedIn;
    if (account.APOP) {
        CCryptMD5 md5;
        loggedIn =
            pop.Login2(account.UserName, md5.DigestStrToHexStr(challenge + account.Password));
    } else {
        loggedIn = pop.Login(account.UserName, account.Password);
    }
    report(name + LoginLine(loggedIn));
    // A login that got no whole reply (a stop among them) ends without QUIT's wait.
    if (pop.InStep())
        pop.Quit();
    else
        pop.SockClose();
    return loggedIn;
}

// The capabilities the program uses or that tell why it cannot, as the server offers them.
QString CapabilityLine(const CIMAP& imap) {
    QStringList offered;
    for (const char* name : {"IMAP4rev1", "IMAP4rev2", "STARTTLS", "LOGINDISABLED", "AUTH=PLAIN",
                             "SASL-IR", "LITERAL+", "UIDPLUS", "IDLE"})
        if (imap.HasCapability(QByteArray(name).toUpper()))
            offered << QString::fromLatin1(name);
    return QStringLiteral("機能: ") + offered.join(u' ');
}

bool TestIMAP(CIMAP& imap, const SocketControl& sock, const CMailAccount& account,
              const Report& report) {
    const QString name = QStringLiteral("IMAP: ");
    report(name + QStringLiteral("接続しています... ") + Address(account.POPHost, account.POPPort));
    imap.Security(account.POPSecurity, account.POPCertificate);
    imap.TimeoutSecond(static_cast<float>(account.Timeout));
    if (!imap.Connect(account.POPHost, account.POPPort)) {
        report(name + ConnectFailure(imap.LastFailure(), sock));
        imap.SockClose();
        return false;
    }
    ReportConnected(name, sock, report);
    report(name + CapabilityLine(imap));
    const bool loggedIn = imap.Login(account.UserName, account.Password);
    report(name + LoginLine(loggedIn));
    bool selected = false;
    if (loggedIn) {
        const QString folder = QStringLiteral("フォルダ ") + account.IMAPFolder;
        selected = imap.Select(account.IMAPFolder);
        report(name + folder +
               (selected ? QStringLiteral(" を選択しました")
                         : QStringLiteral(" を選択できませんでした")));
        // Asked after the login: a server may offer more to a user it knows.
        report(name + (imap.HasCapability("IDLE")
                           ? QStringLiteral("IDLEに対応しています (新しいメールにすぐ返信します)")
                           : QStringLiteral("IDLEに対応していません (メールチェック間隔ごとに"
                                            "確認します)")));
    }
    if (imap.InStep())
        imap.Logout();
    imap.SockClose();
    return selected;
}

bool TestSMTP(CSMTP& smtp, const CMailAccount& account, const Report& report) {
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

ConnectionTestResult ConnectionTest::Run(const CMailAccount& account,
                                         const std::function<void(const QString& line)>& report) {
    SocketControl sckPOP;
    SocketControl sckIMAP;
    SocketControl sckSMTP;
    CPOP3 popClient;
    CIMAP imapClient;
    CSMTP smtpClient;
    popClient.Init(sckPOP);
    imapClient.Init(sckIMAP);
    smtpClient.Init(sckSMTP);
    SocketRouting routing(sckPOP, popClient, sckSMTP, smtpClient);
    IMAPRouting imapRouting(sckIMAP, imapClient);
    pop = &popClient;
    imap = &imapClient;
    smtp = &smtpClient;
    running = true;
    stopped = false;
    // A step that a stop cut short would report a failure that the server did not cause.
    const Report shown = [this, &report](const QString& line) {
        if (!stopped)
            report(line);
    };

    ConnectionTestResult result;
    if (account.MailProtocol == ProtocolIMAP) {
        result.POPPassed = TestIMAP(imapClient, sckIMAP, account, shown);
        result.POPCertificate = sckIMAP.Certificate();
    } else {
        result.POPPassed = TestPOP(popClient, sckPOP, account, shown);
        result.POPCertificate = sckPOP.Certificate();
    }
    if (!stopped) {
        result.SMTPPassed = TestSMTP(smtpClient, account, shown);
        result.SMTPCertificate = sckSMTP.Certificate();
    }
    result.Stopped = stopped;
    pop = nullptr;
    imap = nullptr;
    smtp = nullptr;
    running = false;
    if (result.Stopped)
        report(QStringLiteral("接続テストを中止しました"));
    else
        report(result.POPPassed && result.SMTPPassed ? QStringLiteral("接続テストに成功しました")
                                                     : QStringLiteral("接続テストに失敗しました"));
    return result;
}

void ConnectionTest::Stop() {
    if (!running)
        return;
    stopped = true;
    pop->Cancel();
    imap->Cancel();
    smtp->Cancel();
}
