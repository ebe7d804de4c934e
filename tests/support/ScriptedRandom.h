#pragma once
// A random source for tests: hands out the values it was given, in order, then `fallback`, or,
// once seeded, the numbers of its own generator. std::mt19937 and our own float from its top 24
// bits give the same numbers with every standard library, on Linux and Windows alike.
#include <deque>
#include <optional>
#include <random>

#include "platform/Random.h"

class ScriptedRandom : public platform::RandomSource {
public:
    void push(float r) { values_.push_back(r); }
    // The draw r that makes Zufallszahl(min, max) return `result`.
    void pushResult(double min, double max, double result) {
        push(static_cast<float>((result - min + 0.5) / (max - min + 1)));
    }
    void seed(uint32_t s) { generator_.emplace(s); }
    float fallback = 0.5f;
    int reseeds = 0;
    size_t left() const { return values_.size(); }

    float next() override {
        if (values_.empty()) return generator_ ? float(uint32_t((*generator_)()) >> 8) * (1.0f / 16777216.0f) : fallback;
        const float r = values_.front();
        values_.pop_front();
        return r;
    }
    void reseedFromClock() override { ++reseeds; }

private:
    std::deque<float> values_;
    std::optional<std::mt19937> generator_;
};
