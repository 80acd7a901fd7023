#pragma once
// The program-wide settings of a camera that answers requests through the test mail servers
// on 127.0.0.1: the account "camera" (password "campass") of cam@example.com, and one response
// setting (JPEG reduced to 160 pixels, body "写真です") that accepts requesters whose subject
// begins with "CAM". For the programs that link settings/.
#include "settings/ProgramObjects.h"

inline void UseTestMailAccount(int popPort, int smtpPort, const QStringList& requesters) {
    CurrentMailAccount.Name = QStringLiteral("camera");
    CurrentMailAccount.MailAddr = QStringLiteral("cam@example.com");
    CurrentMailAccount.POPHost = CurrentMailAccount.SMTPHost = QStringLiteral("127.0.0.1");
    CurrentMailAccount.POPPort = popPort;
    CurrentMailAccount.SMTPPort = smtpPort;
    CurrentMailAccount.UserName = QStringLiteral("camera");
    CurrentMailAccount.Password = QStringLiteral("campass");
    CurrentMailAccount.Timeout = 30;
    CResAccount setting;
    setting.Name = QStringLiteral("small JPEG");
    setting.ReductionWidth = 160;
    setting.vAcceptedMailAddrs = requesters;
    setting.SendMail_Body = QString::fromUtf8("写真です");
    ResponseSettings = {setting};
    AcceptedLeftSubject = QStringLiteral("CAM");
}
