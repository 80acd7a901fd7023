// Header text through the steps of the mail check that read a request: the size bounds, the
// unfolding, the From, To and Subject fields, their addresses and the subject prefix test,
// with the properties each must keep.
#include "mailcheck/RequestHeader.h"
#include "platform/CodePage.h"
#include "textenc/HalfWidth.h"

#include <QStringList>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const QString CrLf = QStringLiteral("\r\n");

void Check(bool condition) {
    if (!condition)
        std::abort();
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

bool IsBlankText(QStringView text) {
    return std::all_of(text.begin(), text.end(), IsBlank);
}

// text without its line-end and blank characters: what no unfolding may change.
QString Visible(const QString& text) {
    QString visible;
    for (const QChar c : text)
        if (c != u'\r' && c != u'\n' && !IsBlank(c))
            visible += c;
    return visible;
}

// text after line ends that take the header up to slack line ends short of its bound.
void CheckLineBound(const QString& text, qsizetype slack) {
    const QString header = CrLf.repeated(MaxHeaderLines - slack) + text;
    Check(IsOversizedHeader(header) == (text.count(CrLf) > slack));
}

// text after characters that take the header up to slack (at most 3) characters short of its
// bound. Those characters stay from input to input, as building them afresh each time costs
// more than every other check together; only the end after them is written.
void CheckLengthBound(const QString& text, qsizetype slack) {
    static QString header(MaxHeaderLength, u'x');
    header.truncate(MaxHeaderLength - 3);
    header.resize(MaxHeaderLength - slack, u'x');
    header += text;
    Check(IsOversizedHeader(header) == (text.size() > slack || text.count(CrLf) > MaxHeaderLines));
}

// Unfolding takes out line ends with the blank after each, three characters at a time, and
// leaves no line end before a blank; a header without a fold stays as it is.
QString CheckUnfold(const QString& header) {
    const QString unfolded = UnfoldHeader(header);
    Check(!unfolded.contains(QStringLiteral("\r\n ")) &&
          !unfolded.contains(QStringLiteral("\r\n\t")));
    Check((header.size() - unfolded.size()) % 3 == 0 && Visible(unfolded) == Visible(header));
    if (!header.contains(QStringLiteral("\r\n ")) && !header.contains(QStringLiteral("\r\n\t")))
        Check(unfolded == header);
    return unfolded;
}

// The fields are the lines that begin with "From:", "To:" or "Subject:", in header order, each
// value its line's rest without the blanks at either end.
void CheckFields(const QString& header, const QList<HeaderField>& fields) {
    qsizetype next = 0;
    for (const QString& line : header.split(CrLf)) {
        for (const QString& name :
             {QStringLiteral("From"), QStringLiteral("To"), QStringLiteral("Subject")}) {
            if (!line.startsWith(name + u':'))
                continue;
            Check(next < fields.size() && fields[next].Name == name);
            const QString& value = fields[next].Value;
            const QString rest = line.mid(name.size() + 1);
            qsizetype begin = 0;
            while (begin < rest.size() && IsBlank(rest[begin]))
                ++begin;
            Check(rest.mid(begin, value.size()) == value);
            Check(IsBlankText(QStringView(rest).mid(begin + value.size())));
            Check(value.isEmpty() || !IsBlank(value.back()));
            ++next;
        }
    }
    Check(next == fields.size());
}

// The address is the whole value when it has no "<", else what stands between its last "<"
// and the first ">" after it, empty when no ">" follows.
void CheckAddress(const QString& value) {
    const QString address = ExtractAddress(value);
    Check(!address.contains(u'<') && !address.contains(CrLf));
    const qsizetype open = value.lastIndexOf(u'<');
    if (open < 0) {
        Check(address == value);
        return;
    }
    Check(!address.contains(u'>'));
    if (address.isEmpty())
        Check(value.indexOf(u'>', open) < 0 || value[open + 1] == u'>');
    else
        Check(value.mid(open + 1, address.size() + 1) == address + u'>');
}

// A prefix matches only the start of the subject's half-width form; a cut of the subject
// matches in its half-width form when the mapping keeps its length, and as it is exactly
// when the mapping leaves it unchanged.
void CheckPrefix(const QString& subject, qsizetype cut) {
    const QString head = subject.left(cut);
    const QString halfHead = ToHalfWidth(head);
    if (halfHead.size() == head.size())
        Check(HasSubjectPrefix(subject, halfHead));
    Check(HasSubjectPrefix(subject, head) == (halfHead == head));
    const QString halfSubject = ToHalfWidth(subject);
    for (const QString& prefix : {head, halfHead, subject.mid(cut)})
        if (HasSubjectPrefix(subject, prefix))
            Check(halfSubject.startsWith(prefix));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString header = FromCodePage932(bytes);
    const qsizetype pick = bytes.isEmpty() ? 0 : static_cast<std::uint8_t>(bytes[0]);
    // Headers at the bounds take long to count, so one input in eight gets them.
    if (pick % 8 == 0) {
        const qsizetype slack = pick >> 6;
        CheckLineBound(header, slack);
        CheckLengthBound(header, slack);
    }
    const QString unfolded = CheckUnfold(header);
    // The check reads the unfolded header; a folded one must keep the same rules.
    CheckFields(header, RequestFields(header));
    const QList<HeaderField> fields = RequestFields(unfolded);
    CheckFields(unfolded, fields);
    for (const HeaderField& field : fields) {
        if (field.Name == QStringLiteral("Subject"))
            CheckPrefix(field.Value, pick % (field.Value.size() + 1));
        else
            CheckAddress(field.Value);
    }
    return 0;
}
