#pragma once
// The scratch folder temp/ beside the program.

// Deletes the ordinary files of temp/ one by one; the first that cannot be deleted ends the
// cleanup quietly. The folder itself stays.
void ClearTempFolder();
