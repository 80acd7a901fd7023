#pragma once
// A desktop shell that searches files for real but starts nothing: it records what it was
// asked to open or start, and answers as told. Installed while it lives.
#include "platform/Shell.h"

#include <QStringList>
#include <vector>

class RecordingShell : public DesktopShell {
  public:
    RecordingShell() : previous(SetShell(this)) {}
    ~RecordingShell() override { SetShell(previous); }
    RecordingShell(const RecordingShell&) = delete;
    RecordingShell& operator=(const RecordingShell&) = delete;

    bool ShellExecuteEx(SHELLEXECUTEINFO& info) override {
        executed.push_back(info);
        return executeAnswer;
    }
    bool StartProgram(const QString& commandLine, qint64& retProcessId) override {
        started.append(commandLine);
        retProcessId = 0;
        return startAnswer;
    }

    std::vector<SHELLEXECUTEINFO> executed;
    QStringList started;
    bool executeAnswer = true;
    bool startAnswer = false;

  private:
    Shell* previous;
};
