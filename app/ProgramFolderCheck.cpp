#include "app/ProgramFolderCheck.h"

#include "platform/MsgBox.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

bool CheckProgramFolderWritable() {
    for (const QString& folder : {ProgramFolder(), OptionsFolder(), TempFolder()}) {
        if (folder != ProgramFolder() && !QFileInfo(folder).isDir())
            continue;
        if (CanWriteIn(folder))
            continue;
        MsgBox(MsgIcon::Critical, AppTitle(),
               QStringLiteral("プログラムのフォルダに書き込めないため、終了します。\r\n%1\r\n\r\n"
                              "設定とログはこのフォルダに保存されます。書き込めるフォルダ"
                              "（ホームフォルダの中など）にインストールしてください。")
                   .arg(QDir::toNativeSeparators(folder)));
        return false;
    }
    return true;
}
