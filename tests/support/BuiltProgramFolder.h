#pragma once
// Points the program folder at the build's own while it lives, so that the shared libraries
// built there are the ones bound by name.
#include "platform/ProgramFolder.h"
#include "tests/support/ScopedHook.h"

class BuiltProgramFolder {
  public:
    BuiltProgramFolder() : installed(&SetProgramFolder, QStringLiteral(VISTREL_PROGRAM_DIR)) {}

  private:
    ScopedHook<QString> installed;
};
