#include "tests/support/SmtpServer.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// As the script names a recipient's folder.
QString FolderName(const QString& address) {
    if (address.isEmpty())
        return QStringLiteral("%00");
    QString name = address;
    return name.replace(u'%', QStringLiteral("%25")).replace(u'/', QStringLiteral("%2F"));
}

} // namespace

SmtpServer::~SmtpServer() {
    if (server.state() == QProcess::NotRunning)
        return;
    server.terminate();
    if (!server.waitForFinished(5000)) {
        server.kill();
        server.waitForFinished(2000);
    }
}

bool SmtpServer::Start(QString& retProblem, const QStringList& refusedRecipients) {
    Offer offer;
    offer.RefusedRecipients = refusedRecipients;
    return StartOffering(retProblem, offer);
}

bool SmtpServer::StartOffering(QString& retProblem, const Offer& offer) {
    if (!root.isValid()) {
        retProblem = QStringLiteral("no temporary folder");
        return false;
    }
    QStringList arguments{QStringLiteral(VISTREL_SOURCE_DIR "/tests/support/smtp_server.py"),
                          root.path()};
    for (const QString& address : offer.RefusedRecipients)
        arguments << QStringLiteral("--refuse-rcpt") << address;
    if (!offer.Tls.isEmpty())
        arguments << QStringLiteral("--tls") << offer.Tls << QStringLiteral("--cert")
                  << offer.CertFile << QStringLiteral("--key") << offer.KeyFile;
    for (const QString& user : offer.Users)
        arguments << QStringLiteral("--user") << user;
    for (const QString& mechanism : offer.Mechanisms)
        arguments << QStringLiteral("--mechanism") << mechanism;
    if (offer.AuthWithoutTls)
        arguments << QStringLiteral("--auth-without-tls");
    if (offer.RefuseEhlo)
        arguments << QStringLiteral("--refuse-ehlo");
    if (!offer.Hold.isEmpty())
        arguments << QStringLiteral("--hold") << offer.Hold << QStringLiteral("--hold-message")
                  << QString::number(offer.HoldMessage);
    server.start(QStringLiteral("/usr/bin/python3"), arguments);
    // The script prints its port once it listens; a few seconds bound a slow machine.
    QByteArray output;
    for (int tries = 0; tries < 100 && !output.contains('\n'); ++tries) {
        if (!server.waitForReadyRead(100) && server.state() == QProcess::NotRunning)
            break;
        output += server.readAllStandardOutput();
    }
    const QByteArray line = output.left(output.indexOf('\n')).trimmed();
    if (line.startsWith("port "))
        port = line.mid(5).toInt();
    if (port > 0)
        return true;
    retProblem =
        QStringLiteral("the SMTP server did not come up: %1\n%2")
            .arg(QString::fromUtf8(output), QString::fromUtf8(server.readAllStandardError()));
    return false;
}

QString SmtpServer::MaildirOf(const QString& recipient) const {
    return root.filePath(FolderName(recipient));
}

bool SmtpServer::Holding() const {
    return QFile::exists(root.filePath(QStringLiteral("%held")));
}

std::vector<SmtpServer::StoredMail> SmtpServer::Mails(const QString& recipient) const {
    const QDir maildir(MaildirOf(recipient));
    std::vector<StoredMail> mails;
    for (const QString& name :
         QDir(maildir.filePath(QStringLiteral("new"))).entryList(QDir::Files, QDir::Name)) {
        const QJsonObject envelope =
            QJsonDocument::fromJson(
                ReadFile(maildir.filePath(QStringLiteral("envelope/") + name + ".json")))
                .object();
        StoredMail mail;
        mail.Message = ReadFile(maildir.filePath(QStringLiteral("new/") + name));
        mail.MailFrom = envelope[QStringLiteral("mail_from")].toString();
        for (const QJsonValue& rcpt : envelope[QStringLiteral("rcpt_tos")].toArray())
            mail.RcptTos << rcpt.toString();
        mail.Helo = envelope[QStringLiteral("helo")].toString();
        mail.Login = envelope[QStringLiteral("login")].toString();
        mail.Tls = envelope[QStringLiteral("tls")].toBool();
        mails.push_back(mail);
    }
    return mails;
}
