#include "app/ProgramFolderCheck.h"

#include "platform/MsgBox.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

bool CheckProgramFolderWritable() {
    for (const QString& wanted : {OptionsFolder(), TempFolder()}) {
        const QFileInfo info(wanted);
        const QString folder = info.isDir() ? wanted : info.absolutePath();
        if (CanWriteIn(folder))
            continue;
        MsgBox(MsgIcon::Critical, AppTitle(),
               QStringLiteral("設定のフォルダに書き込めないため、終了します。\r\n%1\r\n\r\n"
                              "設定とログはこのフォルダに保存されます。書き込めるフォルダを"
                              "--settings-folder で指定してください。")
                   .arg(QDir::toNativeSeparators(folder)));
        return false;
    }
    return true;
}
