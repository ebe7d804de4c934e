#include "forms/sdl/Offscreen.h"

#include <cmath>

#include "forms/Form.h"
#include "forms/sdl/SdlDraw.h"
#include "forms/sdl/SdlText.h"

namespace forms {

OffscreenRenderer::OffscreenRenderer(const std::string& fontFolder) : fonts_(std::make_unique<sdl::Fonts>(fontFolder)) {}

OffscreenRenderer::~OffscreenRenderer() {
    reset();
    fonts_.reset();
}

void OffscreenRenderer::reset() {
    painter_.reset();
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (surface_) SDL_FreeSurface(surface_);
    renderer_ = nullptr;
    surface_ = nullptr;
}

SDL_Surface* OffscreenRenderer::render(const Form& form, float scale) {
    const int w = std::max(1, static_cast<int>(std::lround(form.ScaleWidth() * form.pixelsPerUnit() * scale)));
    const int h = std::max(1, static_cast<int>(std::lround(form.ScaleHeight() * form.pixelsPerUnit() * scale)));
    if (!surface_ || surface_->w != w || surface_->h != h) {
        reset();
        // RGB888, not RGBA: blending onto a surface with alpha would leave alpha below 255.
        surface_ = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888);
        if (surface_) renderer_ = SDL_CreateSoftwareRenderer(surface_);
        if (!renderer_) {
            reset();
            return nullptr;
        }
        painter_ = std::make_unique<sdl::Painter>(renderer_, *fonts_);
    }
    painter_->paint(form, scale, nullptr);
    SDL_RenderPresent(renderer_);
    return surface_;
}

SDL_Surface* renderOffscreen(const Form& form, const std::string& fontFolder, float scale) {
    OffscreenRenderer renderer(fontFolder);
    SDL_Surface* frame = renderer.render(form, scale);
    return frame ? SDL_DuplicateSurface(frame) : nullptr;
}

}  // namespace forms
