#include "reply/SMTPReply.h"

namespace {
bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}
} // namespace

qsizetype CompleteReplyLength(const QString& sBuffer) {
    qsizetype start = 0;
    for (;;) {
        const qsizetype lineFeed = sBuffer.indexOf(u'\n', start);
        if (lineFeed < 0)
            return 0;
        const bool continued = lineFeed - start >= 4 && sBuffer[start + 3] == u'-';
        if (!continued)
            return lineFeed + 1;
        start = lineFeed + 1;
    }
}

bool IsCode250(const QString& sReply) {
    return sReply.size() >= 3 && sReply[0] == u'2' && IsDigit(sReply[1]) && IsDigit(sReply[2]);
}

bool IsCode354(const QString& sReply) {
    return sReply.startsWith(QStringLiteral("354"));
}
