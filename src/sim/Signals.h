#pragma once
// SIGINT, SIGTERM and SIGHUP end the simulator cleanly. They stay blocked except
// inside the waits of Link, which unblock them atomically (ppoll), so a stop is
// never lost between a check and a wait.
#include <csignal>

namespace sim {

void installStopSignals();
bool stopRequested();
// The mask to wait with, or nullptr when installStopSignals was not called.
const sigset_t* waitSignalMask();

} // namespace sim
