#pragma once
// The game's whole numbers are 16-bit: a result outside -32768..32767 is a run-time error.
#include <cstdint>
#include <string>

#include "forms/Errors.h"

namespace forms {

class Int16 {
public:
    constexpr Int16() = default;
    constexpr Int16(int16_t v) : v_(v) {}  // NOLINT: behaves like a number

    // Any wider value must go through here; it raises the overflow error when out of range.
    static Int16 checked(long long v) {
        if (v < INT16_MIN || v > INT16_MAX) throw RuntimeError("Überlauf: " + std::to_string(v) + " passt in keine 16-Bit-Zahl.");
        return Int16(static_cast<int16_t>(v));
    }

    constexpr operator int16_t() const { return v_; }  // NOLINT
    constexpr int16_t value() const { return v_; }

    friend Int16 operator+(Int16 a, Int16 b) { return checked(static_cast<long long>(a.v_) + b.v_); }
    friend Int16 operator-(Int16 a, Int16 b) { return checked(static_cast<long long>(a.v_) - b.v_); }
    friend Int16 operator*(Int16 a, Int16 b) { return checked(static_cast<long long>(a.v_) * b.v_); }
    // Plain int operands, so `Leben - 1` is not ambiguous with the built-in operators.
    friend Int16 operator+(Int16 a, int b) { return checked(static_cast<long long>(a.v_) + b); }
    friend Int16 operator-(Int16 a, int b) { return checked(static_cast<long long>(a.v_) - b); }
    friend Int16 operator*(Int16 a, int b) { return checked(static_cast<long long>(a.v_) * b); }
    friend Int16 operator+(int a, Int16 b) { return checked(a + static_cast<long long>(b.v_)); }
    friend Int16 operator-(int a, Int16 b) { return checked(a - static_cast<long long>(b.v_)); }
    friend Int16 operator*(int a, Int16 b) { return checked(a * static_cast<long long>(b.v_)); }
    Int16& operator+=(Int16 b) { return *this = *this + b; }
    Int16& operator-=(Int16 b) { return *this = *this - b; }
    Int16& operator*=(Int16 b) { return *this = *this * b; }

private:
    int16_t v_ = 0;
};

// Booleans of the game are 16-bit numbers: -1 true, 0 false.
constexpr int16_t True = -1;
constexpr int16_t False = 0;

}  // namespace forms
