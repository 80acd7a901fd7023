#pragma once
// Start-up where nobody can answer a dialog (a run without a window): the first-run dialogs
// become log lines that name the file and the key at fault, and the run ends with ExitConfig
// instead of waiting for a person.
#include "settings/FirstRunDialogs.h"

class UnattendedFirstRun {
  public:
    // Registers itself as the first-run dialogs while it lives.
    UnattendedFirstRun();
    ~UnattendedFirstRun();
    UnattendedFirstRun(const UnattendedFirstRun&) = delete;
    UnattendedFirstRun& operator=(const UnattendedFirstRun&) = delete;

    // Whether start-up wanted a dialog: a missing or damaged setting.
    bool SettingMissing() const { return missing; }

  private:
    bool missing = false;
    NewMailAccountDialog previousAccountDialog;
    NewResponseSettingDialog previousResponseSettingDialog;
};
