#pragma once
// A random source for tests: hands out the values it was given, in order, then `fallback`.
#include <deque>

#include "platform/Random.h"

class ScriptedRandom : public platform::RandomSource {
public:
    void push(float r) { values_.push_back(r); }
    // The draw r that makes Zufallszahl(min, max) return `result`.
    void pushResult(double min, double max, double result) {
        push(static_cast<float>((result - min + 0.5) / (max - min + 1)));
    }
    float fallback = 0.5f;
    int reseeds = 0;
    size_t left() const { return values_.size(); }

    float next() override {
        if (values_.empty()) return fallback;
        const float r = values_.front();
        values_.pop_front();
        return r;
    }
    void reseedFromClock() override { ++reseeds; }

private:
    std::deque<float> values_;
};
