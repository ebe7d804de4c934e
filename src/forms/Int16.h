#pragma once
// The game's whole numbers are 16-bit: a result outside -32768..32767 is a run-time error.
#include <concepts>
#include <cstdint>
#include <string>
#include <utility>

#include "forms/Errors.h"

namespace forms {

class Int16 {
public:
    constexpr Int16() = default;
    // From whole numbers only, checked: a floating-point value must be rounded on purpose.
    template <std::integral I>
    constexpr Int16(I v) : v_(narrow(v)) {}  // NOLINT: behaves like a number

    // Any wider value must go through here; it raises the overflow error when out of range.
    static Int16 checked(long long v) { return Int16(narrow(v)); }

    constexpr operator int16_t() const { return v_; }  // NOLINT
    constexpr int16_t value() const { return v_; }

    friend Int16 operator+(Int16 a, Int16 b) { return checked(static_cast<long long>(a.v_) + b.v_); }
    friend Int16 operator-(Int16 a, Int16 b) { return checked(static_cast<long long>(a.v_) - b.v_); }
    friend Int16 operator*(Int16 a, Int16 b) { return checked(static_cast<long long>(a.v_) * b.v_); }
    // Whole-number operands, so `Leben - 1` is not ambiguous with the built-in operators;
    // a floating-point operand takes the built-in ones and yields a floating-point result.
    template <std::integral I> friend Int16 operator+(Int16 a, I b) { return checked(static_cast<long long>(a.v_) + b); }
    template <std::integral I> friend Int16 operator-(Int16 a, I b) { return checked(static_cast<long long>(a.v_) - b); }
    template <std::integral I> friend Int16 operator*(Int16 a, I b) { return checked(static_cast<long long>(a.v_) * b); }
    template <std::integral I> friend Int16 operator+(I a, Int16 b) { return checked(a + static_cast<long long>(b.v_)); }
    template <std::integral I> friend Int16 operator-(I a, Int16 b) { return checked(a - static_cast<long long>(b.v_)); }
    template <std::integral I> friend Int16 operator*(I a, Int16 b) { return checked(a * static_cast<long long>(b.v_)); }
    Int16& operator+=(Int16 b) { return *this = *this + b; }
    Int16& operator-=(Int16 b) { return *this = *this - b; }
    Int16& operator*=(Int16 b) { return *this = *this * b; }

private:
    template <std::integral I>
    static constexpr int16_t narrow(I v) {
        if (std::cmp_less(v, INT16_MIN) || std::cmp_greater(v, INT16_MAX))
            throw RuntimeError("Überlauf: " + std::to_string(v) + " passt in keine 16-Bit-Zahl.");
        return static_cast<int16_t>(v);
    }

    int16_t v_ = 0;
};

// Booleans of the game are 16-bit numbers: -1 true, 0 false.
constexpr int16_t True = -1;
constexpr int16_t False = 0;

}  // namespace forms
