#pragma once
// The message box handler of the running program: a modal window with the platform's icons,
// its text shown as plain text.

// Makes MsgBox show real windows from now on.
void InstallWindowedMsgBox();
