#include "platform/Shell.h"

#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <utility>

namespace {

Shell*& Installed() {
    static Shell* shell = nullptr;
    return shell;
}

bool FoundFile(const QString& path, QString& retPath) {
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    retPath = info.absoluteFilePath();
    return true;
}

} // namespace

bool DesktopShell::SearchPath(const QString& fileName, QString& retPath) {
    if (fileName.isEmpty())
        return false;
    if (fileName.contains(u'/'))
        return FoundFile(fileName, retPath);
    QStringList folders{ProgramFolder(), QDir::currentPath()};
    folders += qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts);
    for (const QString& folder : folders)
        if (FoundFile(QDir(folder).filePath(fileName), retPath))
            return true;
    return false;
}

bool DesktopShell::ShellExecuteEx(SHELLEXECUTEINFO& info) {
    info.hProcess = 0;
    if (info.lpVerb != QStringLiteral("open") || info.lpFile.isEmpty())
        return false;
    // A bare program name is looked for as the file search looks for it.
    QString found;
    const QFileInfo file(
        !QFileInfo::exists(info.lpFile) && SearchPath(info.lpFile, found) ? found : info.lpFile);
    qint64 processId = 0;
    bool started = false;
    if (file.isFile() && file.isExecutable())
        started = QProcess::startDetached(file.absoluteFilePath(),
                                          QProcess::splitCommand(info.lpParameters),
                                          info.lpDirectory, &processId);
    else if (file.exists() || IsShellAddress(info.lpFile))
        started = QProcess::startDetached(QStringLiteral("xdg-open"),
                                          {file.exists() ? file.absoluteFilePath() : info.lpFile},
                                          info.lpDirectory, &processId);
    if (started && (info.fMask & SEE_MASK_NOCLOSEPROCESS))
        info.hProcess = OpenProcess(processId);
    return started;
}

bool DesktopShell::StartProgram(const QString& commandLine, qint64& retProcessId) {
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty())
        return false;
    const QString program = arguments.takeFirst();
    return QProcess::startDetached(program, arguments, QString(), &retProcessId);
}

ProcessHandle DesktopShell::OpenProcess(qint64 processId) {
    if (processId <= 0)
        return 0;
    // A pidfd becomes readable when the process ends, whoever reaps it.
    const long fd = syscall(SYS_pidfd_open, static_cast<pid_t>(processId), 0);
    return fd < 0 ? 0 : static_cast<ProcessHandle>(fd);
}

bool DesktopShell::GetExitCodeProcess(ProcessHandle process, quint32& retExitCode) {
    if (process <= 0)
        return false;
    pollfd watched{process, POLLIN, 0};
    const int ready = poll(&watched, 1, 0);
    if (ready < 0 || (watched.revents & POLLNVAL))
        return false;
    retExitCode = ready == 0 ? STILL_ACTIVE : 0;
    return true;
}

void DesktopShell::CloseHandle(ProcessHandle process) {
    if (process > 0)
        close(process);
}

bool IsShellAddress(const QString& target) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(target).hasMatch();
}

Shell* CurrentShell() {
    static DesktopShell desktop;
    return Installed() ? Installed() : &desktop;
}

Shell* SetShell(Shell* shell) {
    return std::exchange(Installed(), shell);
}
