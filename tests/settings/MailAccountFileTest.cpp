#include "settings/MailAccountFile.h"
#include "settings/PasswordCipher.h"

#include "tests/settings/SettingsFilesFixture.h"
#include "tests/support/LogLines.h"

namespace {

CMailAccount SampleAccount() {
    CMailAccount account;
    account.Name = QString::fromUtf8("自宅カメラ");
    account.MailAddr = QStringLiteral("cam@example.jp");
    account.UserName = QStringLiteral("cam");
    account.Password = QString::fromUtf8("pass word=秘密,x");
    account.POPHost = QStringLiteral("pop.example.jp");
    account.POPPort = 995;
    account.SMTPHost = QStringLiteral("smtp.example.jp");
    account.SMTPPort = 587;
    account.APOP = 1;
    account.Timeout = 90;
    return account;
}

const QString ValidLines = QStringLiteral("Name=home\r\nMailAddr=a@b\r\nUserName=u\r\nPassword=\r\n"
                                          "POPHost=p\r\nPOPPort=110\r\nSMTPHost=s\r\n"
                                          "SMTPPort=25\r\nAPOP=0\r\n");

} // namespace

class MailAccountFileTest : public SettingsFilesFixture {
  protected:
    QString Path() const { return Options() + QStringLiteral("/main.mla"); }
    void Load(const QString& lines) {
        WriteOption(QStringLiteral("main.mla"),
                    QStringLiteral("//\r\n// Mail Account\r\n//\r\n\r\n") + lines);
        LoadMailAccountFile(Options(), account, isError, isLoaded);
    }

    CMailAccount account;
    bool isError = true, isLoaded = true;
};

TEST_F(MailAccountFileTest, AccountRoundTripsWithAnEncryptedPasswordAndNoTimeout) {
    SaveMailAccountFile(Options(), SampleAccount());
    const QString text = OptionText(QStringLiteral("main.mla"));
    QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 15);
    const QString password = lines[7].section(u'=', 1);
    EXPECT_TRUE(lines[7].startsWith(QStringLiteral("Password=")));
    EXPECT_EQ(password.size(), 64); // 16 bytes in code page 932
    lines[7] = QStringLiteral("Password=*");
    EXPECT_EQ(
        lines.join(QStringLiteral("\r\n")),
        QString::fromUtf8("//\r\n// Mail Account\r\n//\r\n\r\nName=自宅カメラ\r\n"
                          "MailAddr=cam@example.jp\r\nUserName=cam\r\nPassword=*\r\n"
                          "POPHost=pop.example.jp\r\nPOPPort=995\r\nSMTPHost=smtp.example.jp\r\n"
                          "SMTPPort=587\r\nAPOP=1\r\n\r\n"));
    EXPECT_EQ(ReadOption(QStringLiteral("main.mla")), ToCodePage932(text));

    LoadMailAccountFile(Options(), account, isError, isLoaded);
    EXPECT_TRUE(isLoaded);
    EXPECT_FALSE(isError);
    CMailAccount expected = SampleAccount();
    expected.Timeout = 30;
    EXPECT_EQ(account.Name, expected.Name);
    EXPECT_EQ(account.MailAddr, expected.MailAddr);
    EXPECT_EQ(account.UserName, expected.UserName);
    EXPECT_EQ(account.Password, expected.Password);
    EXPECT_EQ(account.POPHost, expected.POPHost);
    EXPECT_EQ(account.POPPort, 995);
    EXPECT_EQ(account.SMTPHost, expected.SMTPHost);
    EXPECT_EQ(account.SMTPPort, 587);
    EXPECT_EQ(account.APOP, 1);
    EXPECT_EQ(account.Timeout, 30);
    EXPECT_FALSE(QFile::exists(Options() + QStringLiteral("/main.log")));
}

TEST_F(MailAccountFileTest, EmptyNameIsLoggedAsInvalid) {
    Load(QString(ValidLines).replace(QStringLiteral("Name=home"), QStringLiteral("Name=")));
    EXPECT_TRUE(isError);
    EXPECT_FALSE(isLoaded);
    EXPECT_EQ(LoggedMessages(folder),
              QStringList{QString::fromUtf8("アカウント名が不正です \"") + Path() + u'"'});
}

TEST_F(MailAccountFileTest, MissingOrBadNumberIsLoggedAsIncompleteAndOtherKeysAreRead) {
    Load(QString(ValidLines)
             .remove(QStringLiteral("POPPort=110\r\n"))
             .replace(QStringLiteral("SMTPPort=25"), QStringLiteral("SMTPPort=x"))
             .replace(QStringLiteral("APOP=0"), QStringLiteral("APOP=1")));
    EXPECT_TRUE(isError);
    EXPECT_FALSE(isLoaded);
    EXPECT_EQ(account.Name, QStringLiteral("home"));
    EXPECT_EQ(account.POPPort, 110);
    EXPECT_EQ(account.SMTPPort, 25);
    EXPECT_EQ(account.APOP, 1);
    EXPECT_EQ(LoggedMessages(folder),
              QStringList{QString::fromUtf8("アカウントファイルのデータが欠けています \"") +
                          Path() + u'"'});
}

