#include "app/modShellEx.h"

#include "platform/EventPump.h"
#include "platform/Shell.h"

namespace {

constexpr int ExitPollMs = 100;

void SplitCommandLine(Shell& shell, const QString& commandLine, QString& retProgram,
                      QString& retParameters) {
    for (qsizetype space = commandLine.indexOf(u' '); space >= 0;
         space = commandLine.indexOf(u' ', space + 1)) {
        QString found;
        if (shell.SearchPath(commandLine.left(space), found)) {
            retProgram = commandLine.left(space);
            retParameters = commandLine.mid(space + 1);
            return;
        }
    }
    retProgram = commandLine;
    retParameters.clear();
}

// Waits for process to end and closes its handle; a handle that cannot be asked ends the wait.
void WaitForExit(Shell& shell, ProcessHandle process) {
    quint32 code = STILL_ACTIVE;
    while (shell.GetExitCodeProcess(process, code) && code == STILL_ACTIVE)
        WaitForEvents(ExitPollMs);
    shell.CloseHandle(process);
}

} // namespace

bool RunShell(const QString& commandLine, int showCommand, quintptr ownerWindow, bool waitForExit) {
    Shell& shell = *CurrentShell();
    SHELLEXECUTEINFO info;
    SplitCommandLine(shell, commandLine, info.lpFile, info.lpParameters);
    info.lpVerb = QStringLiteral("open");
    info.nShow = showCommand;
    info.hwnd = ownerWindow;
    info.fMask = SEE_MASK_NO_ASYNC | (waitForExit ? SEE_MASK_NOCLOSEPROCESS : 0);
    if (shell.ShellExecuteEx(info)) {
        if (waitForExit && info.hProcess)
            WaitForExit(shell, info.hProcess);
        return true;
    }
    qint64 processId = 0;
    if (!shell.StartProgram(commandLine, processId))
        return false;
    if (waitForExit)
        if (const ProcessHandle process = shell.OpenProcess(processId))
            WaitForExit(shell, process);
    return true;
}
