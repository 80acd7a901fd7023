#include "tests/support/TestCertificates.h"

#include <QFile>
#include <QProcess>
#include <QSslConfiguration>

namespace {

const char* const FileOf[] = {"trusted.pem", "wronghost.pem", "unknown.pem"};

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

TestCertificates::~TestCertificates() {
    if (!trusted)
        return;
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setCaCertificates(savedRoots);
    QSslConfiguration::setDefaultConfiguration(config);
}

bool TestCertificates::Run(const QStringList& arguments, QString& retProblem,
                           QString* retOutput) const {
    QProcess openssl;
    openssl.setWorkingDirectory(dir.path());
    openssl.start(QStringLiteral("openssl"), arguments);
    if (openssl.waitForFinished(30000) && openssl.exitStatus() == QProcess::NormalExit &&
        openssl.exitCode() == 0) {
        if (retOutput)
            *retOutput = QString::fromLatin1(openssl.readAllStandardOutput());
        return true;
    }
    retProblem =
        QStringLiteral("openssl %1 failed: %2")
            .arg(arguments.join(u' '), QString::fromLocal8Bit(openssl.readAllStandardError()));
    return false;
}

bool TestCertificates::Make(QString& retProblem) {
    if (!dir.isValid()) {
        retProblem = QStringLiteral("no temporary folder");
        return false;
    }
    const QStringList ecKey{
        QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
        QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
    const QString days = QStringLiteral("30");
    if (!WriteFile(dir.filePath(QStringLiteral("trusted.ext")),
                   "subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n"
                   "extendedKeyUsage=serverAuth\n") ||
        !WriteFile(dir.filePath(QStringLiteral("wronghost.ext")),
                   "subjectAltName=DNS:mail.example.test\nbasicConstraints=CA:FALSE\n"
                   "extendedKeyUsage=serverAuth\n")) {
        retProblem = QStringLiteral("could not write the extension files");
        return false;
    }
    return Run(QStringList{"req", "-x509"} + ecKey +
                   QStringList{"-keyout", "ca.key", "-out", "ca.pem", "-days", days, "-subj",
                               "/CN=Vistrel Test CA", "-addext",
                               "basicConstraints=critical,CA:TRUE", "-addext",
                               "keyUsage=critical,keyCertSign,cRLSign"},
               retProblem) &&
           Run(QStringList{"req"} + ecKey +
                   QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj",
                               "/CN=127.0.0.1/O=Vistrel Test"},
               retProblem) &&
           Run({"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                "-CAcreateserial", "-days", days, "-extfile", "trusted.ext", "-out", "trusted.pem"},
               retProblem) &&
           // Qt also matches the common name: this one names the other host alone.
           Run({"req", "-new", "-key", "server.key", "-out", "wronghost.csr", "-subj",
                "/CN=mail.example.test/O=Vistrel Test"},
               retProblem) &&
           Run({"x509", "-req", "-in", "wronghost.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                "-CAcreateserial", "-days", days, "-extfile", "wronghost.ext", "-out",
                "wronghost.pem"},
               retProblem) &&
           Run({"req", "-x509", "-new", "-key", "server.key", "-out", "unknown.pem", "-days", days,
                "-subj", "/CN=127.0.0.1/O=Vistrel Self-signed", "-addext",
                "subjectAltName=IP:127.0.0.1"},
               retProblem);
}

void TestCertificates::Trust() {
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    if (!trusted)
        savedRoots = config.caCertificates();
    trusted = true;
    config.setCaCertificates(savedRoots +
                             QSslCertificate::fromPath(dir.filePath(QStringLiteral("ca.pem"))));
    QSslConfiguration::setDefaultConfiguration(config);
}

QString TestCertificates::CertFile(Kind kind) const {
    return dir.filePath(QString::fromLatin1(FileOf[kind]));
}

QString TestCertificates::KeyFile() const {
    return dir.filePath(QStringLiteral("server.key"));
}

QString TestCertificates::OpensslFingerprint(Kind kind) const {
    QString output, problem;
    if (!Run({"x509", "-in", CertFile(kind), "-noout", "-fingerprint", "-sha256"}, problem,
             &output))
        return QString();
    // "sha256 Fingerprint=AB:CD:..."
    return output.section(u'=', 1).trimmed();
}
