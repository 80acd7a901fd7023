#pragma once
// One mail check: log in, find new requests from accepted senders, answer each with a still.
#include "settings/CMailAccount.h"

// One whole check with account; the outcome is in the activity log.
void RunMailCheck(const CMailAccount& account);
