// Any text through the settings line reader and back through the writer, and any file through
// the rule file's load, a save and a load again, with the properties each must keep.
#include "FuzzFiles.h"
#include "platform/CodePage.h"
#include "settings/RuleFile.h"
#include "settings/modFileAccess.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const QString LineEnd = QStringLiteral("\r\n");

void Check(bool condition) {
    if (!condition)
        std::abort();
}

QString FirstLine(const QString& text) {
    const qsizetype end = text.indexOf(LineEnd);
    return end < 0 ? text : text.left(end);
}

// A list as its line holds it, read back: cut at every ",", none for an empty value.
QStringList ListOf(const QString& value) {
    return value.isEmpty() ? QStringList() : value.split(u',');
}

// Each line that is no comment and has a key before its "=" adds an item, unless an earlier
// line had the key (as the item look-up compares keys); the items come in line order, keys
// and values trimmed of spaces.
void CheckReader(const QString& text, const CParams& params) {
    int position = 0;
    for (const QString& line : text.split(LineEnd)) {
        const qsizetype equals = line.indexOf(u'=');
        if (IsCommentLine(line) || equals < 0)
            continue;
        QString key = TrimSpaces(line.left(equals));
        const bool isList = key.endsWith(u',');
        if (isList)
            key.chop(1);
        if (key.isEmpty())
            continue;
        const CParamItem* item = params.Item(key);
        Check(item != nullptr);
        if (item - &*params.begin() < position)
            continue;
        Check(item == params.Item(++position) && item->Cmd == key && item->IsList() == isList);
        const QString value = TrimSpaces(line.mid(equals + 1));
        if (isList)
            Check(item->List() == ListOf(value));
        else
            Check(item->Text() == value);
    }
    Check(params.Count() == position);
}

// Written in the order of a key table and read again, the items come back as they were, in
// the table's order.
void CheckRoundTrip(const CParams& params) {
    QStringList table;
    for (const CParamItem& item : params)
        table.prepend(item.Cmd);
    const CParams back = TextToParams(ParamsToText(QStringLiteral("Fuzz"), params, table));
    Check(back.Count() == params.Count());
    int position = params.Count();
    for (const CParamItem& item : back) {
        const CParamItem* original = params.Item(position--);
        Check(item.Cmd == original->Cmd && item.Param == original->Param);
    }
}

// A value from anywhere writes one line: only its first line, trimmed, comes back, and no
// other key.
void CheckOneLine(const QString& value) {
    const QStringList list = value.split(u';');
    CParams params;
    params.Add(QStringLiteral("Subject"), value);
    params.Add(QStringLiteral("Addrs"), list);
    const CParams back =
        TextToParams(ParamsToText(QStringLiteral("Fuzz"), params, {"Subject", "Addrs"}));
    Check(back.Count() == 2);
    Check(back.Item(1)->Text() == TrimSpaces(FirstLine(value)));
    Check(back.Item(2)->List() == ListOf(TrimSpaces(FirstLine(list.join(u',')))));
}

// The identifiers are the file's lines that are no comments, in order, and absent without
// any; saved (with empty entries among them, which are not written) and loaded again they
// come back the same where the code page keeps the text.
void CheckRuleFile(const std::uint8_t* data, std::size_t size, const QString& text) {
    const QString in = QString::fromStdString(WriteFuzzInput(data, size));
    std::optional<QStringList> list = QStringList{QStringLiteral("kept")};
    const bool loaded = LoadRuleFile(in, list);
    Check(loaded == (size > 0));
    if (!loaded) {
        Check(list == QStringList{QStringLiteral("kept")});
        return;
    }
    QStringList identifiers;
    for (const QString& line : text.split(LineEnd))
        if (!IsCommentLine(line))
            identifiers.append(line);
    Check(list.has_value() == !identifiers.isEmpty());
    if (list)
        Check(*list == identifiers);

    QStringList saved = list.value_or(QStringList());
    saved.insert(data[0] % (saved.size() + 1), QString());
    saved.append(QString());
    const QString path = QString::fromStdString(FuzzFolder() + "/main.rul");
    SaveRuleFile(path, saved);
    std::optional<QStringList> back = QStringList{QStringLiteral("kept")};
    Check(LoadRuleFile(path, back));
    // A stray byte before a character that the code page writes in another form can pair up
    // with it when read again; text that the code page keeps comes back whole.
    if (FromCodePage932(ToCodePage932(text)) == text)
        Check(back == list);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = FromCodePage932(bytes);
    const CParams params = TextToParams(text);
    CheckReader(text, params);
    CheckRoundTrip(params);
    CheckOneLine(text);
    CheckRuleFile(data, size, text);
    return 0;
}
