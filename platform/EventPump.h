#pragma once
// The event pump of the one GUI thread. Waits for the network sleep in short steps and pump
// between them, so the window stays live without spinning a core.

// Processes every pending event once (timers, socket events, repaints, input).
void DoEvents();

// Suspends the thread for ms milliseconds on the steady clock; no event is handled meanwhile.
void Sleep(int ms);
