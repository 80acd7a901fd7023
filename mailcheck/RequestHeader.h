#pragma once
// Reading a request's header: the plain text steps of the mail check between the TOP reply
// and the decision whether to answer, with no sockets.
#include <QList>
#include <QString>

// The longest header a check reads, in characters and in lines; a longer one is passed over,
// so that a hostile mail cannot make the check's work grow without bound.
constexpr qsizetype MaxHeaderLength = 1024 * 1024;
constexpr qsizetype MaxHeaderLines = 10000;

// True when header is past MaxHeaderLength or has more than MaxHeaderLines lines.
bool IsOversizedHeader(const QString& header);

// Removes every CR LF followed by a space or a TAB, and that folding character too, so that
// the joined parts touch; a CR LF that a removal brings before a blank goes as well, so no
// line after the first begins with one.
QString UnfoldHeader(const QString& header);

// One header line the check acts on: its name ("From", "To" or "Subject", matched with exact
// case) and its value, spaces and TABs trimmed from both ends.
struct HeaderField {
    QString Name;
    QString Value;
};

// The From, To and Subject lines of an unfolded header, in header order. Lines are split at
// CR LF and each at its first ":"; empty lines, "." and lines without ":" are skipped.
QList<HeaderField> RequestFields(const QString& unfoldedHeader);

// The address of a header value: the text between its last "<" and the first ">" after it;
// the value unchanged when it has no "<"; empty when no ">" follows.
QString ExtractAddress(const QString& headerValue);

// Whether subject begins with prefix: its first prefix.size() characters, mapped to their
// half-width forms, equal prefix exactly. The cut comes before the mapping, so a character
// that maps to two does not shift it.
bool HasSubjectPrefix(const QString& subject, const QString& prefix);
