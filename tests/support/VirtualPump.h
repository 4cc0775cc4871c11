#pragma once
// A pump on a virtual clock: waiting runs the scheduled events in time order
// and jumps the clock, so time-outs of seconds cost nothing and never flake.
#include "core/Pump.h"

#include <algorithm>
#include <cstdint>
#include <map>

class VirtualPump : public Pump {
public:
    int64_t now = 0;

    bool waitUntil(const std::function<bool()>& cond, int timeoutMs) override {
        const int64_t deadline = now + std::max(timeoutMs, 0);
        while (!cond()) {
            if (events_.empty() || events_.begin()->first > deadline) {
                now = std::max(now, deadline); // a nested wait may have gone further
                return cond();
            }
            auto it = events_.begin();
            now = std::max(now, it->first);
            auto fn = std::move(it->second);
            events_.erase(it);
            fn();
        }
        return true;
    }

    void after(int64_t ms, std::function<void()> fn) { events_.emplace(now + ms, std::move(fn)); }
    bool idle() const { return events_.empty(); }

private:
    std::multimap<int64_t, std::function<void()>> events_;
};
