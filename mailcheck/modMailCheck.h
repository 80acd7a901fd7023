#pragma once
// One mail check: log in, find new requests from accepted senders, answer each with a still.
#include "settings/CMailAccount.h"
#include "settings/CResAccount.h"

#include <QString>
#include <functional>

// One whole check with account; the outcome is in the activity log. Each message the check
// carries to a conclusion (answered, or passed over for its sender, its subject, its header,
// a failed sender authentication or the per-sender reply limit) joins ReceivedUidlList. A
// request joins it, and the rule file is saved, just before its reply's message data goes to
// the SMTP server, so that a crash at any later moment never answers it twice; when the
// server then does not accept the message (refused, silent, or the connection lost) the
// request leaves the list again and is tried at the next check. The rule file is saved again
// at the end of a check that changed the list; a message whose capture or compose failed is
// tried again at the next check too. Identifiers no longer on the server are dropped. With
// DeleteAfterReply an answered request is marked with DELE; when the server does not confirm
// the QUIT that deletes it, a later check of this run marks it again (it is never answered
// again). A lost connection, a refused STAT or UIDL, a failed DELE and an unconfirmed
// deletion each have their log line.
void RunMailCheck(const CMailAccount& account);

// For shutdown: ends the running check at its next wait (both clients are cancelled, and a
// client that is not waiting keeps the cancel for its next wait) and keeps it from taking any
// further step. The next RunMailCheck no longer sees it.
void CancelMailCheck();

// Captures, composes and sends one reply: the still of the camera, the reply to requester
// from ownAddress by setting's image and text. subject is not used; beforeMessageData runs as
// SendReplyFile describes. True only when the reply was sent.
bool ReplyToMessage(const CResAccount& setting, const QString& subject, const QString& requester,
                    const QString& ownAddress, const std::function<void()>& beforeMessageData = {});

// Writes the camera's current frame to path. The main window installs the capture; without
// one no still is written and the reply cannot be composed. Answers the capture it replaces.
using StillCapture = std::function<void(const QString& path)>;
StillCapture SetStillCapture(StillCapture capture);
