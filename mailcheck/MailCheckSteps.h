#pragma once
// The steps of a mail check that the POP3 walk and the IMAP walk share: the decision whether a
// request's header asks for a reply, the reply itself, and the keeping of the received list.
#include "mailcheck/ReceivedUidls.h"
#include "settings/CMailAccount.h"

#include <QString>
#include <functional>

// What became of one message.
enum class Outcome {
    Concluded, // passed over for good
    Retry,     // tried again at the next check
    Answered,  // the reply was sent (or went out whole unconfirmed)
    Stop,      // the session is broken or the record could not be kept: the check ends
};

// Decides on one request by its header as the server gave it, and answers it through account
// when it is a request of an accepted sender: an oversized header, a missing From or Subject,
// a sender no response setting accepts, a subject without the prefix, a failed sender
// authentication and the per-sender reply limit each pass it over (with their log lines, the
// From, To and Subject lines first). beforeMessageData as ReplyToMessage.
Outcome AnswerRequest(const CMailAccount& account, const QString& header,
                      const std::function<bool()>& beforeMessageData);

// The list as it stands goes to ReceivedUidlList and the rule file at once; false (logged)
// when it could not be saved.
bool StoreReceived(ReceivedUidls& received);
