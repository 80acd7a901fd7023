#pragma once
// The mail of a motion alert: the picture of a motion event, prepared by a response setting's
// image steps and composed with its subject and body as a reply is, sent to each address of
// the setting through the account's SMTP server with the account's security.
#include "settings/CMailAccount.h"
#include "settings/CResAccount.h"

#include <QImage>
#include <QString>
#include <QStringList>

// The subject of an alert whose setting has none, and the log line of a detected motion.
inline const QString MotionDetectedText = QStringLiteral("動きを検知しました");

// The addresses setting sends its alerts to: its accepted senders, empty entries left out.
QStringList AlertRecipients(const CResAccount& setting);

// For each of recipients in turn: writes picture to temp/ as the still, composes the alert
// from account's MailAddr by setting (its subject MotionDetectedText when it has none) and
// sends it, as ReplyToMessage does a reply; each outcome has its log line
// ("通知メールを送信しました", or the reasons of a failure as for a reply). A cancelled mail
// check (the shutdown) ends the round. Answers the recipients whose alert did not go out and
// may go out later: not composed, or not sent for a reason that may pass (a server's refusal
// for good is not tried again).
QStringList SendMotionAlert(const CMailAccount& account, const CResAccount& setting,
                            const QImage& picture, const QStringList& recipients);
