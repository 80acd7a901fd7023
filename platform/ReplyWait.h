#pragma once
// The one wait of the protocol clients: a reply test polled between short sleeps while the
// GUI thread pumps events, ended by a deadline on the steady clock, by a cancel, or when the
// connection is gone. Each client brings its own reply test and its own connection test.
#include <functional>

class ReplyWait {
  public:
    // Polls ready() until it answers true (result true). Between two polls it waits up to
    // LoopWaitMS for events (WaitForEvents: what arrives ends the wait at once), gives up
    // when stillOn() answers false (answering ready() once more, for a reply that came with
    // the close), when bCancel is set or when TimeoutSecond seconds have passed since the
    // call (result false), and otherwise pumps events once. bCancel is left as it is: when
    // it is cleared is the client's rule.
    bool Until(const std::function<bool()>& ready, const std::function<bool()>& stillOn);
    // Sleeps LoopWaitMS milliseconds when that is at least 1; no event is handled meanwhile.
    void Wait() const;

    float TimeoutSecond = 10; // longest time one wait may take
    int LoopWaitMS = 10;      // sleep between two polls; 0 or less: no sleep
    bool bCancel = false;     // ends the current wait at its next poll

  private:
    double sngDeadline = 0; // end of the current wait, on the steady seconds clock
};
