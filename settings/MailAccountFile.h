#pragma once
// The mail account file options/main.mla, title "Mail Account"; the password is stored in its
// encrypted hex form.
#include "settings/CMailAccount.h"
#include "settings/CParams.h"

#include <QString>

// Reads folder/main.mla. retIsLoaded: the account is complete and named. retIsError: the file
// was read but a key is missing, a number does not read or the name is empty (each logged
// with the file's path); retAccount then holds what could be read. A file larger than a
// settings file can be (MaxSettingsFileBytes) is logged as incomplete and not read. Neither flag
// (and retAccount unchanged) when the file is missing, unreadable or empty. A stored password that
// cannot be decrypted is logged and left empty; the account still counts as loaded.
void LoadMailAccountFile(const QString& folder, CMailAccount& retAccount, bool& retIsError,
                         bool& retIsLoaded);

// Writes account to folder/main.mla; false when it could not be written (the old file then
// stays whole). Timeout is not stored; an account that uses none of the optional keys gives
// the nine-key file.
bool SaveMailAccountFile(const QString& folder, const CMailAccount& account);

// An account from a parsed file, starting from the defaults; false when a key is absent or a
// number does not read (the other keys are still read). retPasswordUnreadable tells that the
// stored password was no encrypted text made here (the password is then empty).
// retFaultKey names the first key that was absent or did not read.
bool ParamsToMailAccount(const CParams& params, CMailAccount& retAccount,
                         bool& retPasswordUnreadable, QString& retFaultKey);

// For a run that cannot open the account dialog: what keeps folder/main.mla from loading as a
// file name and a key ("main.mla: POPPort", "main.mla: Name" for an empty name), or the file
// name alone when it is missing or damaged; "" when the account loads.
QString MailAccountFault(const QString& folder);

// The nine keys of an account in key table order, the password encrypted, then each optional
// key whose field differs from its default (the SMTP password encrypted too).
CParams MailAccountToParams(const CMailAccount& account);
