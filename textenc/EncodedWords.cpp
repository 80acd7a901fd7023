#include "textenc/EncodedWords.h"

#include "platform/CodePage.h"
#include "textenc/MailCharset.h"
#include "textenc/MailJis.h"
#include "textenc/modConvBase64.h"

#include <algorithm>
#include <optional>

namespace {

struct EncodedWord {
    QString charset;
    QChar encoding;
    QString text;
    qsizetype end = 0; // index just past the closing "?="
};

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// The encoded word that starts at from, if one does: charset and text hold no "?" and no
// blank, the encoding is one letter.
bool ParseWord(const QString& value, qsizetype from, EncodedWord& retWord) {
    if (!QStringView(value).mid(from).startsWith(u"=?"))
        return false;
    const qsizetype charsetStart = from + 2;
    const qsizetype charsetEnd = value.indexOf(u'?', charsetStart);
    if (charsetEnd <= charsetStart || charsetEnd + 2 >= value.size() ||
        value[charsetEnd + 2] != u'?')
        return false;
    const qsizetype textStart = charsetEnd + 3;
    const qsizetype textEnd = value.indexOf(u'?', textStart);
    if (textEnd < 0 || textEnd + 1 >= value.size() || value[textEnd + 1] != u'=')
        return false;
    const QString charset = value.mid(charsetStart, charsetEnd - charsetStart);
    const QString text = value.mid(textStart, textEnd - textStart);
    if (std::any_of(charset.begin(), charset.end(), IsBlank) ||
        std::any_of(text.begin(), text.end(), IsBlank))
        return false;
    // An RFC 2231 language suffix ("UTF-8*ja") says nothing about the bytes.
    retWord.charset = charset.section(u'*', 0, 0);
    retWord.encoding = value[charsetEnd + 1].toUpper();
    retWord.text = text;
    retWord.end = textEnd + 2;
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The bytes a B or Q word stands for; false for any other encoding.
bool WordBytes(const EncodedWord& word, QByteArray& retBytes) {
    if (word.encoding == u'B') {
        // Pad characters carry no data; without them the decoder's dropped bits are the pad.
        QString text = word.text;
        while (text.endsWith(u'='))
            text.chop(1);
        InitBase64();
        retBytes = DecodeBase64Text(text, false);
    } else if (word.encoding == u'Q') {
        retBytes = DecodeQText(ToCodePage932(word.text));
    } else {
        return false;
    }
    return true;
}

// Adjacent words of one charset and encoding, whose bytes are decoded together: mailers cut a
// long text into words anywhere, also inside a character.
struct WordRun {
    QString charset;
    QChar encoding;
    QByteArray bytes;
    qsizetype start = 0;    // where the first word begins
    qsizetype end = 0;      // just past the last word
    QString blanksBefore;   // white space between the run and what came before it
    bool afterWord = false; // what came before it was a decoded word

    bool Continues(const EncodedWord& word) const {
        return encoding == word.encoding && charset.compare(word.charset, Qt::CaseInsensitive) == 0;
    }
};

constexpr int MaxLineLength = 78;
constexpr int MaxWordLength = 75;
constexpr int WordFrame = 18; // "=?ISO-2022-JP?B?" and "?="

bool IsPrintableAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u' ' && c < u'\x7f'; });
}

// text, with nameLength characters before it on its first line, folded with CR LF before a
// blank wherever a line would pass MaxLineLength (RFC 5322 section 2.2.3). A fold goes only
// before the last blank ahead of a word, so no line is blanks alone. False when a run without
// such a blank does not fit on a line.
bool FoldAtBlanks(const QString& text, int nameLength, QString& retFolded) {
    retFolded.clear();
    qsizetype lineLength = nameLength;
    for (qsizetype start = 0; start < text.size();) {
        // The piece up to the next place a fold may go.
        qsizetype end = start + 1;
        while (end < text.size() &&
               !(text[end] == u' ' && end + 1 < text.size() && text[end + 1] != u' '))
            ++end;
        const qsizetype length = end - start;
        if (start > 0 && lineLength + length > MaxLineLength) {
            retFolded += QStringLiteral("\r\n");
            lineLength = 0;
        }
        if (lineLength + length > MaxLineLength)
            return false;
        retFolded += QStringView(text).mid(start, length);
        lineLength += length;
        start = end;
    }
    return true;
}

} // namespace

QString EncodeHeaderText(const QString& text, int nameLength) {
    QString folded;
    if (IsPrintableAscii(text) && FoldAtBlanks(text, nameLength, folded))
        return folded;
    // Encoded words can be cut anywhere, so they also carry a word too long for a line.
    const QString chars = ToJisRepertoire(text);
    QString out;
    int lineRoom = MaxLineLength - nameLength;
    for (qsizetype start = 0; start < chars.size();) {
        // Four base64 characters carry three bytes.
        const int base64Room = std::min(MaxWordLength, lineRoom) - WordFrame;
        const QStringView piece = QStringView(chars).mid(
            start, JisPrefixLength(QStringView(chars).mid(start), std::max(base64Room, 0) / 4 * 3));
        if (start > 0)
            out += QStringLiteral("\r\n ");
        out += QStringLiteral("=?ISO-2022-JP?B?") +
               QString::fromLatin1(EncodeBase64(TextToJis(piece.toString()))) +
               QStringLiteral("?=");
        start += piece.size();
        lineRoom = MaxLineLength - 1; // a folded line begins with its space
    }
    return out;
}

QByteArray DecodeQText(const QByteArray& text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool escape = c == '=' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
                            HexValue(text[i + 2]) >= 0;
        if (escape) {
            out.append(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 2;
        } else {
            out.append(c == '_' ? ' ' : c);
        }
    }
    return out;
}

QString DecodeEncodedWords(const QString& sValue) {
    QString out;
    QString blanks;         // white space seen since the last word or text
    bool afterWord = false; // the last thing kept was a decoded word
    std::optional<WordRun> run;
    // Appends the run's text, or the words as they stand when the charset is unknown.
    auto finishRun = [&] {
        if (!run)
            return;
        QString text;
        const bool ok = CharsetToText(run->bytes, run->charset, text);
        if (!(ok && run->afterWord))
            out += run->blanksBefore;
        out += ok ? text : sValue.mid(run->start, run->end - run->start);
        afterWord = ok;
        run.reset();
    };
    qsizetype i = 0;
    while (i < sValue.size()) {
        EncodedWord word;
        if (ParseWord(sValue, i, word)) {
            QByteArray bytes;
            if (!WordBytes(word, bytes)) {
                // A word in an encoding other than B and Q stays as it stands.
                finishRun();
                out += blanks + sValue.mid(i, word.end - i);
                afterWord = false;
            } else if (run && run->Continues(word)) {
                run->bytes += bytes;
                run->end = word.end;
            } else {
                finishRun();
                run = WordRun{word.charset, word.encoding, bytes, i, word.end, blanks, afterWord};
            }
            blanks.clear();
            i = word.end;
        } else if (IsBlank(sValue[i])) {
            blanks += sValue[i++];
        } else {
            finishRun();
            out += blanks;
            out += sValue[i++];
            blanks.clear();
            afterWord = false;
        }
    }
    finishRun();
    return out + blanks;
}
