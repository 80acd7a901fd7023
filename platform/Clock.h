#pragma once
// The local date and time and a steady seconds clock, each replaceable by tests.
#include <QDateTime>
#include <functional>

QDateTime LocalNow();
using LocalClock = std::function<QDateTime()>;
// Installs clock (an empty one restores the system clock); answers the one it replaces.
LocalClock SetLocalClock(LocalClock clock);

// Seconds since an arbitrary start, never going back; deadlines are measured on it.
double SteadySeconds();
