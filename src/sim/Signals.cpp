#include "sim/Signals.h"

#include <array>

namespace sim {
namespace {

volatile std::sig_atomic_t stopFlag = 0;
sigset_t waitMask;
bool installed = false;
constexpr std::array kStopSignals{SIGINT, SIGTERM, SIGHUP};

void onStopSignal(int) {
    stopFlag = 1;
}

} // namespace

void installStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigset_t stopSet;
    sigemptyset(&stopSet);
    for (int sig : kStopSignals) {
        sigaction(sig, &action, nullptr);
        sigaddset(&stopSet, sig);
    }
    std::signal(SIGPIPE, SIG_IGN);
    sigprocmask(SIG_BLOCK, &stopSet, &waitMask);
    for (int sig : kStopSignals)
        sigdelset(&waitMask, sig);
    installed = true;
}

bool stopRequested() {
    return stopFlag != 0;
}

const sigset_t* waitSignalMask() {
    return installed ? &waitMask : nullptr;
}

} // namespace sim
