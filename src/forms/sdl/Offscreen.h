#pragma once
// Drawing a form into memory exactly as its window shows it, with the same painting code and a
// software renderer. Needs no display and no SDL_Init: for tests and benchmarks.
#include <SDL.h>

#include <memory>
#include <string>

namespace forms {

class Form;

namespace sdl {
class Fonts;
class Painter;
}  // namespace sdl

// A new RGB888 surface of the form's inner size in pixels times `scale` (as on a screen of that
// scale factor); the caller frees it (SDL_FreeSurface). nullptr if SDL cannot make one.
SDL_Surface* renderOffscreen(const Form& form, const std::string& fontFolder, float scale = 1);

// For drawing many frames: keeps fonts and textures from frame to frame, as a window does.
class OffscreenRenderer {
public:
    explicit OffscreenRenderer(const std::string& fontFolder);
    ~OffscreenRenderer();
    OffscreenRenderer(const OffscreenRenderer&) = delete;
    OffscreenRenderer& operator=(const OffscreenRenderer&) = delete;

    // Draws `form`. The surface belongs to this object and stays valid until the next call.
    SDL_Surface* render(const Form& form, float scale = 1);

private:
    void reset();

    std::unique_ptr<sdl::Fonts> fonts_;
    SDL_Surface* surface_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    std::unique_ptr<sdl::Painter> painter_;
};

}  // namespace forms
