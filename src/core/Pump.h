#pragma once
// Waiting without spinning. The event-loop pump runs pending events (window
// repaints, the abort button, serial read notifications) while it waits, and
// sleeps in the event dispatcher between them.
#include <functional>

class Pump {
public:
    virtual ~Pump() = default;
    // Waits until cond() holds or timeoutMs have passed; returns cond().
    virtual bool waitUntil(const std::function<bool()>& cond, int timeoutMs) = 0;
    // Waits the given time, still running events.
    void sleep(int ms);
};

class EventPump : public Pump {
public:
    bool waitUntil(const std::function<bool()>& cond, int timeoutMs) override;
};

// The process-wide pump (an EventPump unless a test installs another).
Pump& defaultPump();
void setDefaultPump(Pump* pump);
