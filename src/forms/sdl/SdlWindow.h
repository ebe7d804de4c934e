#pragma once
// One form's SDL window; private to the backend (SdlBackend.cpp and SdlInput.cpp).
#include <SDL.h>

#include <array>
#include <memory>
#include <string>

#include "forms/Form.h"
#include "forms/sdl/SdlBackend.h"
#include "forms/sdl/SdlDraw.h"

namespace forms {

struct SdlBackend::Window {
    Form* form = nullptr;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::unique_ptr<sdl::Painter> painter;
    uint32_t id = 0;
    // What the window shows now, so a change of the form touches only what differs.
    int width = 0, height = 0;  // inner size in window coordinates
    std::string caption;
    forms::BorderStyle border = forms::BorderStyle::Sizable;
    const Picture* icon = nullptr;
    bool shown = false;
    bool unloaded = false;  // the form was unloaded; closed unless it is loaded again

    ~Window() {
        painter.reset();
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
    }

    float dpiScale = 1;  // window pixels per design pixel (1/96 inch): above 1 on a high-density screen
    std::array<int, 3> fittedTo{-1, 0, 0};  // the display and the frame's width and height it was chosen for

    // Output pixels per window coordinate: above 1 where SDL itself scales (Wayland, macOS).
    float drawableRatio() const {
        int ww = 0, wh = 0, ow = 0, oh = 0;
        SDL_GetWindowSize(window, &ww, &wh);
        SDL_GetRendererOutputSize(renderer, &ow, &oh);
        return ww > 0 && ow > 0 ? float(ow) / float(ww) : 1.0f;
    }
    // Output pixels per design pixel: what drawing and hit testing scale by.
    float scale() const { return dpiScale * drawableRatio(); }
    // Window coordinates per unit of the form.
    float pixelsPerUnit() const { return form->pixelsPerUnit() * dpiScale; }
};

}  // namespace forms
