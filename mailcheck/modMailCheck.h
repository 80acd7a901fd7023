#pragma once
// One mail check: log in, find new requests from accepted senders, answer each with a still.
#include "reply/CSMTP.h"
#include "settings/CMailAccount.h"
#include "settings/CResAccount.h"

#include <QString>
#include <functional>

// One whole check with a copy of account taken at its start, over POP3 or, when the
// account's MailProtocol says so, over IMAP (RunIMAPMailCheck) (a dialog accepted meanwhile
// changes the next check); the outcome is in the activity log. Each message the check
// carries to a conclusion (answered, or passed over for its sender, its subject, its header,
// a failed sender authentication, the per-sender reply limit or a permanent refusal of its
// reply) joins ReceivedUidlList. A request joins it, and the rule file is saved, just before
// its reply's message data goes to the SMTP server, so that a crash at any later moment never
// answers it twice; when that save fails the send is given up and the check ends. When the
// server does not accept the message and it did not go out whole, or a refusal may pass, the
// request leaves the list again and is tried at the next check; a message that went out whole
// and then met silence or a lost connection counts as answered (at most once). The rule file
// is saved again at the end of a check that changed the list; a message whose capture or
// compose failed is tried again at the next check too. Identifiers no longer on the server
// are dropped, judged only by a list the server gave whole. With DeleteAfterReply an answered
// request is marked with DELE; when the server does not confirm the QUIT that deletes it, a
// later check of this run marks it again (it is never answered again). A reply of the POP3
// server that does not come in time or cannot be read ends the check at once without QUIT, so
// that no later reply is taken for another command's and the server deletes nothing. A lost
// connection, a refused STAT or UIDL, a failed DELE and an unconfirmed deletion each have
// their log line.
void RunMailCheck(const CMailAccount& account);

// For shutdown: ends the running check at its next wait (both clients are cancelled, and a
// client that is not waiting keeps the cancel for its next wait) and keeps it from taking any
// further step. The next RunMailCheck no longer sees it.
void CancelMailCheck();
// Whether CancelMailCheck has ended the running check.
bool MailCheckCancelled();

// Captures, composes and sends one reply: the still of the camera, the reply to requester
// from account's own address (MailAddr, the envelope sender too; never a value of the
// request's header) by setting's image and text, through account's SMTP server. subject is
// not used; beforeMessageData runs as SendReplyFile describes. NotSent when the capture or
// the compose failed; each outcome has its log line.
SendOutcome ReplyToMessage(const CMailAccount& account, const CResAccount& setting,
                           const QString& subject, const QString& requester,
                           const std::function<bool()>& beforeMessageData = {});

// Composes the mail file temp/new.eml (ComposeReply) from the still at still, from account's
// MailAddr to recipient by setting's image steps and text; with deleteTemporaries the still
// and the stage files go afterwards. False when that fails, with the failing step's text and
// "メールの作成に失敗しました" in the log.
bool ComposeReplyFile(const QString& still, const CMailAccount& account, const CResAccount& setting,
                      const QString& recipient, bool deleteTemporaries);

// Writes the camera's current frame to path. The main window installs the capture; without
// one no still is written and the reply cannot be composed. Answers the capture it replaces.
using StillCapture = std::function<void(const QString& path)>;
StillCapture SetStillCapture(StillCapture capture);
