#pragma once
// The program's own version, with a decimal comma as the update server writes it.

namespace game {

inline constexpr const char* Programmversion = "1,260";

}  // namespace game
