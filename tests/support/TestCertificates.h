#pragma once
// Certificates for the TLS tests, made with openssl in a temporary folder: a test CA, server
// certificates it signs, and one that nobody vouches for. While Trust() is in force the test CA
// is among the roots every TLS connection of the test program checks against.
#include <QList>
#include <QSslCertificate>
#include <QString>
#include <QTemporaryDir>

class TestCertificates {
  public:
    enum Kind {
        Trusted,   // signed by the test CA, for 127.0.0.1
        WrongHost, // signed by the test CA, for mail.example.test only
        UnknownCa  // self-signed, for 127.0.0.1
    };

    TestCertificates() = default;
    ~TestCertificates();
    TestCertificates(const TestCertificates&) = delete;
    TestCertificates& operator=(const TestCertificates&) = delete;

    // Makes the CA and the three server certificates (one key serves all); false, with
    // openssl's messages in retProblem, when openssl fails.
    bool Make(QString& retProblem);
    // Adds the test CA to the program-wide roots until the object goes.
    void Trust();

    QString CertFile(Kind kind) const;
    QString KeyFile() const;
    // The SHA-256 fingerprint of a certificate as openssl prints it ("AB:CD:...").
    QString OpensslFingerprint(Kind kind) const;

  private:
    bool Run(const QStringList& arguments, QString& retProblem, QString* retOutput = nullptr) const;

    QTemporaryDir dir;
    bool trusted = false;
    QList<QSslCertificate> savedRoots;
};
