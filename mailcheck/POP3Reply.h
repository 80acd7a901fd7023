#pragma once
// The POP3 replies (RFC 1939) read as text: plain functions over a reply, shared by CPOP3 and
// its tests. Every reply keeps its CR LF line ends.
#include <QString>
#include <QStringList>

// The two ways of reading a reply: one status line, or a status line with data lines after it.
enum ReplyMode { SingleLine = 0, MultiLine = 1 };

// The largest message number a list reply may hold; a larger one is skipped, so that a hostile
// server cannot make the list take all memory.
constexpr int MaxListNumber = 1000000;

// The longest reply the client keeps while it waits, in characters: a status line, and a
// whole data or list reply. A server that sends more without completing the reply is cut off,
// so that it cannot make the receive buffer take all memory.
constexpr qsizetype MaxStatusLineLength = 64 * 1024;
constexpr qsizetype MaxMultiLineLength = 64 * 1024 * 1024;
constexpr qsizetype MaxReplyLength(ReplyMode mode) {
    return mode == SingleLine ? MaxStatusLineLength : MaxMultiLineLength;
}

// True when reply is positive: its first three characters, upper-cased, are "+OK".
bool IsOK(const QString& sReply);

// True when sBuffer, holding no complete reply, is longer than a reply may be: a status line
// past MaxStatusLineLength without its line end, or a whole reply past MaxReplyLength(mode).
bool IsOverlongReply(const QString& sBuffer, ReplyMode mode);

// The length of the complete reply at the start of sBuffer, or 0 while it is incomplete.
// SingleLine: up to and including the first CR LF. MultiLine: up to and including the first
// CR LF "." CR LF, first line included; a negative status line alone is complete, as no data
// follows it. nSearched: how much of sBuffer an earlier call found incomplete (the buffer
// having only grown since), so that a wait for a long reply scans each character once.
qsizetype CompleteReplyLength(const QString& sBuffer, ReplyMode mode, qsizetype nSearched = 0);

// The APOP time stamp of a greeting: from its first "<" to the first ">" after it, both
// included; empty when either is missing.
QString ChallengeOf(const QString& sGreeting);

// A STAT reply "+OK count bytes": false (outputs unchanged) for a negative reply or one with
// fewer than three fields; a field that is not a number leaves its output unchanged.
bool ReadStatFields(const QString& sReply, int& retCount, int& retBytes);

// A RETR or TOP reply: the lines after the status line up to and including the "." line, as
// received (dot-stuffed lines too). False (retData unchanged) unless the reply is positive
// and complete.
bool ReadDataReply(const QString& sReply, QString& retData);

// A LIST or UIDL reply: retList indexed by message number, index 0 and absent numbers empty;
// a line whose first field is not a number from 1 to MaxListNumber is skipped, and the reading
// stops at a line without two fields. retWhole: every line was read, each number once, so the
// list holds every message of the reply. Clears retList first; false for a negative or
// incomplete reply.
bool ReadListReply(const QString& sReply, QStringList& retList, bool& retWhole);

// True when sReply is a status line POP3 allows: "+OK" or "-ERR" (letter case aside) before
// its end or a blank (RFC 1939 section 3). Anything else is no reply to the command sent.
bool IsStatusReply(const QString& sReply);

// A LIST or UIDL reply for one message, "+OK n value": retList holds value at index n. Clears
// retList first; false for a negative reply or one without a valid number and value.
bool ReadListingLine(const QString& sReply, QStringList& retList);
