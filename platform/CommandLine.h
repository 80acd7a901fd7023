#pragma once
// The rule of both protocol clients for what they put on the wire: a command is one line, so
// an argument holding CR, LF or NUL (a user name, a password or an address from a stranger's
// mail) would smuggle a second command past a server that accepts a bare LF.
#include <QString>

// True when text holds no CR, LF or NUL.
inline bool IsOneLine(const QString& text) {
    for (QChar c : text)
        if (c == u'\r' || c == u'\n' || c == u'\0')
            return false;
    return true;
}
