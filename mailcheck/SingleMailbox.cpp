#include "mailcheck/SingleMailbox.h"

namespace {

bool IsSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// What a reader of the address could take for part of one.
bool IsAddressMark(QChar c) {
    return c == u'<' || c == u'>' || c == u',';
}

// RFC 5322 atext and ".", with any character past ASCII (RFC 6532).
bool IsWordChar(QChar c) {
    if (c.unicode() >= 0x80)
        return true;
    if (c.unicode() <= 0x20 || c.unicode() == 0x7f)
        return false;
    return !QStringView(u"()<>[]:;@\\,\"").contains(c);
}

// Moves pos past white space and comments. False for a comment without its end or one that
// holds an address mark, escaped or not.
bool SkipCfws(QStringView text, qsizetype& pos) {
    while (pos < text.size() && (IsSpace(text[pos]) || text[pos] == u'(')) {
        if (text[pos] != u'(') {
            ++pos;
            continue;
        }
        qsizetype depth = 0;
        do {
            QChar c = text[pos++];
            if (c == u'\\' && pos < text.size())
                c = text[pos++];
            else if (c == u'(')
                ++depth;
            else if (c == u')')
                --depth;
            if (IsAddressMark(c))
                return false;
        } while (depth > 0 && pos < text.size());
        if (depth > 0)
            return false;
    }
    return true;
}

// Moves pos past the quoted string that begins there; false when it does not end.
bool SkipQuoted(QStringView text, qsizetype& pos) {
    for (++pos; pos < text.size(); ++pos) {
        if (text[pos] == u'\\')
            ++pos;
        else if (text[pos] == u'"') {
            ++pos;
            return true;
        }
    }
    return false;
}

// The end of the run of word characters and "@" from pos.
qsizetype WordEnd(QStringView text, qsizetype pos) {
    while (pos < text.size() && (IsWordChar(text[pos]) || text[pos] == u'@'))
        ++pos;
    return pos;
}

// One "@" with text on both sides; the characters are word characters already.
bool IsPlainAddress(QStringView word) {
    const qsizetype at = word.indexOf(u'@');
    return at > 0 && at < word.size() - 1 && word.indexOf(u'@', at + 1) < 0;
}

// True when only white space and harmless comments follow pos.
bool OnlyCfwsFollows(QStringView text, qsizetype pos) {
    return SkipCfws(text, pos) && pos == text.size();
}

} // namespace

bool ReadSingleMailbox(QStringView sValue, QString& retAddress) {
    retAddress.clear();
    qsizetype pos = 0;
    bool named = false; // a display name has begun
    for (;;) {
        if (!SkipCfws(sValue, pos) || pos == sValue.size())
            return false;
        if (sValue[pos] == u'<')
            break;
        if (sValue[pos] == u'"') {
            if (!SkipQuoted(sValue, pos))
                return false;
            named = true;
            continue;
        }
        const qsizetype end = WordEnd(sValue, pos);
        if (end == pos)
            return false; // ",", ":", ";", ">", "[" and the like: a list, a group, or worse
        const QStringView word = sValue.sliced(pos, end - pos);
        if (word.contains(u'@')) {
            // A bare address stands alone.
            if (named || !IsPlainAddress(word) || !OnlyCfwsFollows(sValue, end))
                return false;
            retAddress = word.toString();
            return true;
        }
        pos = end;
        named = true;
    }
    const qsizetype start = pos + 1;
    const qsizetype end = WordEnd(sValue, start);
    const QStringView address = sValue.sliced(start, end - start);
    if (end == sValue.size() || sValue[end] != u'>' || !IsPlainAddress(address) ||
        !OnlyCfwsFollows(sValue, end + 1))
        return false;
    retAddress = address.toString();
    return true;
}
