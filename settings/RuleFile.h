#pragma once
// The rule file options/main.rul: the UIDLs of received mails that must not be answered, one
// a line after a comment block.
#include <QString>
#include <QStringList>
#include <optional>

// Reads the identifiers in file order, each line exactly as it stands (spaces kept); lines
// that are blank or begin with "//" are skipped. A file without identifiers gives an absent
// list. False, with retList as it was, when the file is missing, unreadable or empty.
bool LoadRuleFile(const QString& path, std::optional<QStringList>& retList);

// Writes the comment block, then, when the list exists, every non-empty identifier and a
// final empty line. False when it could not be written (the old file then stays whole).
bool SaveRuleFile(const QString& path, const std::optional<QStringList>& list);
