#pragma once
// What the SMTP client writes besides its command words: the checks on command arguments and
// addresses, and the DATA block. Plain functions, shared by CSMTP, the reply sender and tests.
#include <QString>

// True when argument, as code page 932 bytes, holds no CR, LF or NUL: it cannot end its
// command line early or smuggle a second one.
bool IsSafeCommandArgument(const QString& argument);

// The argument of HELO and EHLO for host (RFC 5321 section 4.1.3): an IPv4 address as the
// literal "[192.0.2.1]", an IPv6 address as "[IPv6:2001:db8::1]", a host name as it is.
QString HeloArgument(const QString& host);

// True for an address that may stand in an envelope or a header of a 7bit message: not empty,
// and only printable ASCII (0x21 to 0x7E) other than "<" and ">".
bool IsSafeMailAddress(const QString& address);

// The DATA block that follows the 354 reply (RFC 5321 section 4.5.2): sHead without one
// trailing CR LF, an empty line and sBody, with every line end made CR LF (a lone CR or LF
// included), every line that begins with "." given one more "." in front, a CR LF after the
// last line when it has none, and the line "." that ends the block.
QString DataBlock(const QString& sHead, const QString& sBody);
