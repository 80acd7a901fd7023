#include "tests/support/DovecotServer.h"

#include "platform/Clock.h"
#include "tests/support/LoopbackPort.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QThread>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {

// Dovecot refuses mail access as root; as root, mailboxes belong to Debian's "mail" user.
constexpr uid_t MailUid = 8;
constexpr gid_t MailGid = 8;

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool GiveToMailUser(const QString& path) {
    return chown(QFile::encodeName(path).constData(), MailUid, MailGid) == 0;
}

} // namespace

DovecotServer::DovecotServer() : asRoot(geteuid() == 0) {}

DovecotServer::~DovecotServer() {
    if (master.state() == QProcess::NotRunning)
        return;
    master.terminate(); // SIGTERM to the master's process id; it stops its children
    if (!master.waitForFinished(5000)) {
        master.kill();
        master.waitForFinished(2000);
    }
}

QString DovecotServer::Program() {
    const QString inPath = QStandardPaths::findExecutable(QStringLiteral("dovecot"));
    if (!inPath.isEmpty())
        return inPath;
    return QStandardPaths::findExecutable(QStringLiteral("dovecot"),
                                          {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
}

void DovecotServer::OfferTls(const QString& cert, const QString& key) {
    certFile = cert;
    keyFile = key;
}

bool DovecotServer::Start(const std::vector<User>& users, QString& retProblem) {
    if (!base.isValid()) {
        retProblem = QStringLiteral("no temporary folder");
        return false;
    }
    const QDir dir(base.path());
    QByteArray passwd;
    bool prepared = true;
    for (const auto& [name, password] : users) {
        passwd += (name + u':' + password + QStringLiteral("::::::\n")).toUtf8();
        // Each mailbox exists, owned by the user the server reads it as, before the first login.
        const QString home = dir.filePath(QStringLiteral("mail/") + name);
        for (const QString& path :
             {home, MaildirOf(name), MaildirOf(name) + QStringLiteral("/cur"),
              MaildirOf(name) + QStringLiteral("/new"), MaildirOf(name) + QStringLiteral("/tmp")})
            prepared = prepared && dir.mkpath(path) && (!asRoot || GiveToMailUser(path));
    }
    port = FreeLoopbackPort();
    tlsPort = certFile.isEmpty() ? 0 : FreeLoopbackPort();
    imapPort = imap ? FreeLoopbackPort() : 0;
    imapTlsPort = imap && !certFile.isEmpty() ? FreeLoopbackPort() : 0;
    const QString config = dir.filePath(QStringLiteral("dovecot.conf"));
    if (!prepared || port == 0 || (!certFile.isEmpty() && (tlsPort == 0 || tlsPort == port)) ||
        !WriteFile(dir.filePath(QStringLiteral("users")), passwd) ||
        !WriteFile(config, Config().toUtf8())) {
        retProblem = QStringLiteral("could not prepare the server's folder");
        return false;
    }
    // The master keeps the output it was started with: files, so that no pipe holds it.
    master.setStandardOutputFile(dir.filePath(QStringLiteral("stdout.log")));
    master.setStandardErrorFile(dir.filePath(QStringLiteral("stderr.log")));
    master.start(Program(), {QStringLiteral("-F"), QStringLiteral("-c"), config});
    if (master.waitForStarted(5000) && WaitForGreeting())
        return true;
    retProblem = QStringLiteral("dovecot did not come up on port %1:\n%2%3")
                     .arg(port)
                     .arg(QString::fromUtf8(ReadFile(dir.filePath(QStringLiteral("stderr.log")))),
                          QString::fromUtf8(ReadFile(dir.filePath(QStringLiteral("dovecot.log")))));
    return false;
}

bool DovecotServer::Deliver(const QString& user, const QByteArray& message,
                            const QByteArray& maildirFlags) {
    // Maildir delivery: write below tmp/, then move into new/ under a unique name, or into
    // cur/ with the flags after the name.
    const QString name = QStringLiteral("%1.M%2P%3.vistrel")
                             .arg(QDateTime::currentSecsSinceEpoch())
                             .arg(++delivered, 6, 10, QLatin1Char('0'))
                             .arg(QCoreApplication::applicationPid());
    const QString temporary = MaildirOf(user) + QStringLiteral("/tmp/") + name;
    if (!WriteFile(temporary, message) || (asRoot && !GiveToMailUser(temporary)))
        return false;
    if (maildirFlags.isEmpty())
        return QFile::rename(temporary, MaildirOf(user) + QStringLiteral("/new/") + name);
    return QFile::rename(temporary, MaildirOf(user) + QStringLiteral("/cur/") + name +
                                        QStringLiteral(":2,") + QString::fromLatin1(maildirFlags));
}

bool DovecotServer::RecreateMailbox(const QString& user) {
    // The messages, the indexes and the UID list go; the counter the next UIDVALIDITY is drawn
    // from stays, as a server keeps it across a folder's life.
    QDir maildir(MaildirOf(user));
    bool removed = true;
    for (const QFileInfo& entry :
         maildir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (entry.fileName().startsWith(QStringLiteral("dovecot-uidvalidity")))
            continue;
        removed = removed && (entry.isDir() ? QDir(entry.filePath()).removeRecursively()
                                            : QFile::remove(entry.filePath()));
    }
    for (const char* sub : {"cur", "new", "tmp"}) {
        const QString path = maildir.filePath(QLatin1String(sub));
        removed = removed && maildir.mkpath(path) && (!asRoot || GiveToMailUser(path));
    }
    return removed;
}

int DovecotServer::StoredCount(const QString& user) const {
    return static_cast<int>(Stored(user).size());
}

std::vector<QByteArray> DovecotServer::Stored(const QString& user) const {
    std::vector<QByteArray> messages;
    for (const char* sub : {"/cur", "/new"}) {
        const QDir dir(MaildirOf(user) + QLatin1String(sub));
        for (const QString& name : dir.entryList(QDir::Files | QDir::NoDotAndDotDot)) {
            QFile file(dir.filePath(name));
            messages.push_back(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        }
    }
    return messages;
}

QString DovecotServer::MaildirOf(const QString& user) const {
    return base.filePath(QStringLiteral("mail/") + user + QStringLiteral("/Maildir"));
}

QString DovecotServer::Config() const {
    const QString b = base.path();
    QString text =
        QStringLiteral("protocols = pop3%7\n"
                       "listen = 127.0.0.1\n"
                       "%4"
                       "disable_plaintext_auth = no\n"
                       "auth_mechanisms = plain apop\n"
                       "auth_failure_delay = 0\n"
                       "pop3_reuse_xuidl = %6\n"
                       "base_dir = %1/run\n"
                       "state_dir = %1/state\n"
                       "log_path = %1/dovecot.log\n"
                       "passdb {\n  driver = passwd-file\n"
                       "  args = scheme=PLAIN username_format=%n %1/users\n}\n"
                       "userdb {\n  driver = passwd-file\n  args = username_format=%n %1/users\n}\n"
                       // A failed login would otherwise slow every later one down.
                       "service anvil {\n%3  unix_listener anvil-auth-penalty {\n"
                       "    path = anvil-auth-penalty-disabled\n  }\n}\n"
                       "service pop3-login {\n%3"
                       "  inet_listener pop3 {\n    address = 127.0.0.1\n    port = %2\n  }\n"
                       "  inet_listener pop3s {\n%5  }\n}\n")
            .arg(b)
            .arg(port)
            // Only root may chroot; otherwise these two services run unconfined.
            .arg(asRoot ? QString() : QStringLiteral("  chroot =\n"))
            .arg(certFile.isEmpty() ? QStringLiteral("ssl = no\n")
                                    : QStringLiteral("ssl = yes\nssl_cert = <%1\nssl_key = <%2\n")
                                          .arg(certFile, keyFile))
            .arg(certFile.isEmpty()
                     ? QStringLiteral("    port = 0\n")
                     : QStringLiteral("    address = 127.0.0.1\n    port = %1\n    ssl = yes\n")
                           .arg(tlsPort))
            .arg(reuseXUidl ? QStringLiteral("yes") : QStringLiteral("no"))
            .arg(imap ? QStringLiteral(" imap") : QString());
    if (imap)
        text += ImapConfig();
    if (asRoot) {
        // The mail user cannot pass the private temporary folder: chroot into the mailboxes.
        return text + QStringLiteral("first_valid_uid = %2\nfirst_valid_gid = %3\n"
                                     "mail_uid = %2\nmail_gid = %3\n"
                                     "mail_chroot = %1/mail\nvalid_chroot_dirs = %1/mail\n"
                                     "mail_home = /%n\nmail_location = maildir:~/Maildir\n"
                                     "service auth {\n  user = root\n}\n")
                          .arg(b)
                          .arg(MailUid)
                          .arg(MailGid);
    }
    const passwd* me = getpwuid(getuid());
    const group* myGroup = getgrgid(getgid());
    const QString userName = me ? QString::fromLocal8Bit(me->pw_name) : QString();
    const QString groupName = myGroup ? QString::fromLocal8Bit(myGroup->gr_name) : QString();
    return text + QStringLiteral("first_valid_uid = %2\nfirst_valid_gid = %3\n"
                                 "default_internal_user = %4\ndefault_login_user = %4\n"
                                 "default_internal_group = %5\n"
                                 "mail_home = %1/mail/%n\nmail_location = maildir:~/Maildir\n")
                      .arg(b)
                      .arg(getuid())
                      .arg(getgid())
                      .arg(userName, groupName);
}

QString DovecotServer::ImapConfig() const {
    QString text =
        QStringLiteral("service imap-login {\n%1"
                       "  inet_listener imap {\n    address = 127.0.0.1\n    port = %2\n  }\n"
                       "  inet_listener imaps {\n%3  }\n}\n")
            .arg(asRoot ? QString() : QStringLiteral("  chroot =\n"))
            .arg(imapPort)
            .arg(imapTlsPort == 0
                     ? QStringLiteral("    port = 0\n")
                     : QStringLiteral("    address = 127.0.0.1\n    port = %1\n    ssl = yes\n")
                           .arg(imapTlsPort));
    // The server without IDLE, as some providers run theirs.
    if (imapNoIdle)
        text += QStringLiteral("imap_capability = IMAP4rev1 LITERAL+ SASL-IR UIDPLUS\n");
    return text;
}

bool DovecotServer::WaitForGreeting() {
    // Started in about 0.2 s; ten seconds bounds a slow machine.
    const double deadline = SteadySeconds() + 10;
    while (SteadySeconds() < deadline) {
        if (master.state() == QProcess::NotRunning)
            return false;
        QTcpSocket probe;
        probe.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
        if (probe.waitForConnected(200) && probe.waitForReadyRead(1000) &&
            probe.readAll().startsWith("+OK"))
            return true;
        QThread::msleep(100);
    }
    return false;
}
