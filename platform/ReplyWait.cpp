#include "platform/ReplyWait.h"

#include "platform/Clock.h"
#include "platform/EventPump.h"

#include <algorithm>

bool ReplyWait::Until(const std::function<bool()>& ready, const std::function<bool()>& stillOn) {
    // A time-out of zero or less still allows one look, never an old deadline.
    sngDeadline = SteadySeconds() + std::max(0.0, static_cast<double>(TimeoutSecond));
    while (!ready()) {
        WaitForEvents(LoopWaitMS);
        // The events that ended the connection may have brought the reply before it.
        if (!stillOn())
            return ready();
        if (bCancel)
            return false;
        if (SteadySeconds() >= sngDeadline)
            return false;
        DoEvents();
    }
    return true;
}

void ReplyWait::Wait() const {
    Sleep(LoopWaitMS);
}
