#pragma once
// The desktop shell: finds files on the standard search path, opens a document or an address
// with the desktop's handler, starts programs, and watches the processes it started. The
// program goes through the installed shell; tests install one of their own.
#include <QString>
#include <QtGlobal>

constexpr int SW_SHOWNORMAL = 1;
constexpr unsigned SEE_MASK_NOCLOSEPROCESS = 0x40; // hand back the process handle
constexpr unsigned SEE_MASK_NO_ASYNC = 0x400;      // the call returns once the start is done
constexpr quint32 STILL_ACTIVE = 259;              // the exit code of a running process

// A watched process; 0 is none.
using ProcessHandle = int;

struct SHELLEXECUTEINFO {
    unsigned fMask = 0;
    quintptr hwnd = 0; // owner window, 0 for none
    QString lpVerb;
    QString lpFile;
    QString lpParameters;
    QString lpDirectory;
    int nShow = SW_SHOWNORMAL;
    ProcessHandle hProcess = 0; // out, with SEE_MASK_NOCLOSEPROCESS
};

class Shell {
  public:
    virtual ~Shell() = default;
    // Looks for an ordinary file named fileName (a name with a slash as it stands, others in
    // the program folder, the current folder and each folder of PATH); true with its absolute
    // path in retPath.
    virtual bool SearchPath(const QString& fileName, QString& retPath) = 0;
    // Opens info.lpFile (a bare name as the search finds it): an executable file is started
    // with info.lpParameters (split as StartProgram splits), a document or
    // an address ("scheme:...") goes to the desktop's handler. False when nothing was started.
    // With SEE_MASK_NOCLOSEPROCESS, info.hProcess watches what was started (0 when it is
    // already gone).
    virtual bool ShellExecuteEx(SHELLEXECUTEINFO& info) = 0;
    // Starts commandLine directly (the program and its arguments, double quotes around one
    // that holds spaces); true with its process id.
    virtual bool StartProgram(const QString& commandLine, qint64& retProcessId) = 0;
    // A handle that watches the process; 0 when there is no such process.
    virtual ProcessHandle OpenProcess(qint64 processId) = 0;
    // STILL_ACTIVE while the process runs; once it has ended, 0 (the code of a process that
    // is not our child is not known). False for an unusable handle.
    virtual bool GetExitCodeProcess(ProcessHandle process, quint32& retExitCode) = 0;
    virtual void CloseHandle(ProcessHandle process) = 0;
};

// The desktop's shell on Linux: xdg-open is the desktop's handler.
class DesktopShell : public Shell {
  public:
    bool SearchPath(const QString& fileName, QString& retPath) override;
    bool ShellExecuteEx(SHELLEXECUTEINFO& info) override;
    bool StartProgram(const QString& commandLine, qint64& retProcessId) override;
    ProcessHandle OpenProcess(qint64 processId) override;
    bool GetExitCodeProcess(ProcessHandle process, quint32& retExitCode) override;
    void CloseHandle(ProcessHandle process) override;
};

// True when target is an address ("https://...", "mailto:..."): a scheme of two or more
// letters and a colon, so that a drive-like "C:" is none.
bool IsShellAddress(const QString& target);

// The installed shell: the desktop's unless another was installed.
Shell* CurrentShell();
// Installs shell (nullptr: the desktop's again) and answers the one it replaces.
Shell* SetShell(Shell* shell);
