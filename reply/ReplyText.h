#pragma once
// The text of the reply mail: a MIME multipart message (RFC 2045, 2046) with an ISO-2022-JP
// text part and the base64 image, assembled line by line in MailText (Module1).
#include "settings/CResAccount.h"

#include <QDateTime>
#include <QString>
#include <functional>

// "-----=_NextPart_" and three numbers of six digits joined by "_": each number is r × 999999
// rounded (halves to even), r drawn uniform from [0, 1).
QString MakeBoundary();
// Where MakeBoundary and MakeMessageId draw r; the system's generator (seeded by the system,
// not by the clock) unless a test installs another. An empty source restores it; answers the
// one it replaces.
using UniformRandom = std::function<double()>;
UniformRandom SetBoundaryRandom(UniformRandom random);

// "<1825027507.250000_500000_749999@example.com>" (RFC 5322 section 3.6.4): the moment in
// seconds since 1970 UTC, three numbers drawn as MakeBoundary draws them and the domain of
// fromAddress (after its last "@"). "" when that domain is neither a host name nor an address
// literal: the image info window's placeholder " " has none.
QString MakeMessageId(const QDateTime& moment, const QString& fromAddress);

// "Mon, 1 Nov 2027 09:05:07 +0900" (RFC 5322 section 3.3): English names, the day without a
// leading zero, and the moment's own offset from UTC.
QString MakeMailDate(const QDateTime& moment);

// text cut into pieces of width characters (the last one shorter), each followed by CR LF; ""
// for an empty text. A width below 1 counts as 1.
QString WrapLines(const QString& text, int width);

// The MIME subtype and the attachment's file name of a FormatType: 0 "jpeg" and
// "capture.jpg", 1 "png" and "capture.png", 2 "gif" and "capture.gif"; false for any other.
bool AttachmentName(int formatType, QString& retSubtype, QString& retFileName);

// The reply mail, every line followed by CR LF (WriteTextFile adds one more). The header holds From
// and To verbatim, the Subject as EncodeHeaderText gives it, MIME-Version, the multipart
// Content-Type with a new MakeBoundary(), the Date of LocalNow() and, unless it is "", the
// Message-ID of MakeMessageId for that moment and fromAddress; the text part holds
// SendMail_Body in ISO-2022-JP (TextToJis, line by line, every line end CR LF, a line of more than
// 998 bytes cut into shorter ones); the image part holds base64Block (WrapLines of the base64
// text). False for a FormatType without a name.
bool MakeReplyText(const CResAccount& setting, const QString& fromAddress, const QString& toAddress,
                   const QString& base64Block, QString& retText);
