#include "settings/RuleFile.h"

#include "settings/modFileAccess.h"

namespace {
const QString LineEnd = QStringLiteral("\r\n");
} // namespace

bool LoadRuleFile(const QString& path, std::optional<QStringList>& retList) {
    QString text;
    if (!LoadTextFile(path, text))
        return false;
    std::optional<QStringList> list;
    for (const QString& line : text.split(LineEnd)) {
        if (IsCommentLine(line))
            continue;
        if (!list)
            list.emplace();
        list->append(line);
    }
    retList = std::move(list);
    return true;
}

bool SaveRuleFile(const QString& path, const std::optional<QStringList>& list) {
    QString text = CommentHeader(QStringLiteral("Received UIDL List"));
    if (list) {
        for (const QString& uidl : *list)
            if (!uidl.isEmpty())
                text += uidl + LineEnd;
        text += LineEnd;
    }
    return SaveTextFile(path, text);
}
