#pragma once
// The mail check over IMAP, as RunMailCheck runs it for an account whose MailProtocol is IMAP.
#include "settings/CMailAccount.h"

// After RunMailCheck's opening lines: connects, logs in and selects account.IMAPFolder through
// IMAPClient(), and answers each request that is neither \Answered, \Deleted nor marked
// $VistrelSkipped, oldest first, with the decision steps the POP3 walk uses. A request is
// recorded in ReceivedUidlList (by UIDVALIDITY and UID, the rule file saved) just before its
// reply's message data goes out, flagged \Answered once the SMTP server accepted it, and only
// then taken off the list: a check that finds such a record flags the message and sends
// nothing. A request passed over gets the keyword $VistrelSkipped, or a record where the
// folder keeps no keywords. With DeleteAfterReply an answered request is marked \Deleted and
// expunged by its UID alone. A changed UIDVALIDITY drops the folder's records. A response
// that does not come in time or cannot be read ends the check at once, without LOGOUT.
void RunIMAPMailCheck(const CMailAccount& account);
