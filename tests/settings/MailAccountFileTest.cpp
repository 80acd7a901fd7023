#include "settings/MailAccountFile.h"
#include "settings/PasswordCipher.h"

#include "tests/settings/SettingsFilesFixture.h"

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
    // The lines of main.log without their time stamps.
    QStringList LogMessages() const {
        QStringList messages;
        for (const QString& line :
             OptionText(QStringLiteral("main.log")).split(QStringLiteral("\r\n")))
            if (!line.isEmpty())
                messages << line.section(u'\t', 1);
        return messages;
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
    EXPECT_EQ(LogMessages(),
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
    EXPECT_EQ(LogMessages(),
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
    EXPECT_EQ(LogMessages(),
              QStringList{QString::fromUtf8("アカウントファイルのデータが欠けています \"") +
                          Path() + u'"'});
}

TEST_F(MailAccountFileTest, BothFaultsGiveBothLinesAndAMissingFileNeitherFlag) {
    Load(QStringLiteral("Name=\r\n"));
    EXPECT_TRUE(isError);
    EXPECT_EQ(LogMessages().size(), 2);

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
    ASSERT_EQ(LogMessages().size(), 1);
    EXPECT_TRUE(LogMessages()[0].endsWith(u'"' + Path() + u'"'));

    // A password stored with line breaks and dots inside still reads.
    QString broken = stored;
    broken.insert(10, QStringLiteral("."));
    Load(QString(ValidLines)
             .replace(QStringLiteral("Password="), QStringLiteral("Password=") + broken));
    EXPECT_EQ(account.Password, QStringLiteral("secret"));
}
