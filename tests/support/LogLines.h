#pragma once
// The activity log of a scratch program folder as the tests read it: its messages without
// their time stamps, in order.
#include "platform/CodePage.h"
#include "tests/support/ScratchProgramFolder.h"

#include <QStringList>

inline QStringList LoggedMessages(const ScratchProgramFolder& folder) {
    QStringList messages;
    const QString text = FromCodePage932(folder.Read(QStringLiteral("options/main.log")));
    for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        messages.append(line.mid(line.indexOf(u'\t') + 1));
    return messages;
}
