#include "mailcheck/modMailCheck.h"

// The mail-check cycle is still to come: a due check does nothing yet.
void RunMailCheck(const CMailAccount&) {}
