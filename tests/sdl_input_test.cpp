// Keys as the SDL backend hands them to the windows.
#include <gtest/gtest.h>

#include <tuple>

#include "forms/sdl/SdlKeys.h"

namespace {

TEST(SdlKeys, KeysHaveTheirVirtualKeyCodesTheNumpadArrowsWithoutNumLockToo) {
    const std::tuple<SDL_Scancode, SDL_Keycode, Uint16, int16_t> fälle[] = {
        {SDL_SCANCODE_LEFT, SDLK_LEFT, KMOD_NONE, 37},
        {SDL_SCANCODE_DOWN, SDLK_DOWN, KMOD_NUM, 40},
        {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, KMOD_NONE, 27},
        {SDL_SCANCODE_KP_4, SDLK_KP_4, KMOD_NONE, 37},
        {SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_NONE, 38},
        {SDL_SCANCODE_KP_6, SDLK_KP_6, KMOD_NONE, 39},
        {SDL_SCANCODE_KP_2, SDLK_KP_2, KMOD_NONE, 40},
        {SDL_SCANCODE_KP_4, SDLK_KP_4, KMOD_NUM, 100},  // with NumLock a digit
        {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_LSHIFT, 16},
        {SDL_SCANCODE_F1, SDLK_F1, KMOD_NONE, 112},
        {SDL_SCANCODE_F12, SDLK_F12, KMOD_NONE, 123},
        {SDL_SCANCODE_APOSTROPHE, 0xE4, KMOD_NONE, 255},  // "ä": a key without a code of its own
    };
    for (const auto& [scancode, sym, mod, code] : fälle) {
        const SDL_Keysym key{scancode, sym, mod, 0};
        EXPECT_EQ(forms::sdl::virtualKey(key), code) << SDL_GetScancodeName(scancode) << " mod " << mod;
    }
}

}  // namespace
