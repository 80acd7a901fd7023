#pragma once
// The reply mail: reading the request's subject, composing the reply file from the still and
// sending it. The module's helpers are in the headers below.
#include "reply/CSMTP.h"
#include "reply/MailFile.h"
#include "reply/ReplyImageSteps.h"
#include "reply/ReplyText.h"
#include "settings/CMailAccount.h"
#include "settings/CResAccount.h"

#include <QString>
#include <functional>

// The Subject header value as text. A value that is one "=?ISO-2022-JP?B?...?=" word (any
// letter case) is decoded with the program's base64 and JIS conversion: the text ends at the
// first zero byte of the decoded JIS. Any other value is decoded as RFC 2047 encoded words
// within plain text, so a plain subject comes back unchanged. An empty value gives "".
QString DecodeSubject(const QString& sValue);

// What a refused address of ComposeReply is named after.
inline const QString SenderAddressRefusedText =
    QStringLiteral("返信元のメールアドレスが正しくありません: ");
inline const QString RecipientAddressRefusedText =
    QStringLiteral("返信先のメールアドレスが正しくありません: ");

// Runs the image steps on the still at sourcePath (stage files in temp/, created when
// missing) and writes the reply mail to replyPath (MakeReplyText). fromAddress and toAddress
// go into the header verbatim; each must pass IsSafeMailAddress or be spaces only (the image
// info window's placeholder), else the run ends before its first step with retFailureText
// the refused text above, then the address in double quotes as LogLineText shows it.
// Otherwise retFailureText is the failing step's text, or "" for any other failure. Whatever the
// outcome the six paths go to LastStagePaths and, with deleteTemporaries, the source and stage
// files are deleted (DeleteStageFiles); the reply file never is. True only when the reply file was
// written.
bool ComposeReply(const QString& sourcePath, const QString& replyPath, const CResAccount& setting,
                  const QString& fromAddress, const QString& toAddress, bool deleteTemporaries,
                  QString& retFailureText);

// The stage paths of the latest ComposeReply run as they stood when it ended: a skipped
// stage holds its predecessor's path, a stage not reached its own fixed name.
const StagePaths& LastStagePaths();

// Sends temp/new.eml to recipient through SMTPClient(), from account's MailAddr with its
// SMTPHost, SMTPPort and Timeout. NotSent, with nothing sent, when recipient or MailAddr fails
// IsSafeMailAddress or the file is missing, empty or has no empty line; otherwise the
// outcome of Sendmail (QUIT follows a sent message). The account's SMTP security and AUTH
// choices hold; why a step failed or went unconfirmed (a refused certificate with its
// fingerprint, the server's reply, a silence) is written to the activity log.
// beforeMessageData runs as Sendmail describes, at most once.
SendOutcome SendReplyFile(const CMailAccount& account, const QString& recipient,
                          const std::function<bool()>& beforeMessageData = {});

// Sets smtp's security, pinned certificate and AUTH login from account's choices.
void PrepareSMTP(CSMTP& smtp, const CMailAccount& account);
