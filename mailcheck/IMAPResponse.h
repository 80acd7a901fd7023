#pragma once
// The IMAP server responses (RFC 3501 section 7, RFC 9051) read as bytes: plain functions over
// a response, shared by CIMAP and its tests. Literals count octets, so nothing here is text
// until a value is taken out of a response.
#include <QByteArray>
#include <QList>
#include <QSet>
#include <vector>

// The longest line the client keeps while it waits, without the literals the line announces,
// and the longest whole response, literals included. A server that sends more without ending
// the response is cut off, so that it cannot make the receive buffer take all memory.
constexpr qsizetype MaxIMAPLineLength = 64 * 1024;
constexpr qsizetype MaxIMAPResponseLength = 64 * 1024 * 1024;

// The length of the complete response at the start of buffer: its line, and for each literal
// {n} or {n+} that ends a line, the n octets and the line that follows them, up to the CR LF
// that ends the last line. 0 while the response is incomplete.
qsizetype CompleteResponseLength(const QByteArray& buffer);

// True when buffer, holding no complete response, is longer than a response may be: a line
// past MaxIMAPLineLength without its line end, a literal whose announced size would pass
// MaxIMAPResponseLength, or a buffer past it.
bool IsOverlongResponse(const QByteArray& buffer);

// One value of a response: an atom (numbers, flags and fetch item names such as
// "BODY[HEADER]" included), a quoted string or literal (its octets, unquoted), NIL, or a
// parenthesised list of values.
struct IMAPValue {
    enum Kind { Atom, String, Nil, List };
    Kind kind = Atom;
    QByteArray text;
    std::vector<IMAPValue> list;
};

// One response: a continuation request ("+"), an untagged response ("*") or the tagged
// completion of a command.
struct IMAPResponse {
    enum Kind { Continuation, Untagged, Tagged };
    Kind kind = Untagged;
    QByteArray tag;    // Tagged: the command's tag
    QByteArray status; // OK, NO, BAD, PREAUTH or BYE (upper-cased) for a status response
    QByteArray code;   // the response code between "[" and "]", brackets left off
    QByteArray text;   // the human-readable text of a status or continuation response
    // A number that comes first ("* 3 EXISTS"), -1 when none does.
    qint64 number = -1;
    QByteArray name;               // EXISTS, FETCH, CAPABILITY, SEARCH... (upper-cased)
    std::vector<IMAPValue> values; // what follows the name
};

// Reads one complete response (CompleteResponseLength's length, CR LF included); false when it
// breaks the grammar: no tag, an unbalanced list, a literal cut short, a quoted string
// without its end or anything after the line end.
bool ParseResponse(const QByteArray& bytes, IMAPResponse& retResponse);

// True when response is the status OK (tagged, or untagged as a greeting).
bool IsOKResponse(const IMAPResponse& response);

// A number of 1 to 4294967295 (nz-number, RFC 3501 section 9); false for anything else.
bool ReadNzNumber(const QByteArray& text, quint32& retNumber);

// The capabilities (upper-cased) of a CAPABILITY response or of a status response whose
// code is "CAPABILITY ..."; false when response holds none.
bool ReadCapabilities(const IMAPResponse& response, QSet<QByteArray>& retCapabilities);

// The UIDVALIDITY of a status response's code "UIDVALIDITY n"; false otherwise.
bool ReadUidValidity(const IMAPResponse& response, quint32& retUidValidity);

// The message count of an untagged "n EXISTS"; false otherwise.
bool ReadExists(const IMAPResponse& response, quint32& retCount);

// Whether the flags of a PERMANENTFLAGS code allow keywords of the client's own ("\*"); false
// when response has no such code.
bool ReadKeywordsAllowed(const IMAPResponse& response, bool& retAllowed);

// The most numbers a search response may give: a sequence set such as "1:4294967295" in an
// ESEARCH response is not expanded past it.
constexpr qsizetype MaxSearchNumbers = 1000000;

// The numbers of an untagged SEARCH response, or of the ESEARCH response (RFC 4731) with which
// IMAP4rev2 (RFC 9051 section 7.3.4) answers a search: its ALL sequence set (none when it found
// nothing). False for any other response, or when a number does not read or there would be
// more than MaxSearchNumbers.
bool ReadSearch(const IMAPResponse& response, QList<quint32>& retNumbers);

// What a FETCH response gives of one message.
struct IMAPFetch {
    quint32 sequence = 0;
    quint32 uid = 0;         // 0 when the response has no UID item
    QList<QByteArray> flags; // as sent; empty when the response has no FLAGS item
    bool hasFlags = false;
    QByteArray header; // BODY[HEADER]'s octets
    bool hasHeader = false;
};

// An untagged "n FETCH (...)": its items UID, FLAGS and BODY[HEADER]; false when response is
// no FETCH or its items do not read.
bool ReadFetch(const IMAPResponse& response, IMAPFetch& retFetch);

// True when flags holds flag, letter case aside (flags and keywords are case-insensitive).
bool HasFlag(const QList<QByteArray>& flags, const QByteArray& flag);

// value as a quoted string (RFC 3501 section 4.3), or false when it cannot be one (a CR, LF,
// NUL or 8-bit octet, or past 1000 octets): it must then go as a literal.
bool QuotedString(const QByteArray& value, QByteArray& retQuoted);

// A mailbox name as IMAP sends it: modified UTF-7 (RFC 3501 section 5.1.3).
QByteArray MailboxNameUtf7(const QString& name);
