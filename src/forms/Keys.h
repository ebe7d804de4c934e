#pragma once
// Virtual-key codes the game listens to.
#include <cstdint>

namespace forms::Key {
constexpr int16_t Escape = 27;
constexpr int16_t Left = 37;
constexpr int16_t Up = 38;
constexpr int16_t Right = 39;
constexpr int16_t Down = 40;
}  // namespace forms::Key