TEST_F(MailAccountFileTest, AFileOverSixteenMebibytesIsDamaged) {
    const QString text = QStringLiteral("//\r\n// Mail Account\r\n//\r\n\r\n") + ValidLines;
    WriteOption(QStringLiteral("main.mla"), PaddedTo(text, LargestSettingsFile));
    LoadMailAccountFile(Options(), account, isError, isLoaded);
    EXPECT_TRUE(isLoaded);
    EXPECT_FALSE(isError);
    EXPECT_EQ(account.Name, QStringLiteral("home"));

    account.Name = QStringLiteral("untouched");
    WriteOption(QStringLiteral("main.mla"), PaddedTo(text, LargestSettingsFile + 1));
    LoadMailAccountFile(Options(), account, isError, isLoaded);
    EXPECT_TRUE(isError);
    EXPECT_FALSE(isLoaded);
    EXPECT_EQ(account.Name, QStringLiteral("untouched"));
    EXPECT_EQ(LoggedMessages(folder),
              QStringList{QString::fromUtf8("アカウントファイルのデータが欠けています \"") +
                          Path() + u'"'});
}

TEST_F(MailAccountFileTest, BothFaultsGiveBothLinesAndAMissingFileNeitherFlag) {
    Load(QStringLiteral("Name=\r\n"));
    EXPECT_TRUE(isError);
    EXPECT_EQ(LoggedMessages(folder).size(), 2);

    QFile::remove(Path());
    account.Name = QStringLiteral("untouched");
    LoadMailAccountFile(Options(), account, isError, isLoaded);
    EXPECT_FALSE(isError);
    EXPECT_FALSE(isLoaded);
    EXPECT_EQ(account.Name, QStringLiteral("untouched"));
}

TEST_F(MailAccountFileTest, UnreadablePasswordIsLoggedAndLeftEmpty) {
    const QString stored = EncryptPassword(QStringLiteral("secret"));
    Load(QString(ValidLines)
             .replace(QStringLiteral("Password="), QStringLiteral("Password=") + stored.left(40)));
    EXPECT_TRUE(isLoaded);
    EXPECT_FALSE(isError);
    EXPECT_TRUE(account.Password.isEmpty());
    ASSERT_EQ(LoggedMessages(folder).size(), 1);
    EXPECT_TRUE(LoggedMessages(folder)[0].endsWith(u'"' + Path() + u'"'));

    // A password stored with line breaks and dots inside still reads.
    QString broken = stored;
    broken.insert(10, QStringLiteral("."));
    Load(QString(ValidLines)
             .replace(QStringLiteral("Password="), QStringLiteral("Password=") + broken));
    EXPECT_EQ(account.Password, QStringLiteral("secret"));
}

