#include "forms/Scheduler.h"

#include <algorithm>

namespace forms {

void Timer::Enabled(bool on) {
    if (on == enabled_ && !on) return;
    enabled_ = on;
    restartPeriod();
}

void Timer::Interval(int32_t ms) {
    interval_ = ms;
    restartPeriod();
}

void Timer::restartPeriod() {
    if (scheduler_) due_ = scheduler_->now() + interval_;
}

static bool ticking(const Timer& t) { return t.alive() && t.Enabled() && t.Interval() > 0; }

void Scheduler::add(Timer& t) {
    t.scheduler_ = this;
    t.order_ = nextOrder_++;
    t.restartPeriod();
    timers_.push_back(&t);
}

void Scheduler::remove(Timer& t) {
    std::erase(timers_, &t);
    t.scheduler_ = nullptr;
}

std::vector<Timer*> Scheduler::collectDue() const {
    const int64_t now = clock_.nowMs();
    std::vector<Timer*> due;
    for (Timer* t : timers_)
        if (ticking(*t) && t->due_ <= now) due.push_back(t);
    std::sort(due.begin(), due.end(), [](const Timer* a, const Timer* b) {
        return a->due_ != b->due_ ? a->due_ < b->due_ : a->order_ < b->order_;
    });
    return due;
}

bool Scheduler::beginTick(Timer& t) {
    const int64_t now = clock_.nowMs();
    if (!ticking(t) || t.scheduler_ != this || t.due_ > now) return false;
    t.due_ += t.interval_;
    if (t.due_ <= now) t.due_ = now + t.interval_;  // late: one tick, not a burst
    return true;
}

std::optional<int64_t> Scheduler::nextDue() const {
    std::optional<int64_t> next;
    for (const Timer* t : timers_)
        if (ticking(*t) && (!next || t->due_ < *next)) next = t->due_;
    return next;
}

}  // namespace forms
