#include "forms/Scheduler.h"

#include <algorithm>
#include <utility>

namespace forms {

void Timer::Enabled(bool on) {
    if (on == enabled_) return;  // switching on a running timer keeps its rhythm
    enabled_ = on;
    restartPeriod();
}

void Timer::Interval(int32_t ms) {
    interval_ = ms;
    restartPeriod();
}

void Timer::restartPeriod() {
    if (!scheduler_) return;
    due_ = scheduler_->now() + interval_;
    scheduler_->update(*this);
}

static bool ticking(const Timer& t) { return t.alive() && t.Enabled() && t.Interval() > 0; }

void Scheduler::update(Timer& t) {
    if (!ticking(t)) {
        drop(t);
        t.owed_ = false;
    } else if (t.slot_ < 0) {
        t.slot_ = static_cast<int32_t>(ticking_.size());
        ticking_.push_back({t.due_, t.order_, &t});
    } else {
        ticking_[static_cast<size_t>(t.slot_)].due = t.due_;
    }
}

void Scheduler::drop(Timer& t) {
    if (t.slot_ < 0) return;
    const auto at = static_cast<size_t>(t.slot_);
    ticking_[at] = ticking_.back();
    ticking_[at].timer->slot_ = t.slot_;
    ticking_.pop_back();
    t.slot_ = -1;
}

void Scheduler::add(Timer& t) {
    t.scheduler_ = this;
    t.order_ = nextOrder_++;
    t.slot_ = -1;  // a copy made for a control array carries its original's place
    t.owed_ = false;
    t.restartPeriod();
}

void Scheduler::remove(Timer& t) {
    drop(t);
    t.owed_ = false;
    t.scheduler_ = nullptr;
}

void Scheduler::collectDue(std::vector<Timer*>& due) {
    const int64_t now = clock_.nowMs();
    due.clear();
    for (const Slot& s : ticking_) {
        if (s.due > now) continue;
        due.push_back(s.timer);
        s.timer->owed_ = true;
    }
    std::sort(due.begin(), due.end(), [](const Timer* a, const Timer* b) {
        return a->due_ != b->due_ ? a->due_ < b->due_ : a->order_ < b->order_;
    });
}

bool Scheduler::beginTick(Timer& t) {
    if (!std::exchange(t.owed_, false) || !ticking(t) || t.scheduler_ != this) return false;
    const int64_t now = clock_.nowMs();
    // Retimed by an earlier handler of this batch: the tick still comes, the new period stands.
    if (t.due_ > now) return true;
    ++lateness_.counts[std::min<size_t>(static_cast<size_t>(now - t.due_), lateness_.counts.size() - 1)];
    t.due_ += t.interval_;
    if (t.due_ <= now) t.due_ = now + t.interval_;  // late: one tick, not a burst
    update(t);
    return true;
}

std::optional<int64_t> Scheduler::nextDue() const {
    if (ticking_.empty()) return std::nullopt;
    int64_t next = ticking_.front().due;
    for (const Slot& s : ticking_) next = std::min(next, s.due);
    return next;
}

uint64_t Lateness::total() const {
    uint64_t n = 0;
    for (uint64_t c : counts) n += c;
    return n;
}

int64_t Lateness::percentile(double share) const {
    const uint64_t all = total();
    uint64_t seen = 0;
    for (size_t ms = 0; ms < counts.size(); ++ms) {
        seen += counts[ms];
        if (all > 0 && static_cast<double>(seen) >= share * static_cast<double>(all)) return static_cast<int64_t>(ms);
    }
    return 0;
}

}  // namespace forms
