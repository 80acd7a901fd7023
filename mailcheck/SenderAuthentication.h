#pragma once
// Whether a request mail comes from its From address, judged by the Authentication-Results
// header fields (RFC 8601) that the receiving server wrote. Only the fields of the trusted
// authserv-id count, and only those the server prepended above its Received line: anyone can
// write the others, and a server need not remove forged fields that carry its own id (RFC 8601
// section 5).
#include <QString>

// True when the unfolded header sHeader (CR LF line ends; it ends at its first empty line) has
// a Received line, above it a field from sTrustedAuthServId (ASCII letter case aside) that says
// dmarc=pass with a header.from equal to the domain of sFromAddress, or dkim=pass with a
// header.d (or the domain of header.i) equal to that domain or a parent domain of it, and one
// From line naming exactly one mailbox (ReadSingleMailbox), which is sFromAddress. Refused
// besides: a field of the trusted id below the first Received line, a dmarc=fail from the
// trusted id and a damaged field from it. False with retReason, a short Japanese text for the
// log line, otherwise; true with retReason empty. One pass over the header.
bool IsAuthenticatedSender(const QString& sHeader, const QString& sFromAddress,
                           const QString& sTrustedAuthServId, QString& retReason);
