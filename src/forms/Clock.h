#pragma once
// The runtime never reads the OS clock itself: it is handed one of these.
#include <chrono>
#include <cstdint>

namespace forms {

class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t nowMs() const = 0;
};

class SteadyClock : public Clock {
public:
    int64_t nowMs() const override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
};

// For tests: time moves only when told to (Application::advance).
class ManualClock : public Clock {
public:
    int64_t nowMs() const override { return now_; }
    void set(int64_t ms) { now_ = ms; }

private:
    int64_t now_ = 0;
};

}  // namespace forms
