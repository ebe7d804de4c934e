#pragma once
// A timer ticks every Interval milliseconds while enabled. Switching it on, or setting its
// Interval, starts a fresh period; switching on a running timer changes nothing; an Interval
// of 0 never ticks. See Scheduler.h.
#include <cstdint>
#include <functional>

#include "forms/Control.h"

namespace forms {

class Scheduler;

class Timer : public ControlOf<Timer> {
public:
    ControlKind kind() const override { return ControlKind::Timer; }

    bool Enabled() const { return enabled_; }
    void Enabled(bool on);
    int32_t Interval() const { return interval_; }
    void Interval(int32_t ms);

    // Runs on every tick; receives the timer's Index (-1 outside an array).
    std::function<void(int16_t)> Tick;

private:
    friend class Scheduler;
    friend class Form;
    void restartPeriod();

    bool enabled_ = false;
    int32_t interval_ = 0;
    Scheduler* scheduler_ = nullptr;
    int64_t due_ = 0;
    uint64_t order_ = 0;  // creation order, breaks ties between timers due at the same time
    int32_t slot_ = -1;   // place in the scheduler's list of timers that can tick, -1: not there
    bool owed_ = false;   // gathered as due, not yet ticked, not stopped since
};

}  // namespace forms
