#pragma once
// Points the program folder at the build's own while it lives, so that the shared libraries
// built there are the ones bound by name.
#include "platform/ProgramFolder.h"

class BuiltProgramFolder {
  public:
    BuiltProgramFolder() { SetProgramFolder(QStringLiteral(VISTREL_PROGRAM_DIR)); }
    ~BuiltProgramFolder() { SetProgramFolder(QString()); }
    BuiltProgramFolder(const BuiltProgramFolder&) = delete;
    BuiltProgramFolder& operator=(const BuiltProgramFolder&) = delete;
};
