#pragma once
// Timer scheduling.
//
// Every enabled timer with an Interval above 0 has a due time. Enabling a timer or setting its
// Interval starts a fresh period from now. `collectDue` only gathers the timers due at this
// moment, ordered by due time and then creation order; the Application then ticks them one by
// one, each only if it is still alive, enabled and due: a handler may stop, retime or destroy
// any timer, its own included, and that change holds for the rest of the batch. No handler
// ever runs inside the scheduler's own bookkeeping.
#include <cstdint>
#include <optional>
#include <vector>

#include "forms/Clock.h"
#include "forms/Timer.h"

namespace forms {

class Scheduler {
public:
    explicit Scheduler(const Clock& clock) : clock_(clock) {}

    int64_t now() const { return clock_.nowMs(); }
    void add(Timer& t);
    void remove(Timer& t);

    std::vector<Timer*> collectDue() const;
    // Right before a tick: false if the timer was stopped, destroyed or retimed meanwhile.
    // Otherwise moves its due time on by one period (once, even when the loop ran late).
    bool beginTick(Timer& t);
    std::optional<int64_t> nextDue() const;

private:
    const Clock& clock_;
    std::vector<Timer*> timers_;
    uint64_t nextOrder_ = 0;
};

}  // namespace forms
