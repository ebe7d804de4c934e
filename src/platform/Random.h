#pragma once
#include <cstdint>

namespace platform {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // The next value, uniform in [0, 1) (steps of 2^-24 for the process's own source).
    virtual float next() = 0;
    // Folds a clock reading into the running state; never restarts the sequence, so draws
    // within one clock reading still differ.
    virtual void reseedFromClock() = 0;
};

// The one source of the process.
RandomSource& processRandom();

}  // namespace platform
