#pragma once
// Timer scheduling.
//
// Every enabled timer with an Interval above 0 has a due time. Switching a timer on, or setting
// its Interval, starts a fresh period from now; switching on a timer that runs changes nothing.
// `collectDue` only gathers the timers due at this moment, ordered by due time and then creation
// order; the Application then ticks them one by one. Every tick gathered is delivered, even when
// an earlier handler of the batch retimed that timer (its new period then stands); a timer that
// an earlier handler stopped or destroyed, even if switched on again since, does not tick. No
// handler ever runs inside the scheduler's own bookkeeping.
//
// Only the timers that can tick at all (alive, enabled, Interval above 0) are kept in a compact
// list with their due times, updated whenever one of those properties changes, so the search
// for due timers runs over a few small records instead of every timer of every window.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "forms/Clock.h"
#include "forms/Timer.h"

namespace forms {

// How late ticks ran: counts per whole millisecond past the due time, the last bucket holding
// everything later. Read by measuring programs; the runtime itself never looks at it.
struct Lateness {
    std::array<uint64_t, 64> counts{};
    uint64_t total() const;
    // The smallest lateness in ms that at least `share` (0..1) of the ticks kept to.
    int64_t percentile(double share) const;
};

class Scheduler {
public:
    explicit Scheduler(const Clock& clock) : clock_(clock) {}

    int64_t now() const { return clock_.nowMs(); }
    void add(Timer& t);
    void remove(Timer& t);

    // Fills `due` (emptied first; its storage is reused from batch to batch) and marks each
    // gathered timer as owed its tick.
    void collectDue(std::vector<Timer*>& due);
    // Right before a tick: false if the timer was stopped or destroyed since it was gathered.
    // Otherwise moves its due time on by one period (once, even when the loop ran late), unless
    // a retime meanwhile has already set it.
    bool beginTick(Timer& t);
    std::optional<int64_t> nextDue() const;
    void shrinkToFit() { ticking_.shrink_to_fit(); }

    const Lateness& lateness() const { return lateness_; }
    void resetLateness() { lateness_ = {}; }

private:
    friend class Timer;
    struct Slot {
        int64_t due;
        uint64_t order;
        Timer* timer;
    };
    // After any change of the timer's due time, Enabled, Interval or life.
    void update(Timer& t);
    void drop(Timer& t);

    const Clock& clock_;
    std::vector<Slot> ticking_;
    uint64_t nextOrder_ = 0;
    Lateness lateness_;
};

}  // namespace forms
