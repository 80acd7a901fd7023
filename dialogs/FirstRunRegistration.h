#pragma once
// Hands the settings loader the dialogs of a first run, so that the settings code never
// includes the dialogs.

// Registers the mail account dialog for a new account and then the response setting editor
// for a new setting as the first-run dialogs of LoadAllSettings, and installs the Gothic font
// substitutions the dialogs draw with. Call it once at start-up, before LoadAllSettings.
void RegisterFirstRunDialogs();
