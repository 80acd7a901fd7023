#pragma once
// The reply mail: reading the request's subject.
#include <QString>

// The Subject header value as text. A value that is one "=?ISO-2022-JP?B?...?=" word (any
// letter case) is decoded with the program's base64 and JIS conversion: the text ends at the
// first zero byte of the decoded JIS. Any other value is decoded as RFC 2047 encoded words
// within plain text, so a plain subject comes back unchanged. An empty value gives "".
QString DecodeSubject(const QString& sValue);
