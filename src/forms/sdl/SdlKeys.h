#pragma once
// SDL keys as the forms know them: Windows virtual-key codes.
#include <SDL.h>

#include <cstdint>

namespace forms::sdl {

// Every key has a code, used by the game or not, so that any key pressed ends the repeat of
// the one before; keys without a code of their own share 255. The numpad's keys are arrows,
// Home, End and so on while NumLock is off, and digits while it is on.
int16_t virtualKey(const SDL_Keysym& key);

}  // namespace forms::sdl
