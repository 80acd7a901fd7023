#pragma once
// The event pump of the one GUI thread. Waits for the network sleep in short steps and pump
// between them, so the window stays live without spinning a core.

// Processes every pending event once (timers, socket events, repaints, input).
void DoEvents();

// Suspends the thread for ms milliseconds on the steady clock; no event is handled meanwhile.
void Sleep(int ms);

// Waits at most ms milliseconds on the steady clock for an event and handles what comes: the
// thread sleeps, but wakes as soon as a socket, a timer or the window has something.
void WaitForEvents(int ms);
