#include "core/Pump.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

void Pump::sleep(int ms) {
    waitUntil([] { return false; }, ms);
}

bool EventPump::waitUntil(const std::function<bool()>& cond, int timeoutMs) {
    if (cond())
        return true;
    QDeadlineTimer deadline(timeoutMs < 0 ? 0 : timeoutMs);
    // A timer event wakes the dispatcher at the deadline when nothing else does.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    while (!cond()) {
        if (deadline.hasExpired())
            return cond();
        if (!wake.isActive())
            wake.start(static_cast<int>(deadline.remainingTime()));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

namespace {
Pump* installedPump = nullptr;
}

Pump& defaultPump() {
    static EventPump eventPump;
    return installedPump ? *installedPump : eventPump;
}

void setDefaultPump(Pump* pump) {
    installedPump = pump;
}
