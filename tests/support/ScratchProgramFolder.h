#pragma once
// A program folder of the test's own, with options/ and temp/ in it, removed afterwards.
#include "tests/support/ScopedHook.h"

#include <QString>
#include <QTemporaryDir>

class ScratchProgramFolder {
  public:
    ScratchProgramFolder();
    ScratchProgramFolder(const ScratchProgramFolder&) = delete;
    ScratchProgramFolder& operator=(const ScratchProgramFolder&) = delete;

    QString Path() const { return dir.path(); }
    // The bytes of a file below the folder ("" when it is missing).
    QByteArray Read(const QString& relativePath) const;
    void Write(const QString& relativePath, const QByteArray& bytes) const;
    // Copies the shared libraries of the built program folder in, so that start-up finds
    // them here; false when one is missing.
    bool CopyBuiltLibraries() const;

  private:
    QTemporaryDir dir;
    ScopedHook<QString> installed;
};
