#pragma once
// SMTP replies (RFC 5321 section 4.2) read as text: plain functions over the receive buffer,
// shared by CSMTP and its tests.
#include <QString>
#include <QStringList>

// The most a reply may take; a buffer that grows past it without a complete reply is given up,
// so that a hostile server cannot make the client hold any amount of text.
constexpr qsizetype MaxSMTPReplyLength = 64 * 1024;

// The length of the complete reply at the start of sBuffer, or 0 while it is incomplete. Lines
// end in CR LF (a bare LF is taken as well); a line whose fourth character is "-" is followed
// by more lines of the same reply, and the reply ends with the first line that is not.
qsizetype CompleteReplyLength(const QString& sBuffer);

// True for a positive completion reply: a "2" and two more digits (220, 250, 251, ...).
bool IsCode250(const QString& sReply);

// True for a permanent negative reply (RFC 5321 section 4.2.1): a "5" and two more digits.
// Sending the same again cannot succeed.
bool IsPermanentFailure(const QString& sReply);

// True for the reply that invites the message: "354".
bool IsCode354(const QString& sReply);

// True when the reply's code is sCode ("235", "334", "220").
bool IsReplyCode(const QString& sReply, const char* sCode);

// The service extensions of an EHLO reply (RFC 5321 section 4.1.1.1): the keyword of each line
// after the first, upper-cased ("STARTTLS", "AUTH", "SIZE"). Empty for a negative reply.
QStringList EhloKeywords(const QString& sReply);

// The SASL mechanisms that an EHLO reply's AUTH line names (RFC 4954 section 3), upper-cased.
QStringList AuthMechanisms(const QString& sReply);

// The first line of a reply without its line end, for the log and the connection test.
QString ReplyText(const QString& sReply);

// The SASL PLAIN initial response (RFC 4616): base64 of NUL, user, NUL, password in UTF-8.
QString PlainCredentials(const QString& sUser, const QString& sPassword);
