#pragma once
// A TCP port on 127.0.0.1 that nothing listens on right now (0 when none could be found).
int FreeLoopbackPort();
