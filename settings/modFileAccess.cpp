#include "settings/modFileAccess.h"

#include "platform/CodePage.h"
#include "platform/ReplaceFile.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <utility>

QString TrimSpaces(const QString& text) {
    qsizetype first = 0, last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

namespace {

const QString LineEnd = QStringLiteral("\r\n");

QString FirstLine(const QString& text) {
    const qsizetype end = text.indexOf(LineEnd);
    return end < 0 ? text : text.left(end);
}

QString WithSlash(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

SaveTextFileCheck& WriteCheck() {
    static SaveTextFileCheck check;
    return check;
}

} // namespace

CParams TextToParams(const QString& text) {
    CParams params;
    for (const QString& line : text.split(LineEnd)) {
        if (IsCommentLine(line))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        const QString key = TrimSpaces(line.left(equals));
        const QString value = TrimSpaces(line.mid(equals + 1));
        if (key.endsWith(u','))
            params.Add(key.chopped(1), value.isEmpty() ? QStringList() : value.split(u','));
        else
            params.Add(key, value);
    }
    return params;
}

bool IsCommentLine(const QString& line) {
    const QString trimmed = TrimSpaces(line);
    return trimmed.isEmpty() || trimmed.startsWith(QStringLiteral("//"));
}

QString CommentHeader(const QString& title) {
    return QStringLiteral("//") + LineEnd + QStringLiteral("// ") + title + LineEnd +
           QStringLiteral("//") + LineEnd + LineEnd;
}

QString ParamsToText(const QString& title, const CParams& params, const QStringList& keyTable) {
    QString text = CommentHeader(title);
    for (const QString& key : keyTable) {
        const CParamItem* item = params.Item(key);
        if (!item)
            continue;
        if (item->IsList())
            text += item->Cmd + QStringLiteral(",=") + FirstLine(item->List().join(u',')) + LineEnd;
        else
            text += item->Cmd + u'=' + FirstLine(item->Text()) + LineEnd;
    }
    return text + LineEnd;
}

bool LoadBinaryFile(const QString& path, QByteArray& retBytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    if (bytes.isEmpty() || file.error() != QFileDevice::NoError)
        return false;
    retBytes = std::move(bytes);
    return true;
}

bool LoadTextFile(const QString& path, QString& retText) {
    QByteArray bytes;
    if (!LoadBinaryFile(path, bytes))
        return false;
    retText = FromCodePage932(bytes);
    return true;
}

bool LoadSettingsFile(const QString& path, QString& retText, bool& retIsDamaged) {
    retIsDamaged = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Read in pieces rather than whole: a file need not know its size (a pipe, /proc).
    QByteArray bytes;
    char piece[65536];
    qint64 got = 0;
    while (bytes.size() <= MaxSettingsFileBytes && (got = file.read(piece, sizeof piece)) > 0)
        bytes.append(piece, got);
    retIsDamaged = bytes.size() > MaxSettingsFileBytes;
    if (retIsDamaged || got < 0 || bytes.isEmpty())
        return false;
    retText = FromCodePage932(bytes);
    return true;
}

bool SaveTextFile(const QString& path, const QString& text) {
    if (WriteCheck() && !WriteCheck()(path))
        return false;
    const QByteArray bytes = ToCodePage932(text);
    return ReplaceFile(path, {bytes}, Durability::Durable);
}

SaveTextFileCheck SetSaveTextFileCheck(SaveTextFileCheck check) {
    return std::exchange(WriteCheck(), std::move(check));
}

void MakeFolder(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    constexpr mode_t UserAlone = S_IRWXU;
    if (::mkdir(name.constData(), UserAlone) == 0 || errno != EEXIST)
        return;
    struct stat info {};
    if (::lstat(name.constData(), &info) == 0 && S_ISDIR(info.st_mode))
        ::chmod(name.constData(), UserAlone);
}

// Digit runs compare by their value, so that 1000.csp follows 999.csp.
bool NumberAwareLess(const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const qsizetype startA = i, startB = j;
            while (i < a.size() && a[i].isDigit())
                ++i;
            while (j < b.size() && b[j].isDigit())
                ++j;
            const double valueA = a.mid(startA, i - startA).toDouble();
            const double valueB = b.mid(startB, j - startB).toDouble();
            if (valueA != valueB)
                return valueA < valueB;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j || (a.size() - i == b.size() - j && a < b);
}

bool ListFiles(const QString& folder, const QString& pattern, QStringList& retPaths) {
    const QDir dir(WithSlash(folder));
    QStringList names = dir.entryList({pattern}, QDir::Files, QDir::Name);
    std::stable_sort(names.begin(), names.end(), NumberAwareLess);
    retPaths.clear();
    for (const QString& name : names)
        retPaths << dir.filePath(name);
    return !retPaths.isEmpty();
}

void DeleteFiles(const QString& folder, const QString& pattern) {
    QStringList paths;
    ListFiles(folder, pattern, paths);
    for (const QString& path : paths)
        QFile::remove(path);
}
