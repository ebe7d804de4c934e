#include "platform/Random.h"

#include <chrono>
#include <random>

namespace platform {

namespace {

uint64_t splitmix64(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint64_t clockReading() {
    return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
}

// xoshiro128**: small, fast and statistically sound for a game; 32 bits per step.
class ProcessRandom final : public RandomSource {
public:
    ProcessRandom() {
        std::random_device device;
        uint64_t seed = clockReading() ^ (uint64_t(device()) << 32 | device());
        for (uint32_t& word : state_) word = uint32_t(splitmix64(seed));
        fixZeroState();
    }

    float next() override {
        // The top 24 bits fill a float's mantissa exactly: the largest value is 1 - 2^-24.
        return float(step() >> 8) * (1.0f / 16777216.0f);
    }

    void reseedFromClock() override {
        // Xor-ing into the running state keeps the sequence going, so two re-seeds within the
        // same clock reading still lead to different values; the counter keeps two re-seeds
        // without a draw between them from cancelling out.
        uint64_t mix = clockReading() ^ (++reseeds_ * 0xD1B54A32D192ED03ull);
        const uint64_t a = splitmix64(mix), b = splitmix64(mix);
        state_[0] ^= uint32_t(a);
        state_[1] ^= uint32_t(a >> 32);
        state_[2] ^= uint32_t(b);
        state_[3] ^= uint32_t(b >> 32);
        fixZeroState();
    }

private:
    static uint32_t rotl(uint32_t x, int k) { return (x << k) | (x >> (32 - k)); }

    uint32_t step() {
        const uint32_t result = rotl(state_[1] * 5, 7) * 9;
        const uint32_t t = state_[1] << 9;
        state_[2] ^= state_[0];
        state_[3] ^= state_[1];
        state_[1] ^= state_[2];
        state_[0] ^= state_[3];
        state_[2] ^= t;
        state_[3] = rotl(state_[3], 11);
        return result;
    }

    // The all-zero state would yield zeros for ever.
    void fixZeroState() {
        if ((state_[0] | state_[1] | state_[2] | state_[3]) == 0) state_[0] = 0x9E3779B9u;
    }

    uint32_t state_[4] = {};
    uint64_t reseeds_ = 0;
};

}  // namespace

RandomSource& processRandom() {
    static ProcessRandom source;
    return source;
}

}  // namespace platform
