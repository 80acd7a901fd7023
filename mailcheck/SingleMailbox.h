#pragma once
// Whether a From field's value names exactly one plain mailbox (RFC 5322 section 3.4), so that
// the address a reply goes to is the one the sender's domain vouched for.
#include <QString>
#include <QStringView>

// True when sValue is an optional display name (atoms, RFC 2047 encoded words and quoted
// strings; a "." among them as many mailers write it) followed by one "<local@domain>", or a
// bare local@domain, with only white space and comments around the parts; retAddress is then
// the address as written. False for a list, a group, a domain literal, a quoted local part, a
// comment holding "<", ">" or ",", or anything else after the address.
bool ReadSingleMailbox(QStringView sValue, QString& retAddress);
