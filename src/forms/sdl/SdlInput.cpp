// All SDL input of the backend, translated in one switch.
#include <SDL.h>

#include <cmath>
#include <vector>

#include "forms/Application.h"
#include "forms/CommandButton.h"
#include "forms/sdl/SdlBackend.h"
#include "forms/sdl/SdlLayout.h"
#include "forms/sdl/SdlWindow.h"

namespace forms {

namespace {

// Virtual-key codes of the keys the forms know; 0 for any other key.
int16_t virtualKey(SDL_Keycode sym) {
    if (sym >= SDLK_a && sym <= SDLK_z) return static_cast<int16_t>('A' + (sym - SDLK_a));
    if (sym >= SDLK_0 && sym <= SDLK_9) return static_cast<int16_t>('0' + (sym - SDLK_0));
    switch (sym) {
        case SDLK_ESCAPE: return 27;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return 13;
        case SDLK_SPACE: return 32;
        case SDLK_LEFT: return 37;
        case SDLK_UP: return 38;
        case SDLK_RIGHT: return 39;
        case SDLK_DOWN: return 40;
        default: return 0;
    }
}

// The forms' shift argument: 1 Shift, 2 Ctrl, 4 Alt.
int16_t shiftState(Uint16 mod) {
    return static_cast<int16_t>(((mod & KMOD_SHIFT) ? 1 : 0) | ((mod & KMOD_CTRL) ? 2 : 0) | ((mod & KMOD_ALT) ? 4 : 0));
}

}  // namespace

CommandButton* SdlBackend::buttonAt(const Window& w, int x, int y) const {
    SDL_Rect output{0, 0, 0, 0};
    SDL_GetRendererOutputSize(w.renderer, &output.w, &output.h);
    const float ratio = w.drawableRatio();
    std::vector<sdl::Placed> placed;
    sdl::layOut(*w.form, w.scale(), output, placed);
    return sdl::buttonAt(placed, static_cast<int>(std::lround(x * ratio)), static_cast<int>(std::lround(y * ratio)));
}

// Every call into `app` may run a handler that closes windows: nothing of a Window is used after it.
void SdlBackend::handleEvent(Application& app, const SDL_Event& e) {
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            // The runtime makes its own repeats, the same on every system.
            if (e.key.repeat) return;
            const Window* w = find(e.key.windowID);
            const int16_t key = virtualKey(e.key.keysym.sym);
            if (!w || !key) return;
            if (e.type == SDL_KEYDOWN)
                app.keyDown(*w->form, key, shiftState(e.key.keysym.mod));
            else
                app.keyUp(*w->form, key, shiftState(e.key.keysym.mod));
            return;
        }
        case SDL_MOUSEBUTTONDOWN: {
            const Window* w = find(e.button.windowID);
            if (e.button.button != SDL_BUTTON_LEFT || !w) return;
            pressed_ = buttonAt(*w, e.button.x, e.button.y);
            pressedForm_ = pressed_ ? w->form : nullptr;
            pressedInside_ = pressed_ != nullptr;
            if (pressed_) app.invalidate();
            return;
        }
        case SDL_MOUSEMOTION: {
            const Window* w = find(e.motion.windowID);
            if (!pressed_ || !w || w->form != pressedForm_) return;
            const bool inside = buttonAt(*w, e.motion.x, e.motion.y) == pressed_;
            if (inside != pressedInside_) {
                pressedInside_ = inside;
                app.invalidate();
            }
            return;
        }
        case SDL_MOUSEBUTTONUP: {
            const Window* w = find(e.button.windowID);
            if (e.button.button != SDL_BUTTON_LEFT || !pressed_) return;
            CommandButton* button = pressed_;
            const bool released = w && w->form == pressedForm_ && buttonAt(*w, e.button.x, e.button.y) == button;
            pressed_ = nullptr, pressedForm_ = nullptr, pressedInside_ = false;
            app.invalidate();
            if (released) app.click(*button);
            return;
        }
        case SDL_WINDOWEVENT: {
            Window* w = find(e.window.windowID);
            if (!w) return;
            switch (e.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    app.closeRequested(*w->form);
                    return;
                case SDL_WINDOWEVENT_SIZE_CHANGED: {
                    w->width = e.window.data1;
                    w->height = e.window.data2;
                    Form& form = *w->form;
                    app.invalidate();
                    app.resized(form, e.window.data1 / w->pixelsPerUnit(), e.window.data2 / w->pixelsPerUnit());
                    return;
                }
                case SDL_WINDOWEVENT_SHOWN:
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_RESTORED:
                    app.invalidate();
                    return;
                default:
                    return;
            }
        }
        case SDL_RENDER_DEVICE_RESET:
            for (auto& w : windows_) w->painter->dropTextures();
            app.invalidate();
            return;
        case SDL_RENDER_TARGETS_RESET:
            app.invalidate();
            return;
        case SDL_QUIT: {
            // The session asks the program to end: as if every window had been closed.
            std::vector<Form*> open;
            for (auto& w : windows_) open.push_back(w->form);
            for (Form* f : open)
                if (find(*f)) app.closeRequested(*f);
            return;
        }
        default:
            return;
    }
}

}  // namespace forms