TEST_F(MailAccountFileTest, SecureMailKeysAreWrittenOnlyWhenTheyDifferFromTheirDefaults) {
    // Each secure-mail field alone: the nine lines as before plus exactly its own line.
    const QString pin = QStringLiteral("0123456789abcdef0123456789abcdef"
                                       "0123456789abcdef0123456789abcdef");
    struct Case {
        const char* line; // its value, or "*" for an encrypted one
        void (*set)(CMailAccount&, const QString&);
    };
    const Case cases[] = {
        {"POPSecurity=2", [](CMailAccount& a, const QString&) { a.POPSecurity = 2; }},
        {"SMTPSecurity=1", [](CMailAccount& a, const QString&) { a.SMTPSecurity = 1; }},
        {"SMTPAuth=2", [](CMailAccount& a, const QString&) { a.SMTPAuth = 2; }},
        {"SMTPUserName=sender", [](CMailAccount& a, const QString&) { a.SMTPUserName = "sender"; }},
        {"SMTPPassword=*", [](CMailAccount& a, const QString&) { a.SMTPPassword = "秘密"; }},
        {"SMTPAuthWithoutTLS=1", [](CMailAccount& a, const QString&) { a.SMTPAuthWithoutTLS = 1; }},
        {"POPCertificate=pin", [](CMailAccount& a, const QString& p) { a.POPCertificate = p; }},
        {"SMTPCertificate=pin", [](CMailAccount& a, const QString& p) { a.SMTPCertificate = p; }},
    };
    for (const Case& c : cases) {
        CMailAccount stored = SampleAccount();
        c.set(stored, pin);
        SaveMailAccountFile(Options(), stored);
        QStringList lines = OptionText(QStringLiteral("main.mla")).split(QStringLiteral("\r\n"));
        ASSERT_EQ(lines.size(), 16) << c.line;
        EXPECT_EQ(lines[12], QStringLiteral("APOP=1")) << c.line;
        QString expected = QString::fromUtf8(c.line).replace(QStringLiteral("=pin"), u'=' + pin);
        if (expected.endsWith(QStringLiteral("=*"))) {
            // Encrypted as Password is: hex that decrypts to the clear text, never the clear text.
            QString clear;
            ASSERT_TRUE(DecryptPassword(lines[13].section(u'=', 1), clear)) << c.line;
            EXPECT_EQ(clear, stored.SMTPPassword);
            lines[13] = lines[13].section(u'=', 0, 0) + QStringLiteral("=*");
        }
        EXPECT_EQ(lines[13], expected);

        LoadMailAccountFile(Options(), account, isError, isLoaded);
        EXPECT_TRUE(isLoaded) << c.line;
        EXPECT_EQ(account.POPSecurity, stored.POPSecurity) << c.line;
        EXPECT_EQ(account.SMTPSecurity, stored.SMTPSecurity) << c.line;
        EXPECT_EQ(account.SMTPAuth, stored.SMTPAuth) << c.line;
        EXPECT_EQ(account.SMTPUserName, stored.SMTPUserName) << c.line;
        EXPECT_EQ(account.SMTPPassword, stored.SMTPPassword) << c.line;
        EXPECT_EQ(account.SMTPAuthWithoutTLS, stored.SMTPAuthWithoutTLS) << c.line;
        EXPECT_EQ(account.POPCertificate, stored.POPCertificate) << c.line;
        EXPECT_EQ(account.SMTPCertificate, stored.SMTPCertificate) << c.line;
    }
    EXPECT_FALSE(QFile::exists(Options() + QStringLiteral("/main.log")));
}

TEST_F(MailAccountFileTest, SecureMailKeysAreOptionalButMustReadWhenPresent) {
    // Absent: the defaults, and a complete account.
    Load(ValidLines + QStringLiteral("\r\n"));
    EXPECT_TRUE(isLoaded);
    EXPECT_EQ(account.POPSecurity, 0);
    EXPECT_EQ(account.SMTPAuth, 0);
    EXPECT_TRUE(account.SMTPPassword.isEmpty());

    // Present and read, in any order.
    Load(ValidLines + QStringLiteral("SMTPAuth=1\r\nPOPSecurity=1\r\n\r\n"));
    EXPECT_TRUE(isLoaded);
    EXPECT_EQ(account.POPSecurity, 1);
    EXPECT_EQ(account.SMTPAuth, 1);

    // Present but no number: damaged data, as a required key would be.
    Load(ValidLines + QStringLiteral("SMTPSecurity=tls\r\n\r\n"));
    EXPECT_TRUE(isError);
    EXPECT_FALSE(isLoaded);
    EXPECT_EQ(account.SMTPSecurity, 0);
    EXPECT_EQ(
        LoggedMessages(folder),
        QStringList{QStringLiteral("アカウントファイルのデータが欠けています \"") + Path() + u'"'});
}

TEST_F(MailAccountFileTest, TheProtocolKeysFollowTheSecureMailKeysOnlyWhenNotDefault) {
    CMailAccount stored = SampleAccount();
    stored.POPSecurity = 1;
    stored.SMTPCertificate = QStringLiteral("ab");
    stored.MailProtocol = ProtocolIMAP;
    stored.IMAPFolder = QStringLiteral("カメラ");
    SaveMailAccountFile(Options(), stored);
    const QStringList lines = OptionText(QStringLiteral("main.mla")).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.mid(13, 4), (QStringList{"POPSecurity=1", "SMTPCertificate=ab",
                                             "MailProtocol=1", "IMAPFolder=カメラ"}));
    LoadMailAccountFile(Options(), account, isError, isLoaded);
    EXPECT_TRUE(isLoaded);
    EXPECT_EQ(account.MailProtocol, ProtocolIMAP);
    EXPECT_EQ(account.IMAPFolder, stored.IMAPFolder);

    // The defaults write nothing and come back when the keys are absent.
    SaveMailAccountFile(Options(), SampleAccount());
    EXPECT_FALSE(OptionText(QStringLiteral("main.mla")).contains(QStringLiteral("IMAP")));
    EXPECT_FALSE(OptionText(QStringLiteral("main.mla")).contains(QStringLiteral("MailProtocol")));
    LoadMailAccountFile(Options(), account, isError, isLoaded);
    EXPECT_EQ(account.MailProtocol, ProtocolPOP3);
    EXPECT_EQ(account.IMAPFolder, QStringLiteral("INBOX"));
}
