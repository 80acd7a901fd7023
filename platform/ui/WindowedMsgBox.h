#pragma once
// The message box handler of the running program: a modal window with the platform's icons.

// Makes MsgBox show real windows from now on.
void InstallWindowedMsgBox();
