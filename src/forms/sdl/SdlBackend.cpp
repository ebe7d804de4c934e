#include "forms/sdl/SdlBackend.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "forms/Application.h"
#include "forms/CommandButton.h"
#include "forms/Errors.h"
#include "forms/sdl/SdlScale.h"
#include "forms/sdl/SdlText.h"
#include "forms/sdl/SdlWindow.h"

namespace forms {

namespace {

int windowPixels(float units, float pixelsPerUnit) { return std::max(1, static_cast<int>(std::lround(units * pixelsPerUnit))); }

}  // namespace

SDL_Renderer* SdlBackend::makeRenderer(SDL_Window* window) {
    SDL_Renderer* r = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    return r ? r : SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

SdlBackend::SdlBackend(std::string fontFolder) {
    // Ctrl+C and SIGTERM end the program as usual instead of becoming a quit event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Closing a window is the form's business (closeRequested), not a quit of the whole program.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // The first click on an inactive window still presses the button under it.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetMainReady();  // main() is the program's own, not SDL's (Windows would refuse to start)
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) throw std::runtime_error(std::string("SDL video: ") + SDL_GetError());
    SDL_StopTextInput();  // keys only; no input method composing text
    // Gamepads are welcome but not needed: without them the game plays as before.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) std::fprintf(stderr, "Kreiselsturm: gamepads: %s\n", SDL_GetError());
    fonts_ = std::make_unique<sdl::Fonts>(fontFolder);
    hints_ = sdl::sessionScaleHints();
}

SdlBackend::~SdlBackend() {
    closePads();
    windows_.clear();
    fonts_.reset();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

SdlBackend::Window* SdlBackend::find(const Form& form) const {
    for (auto& w : windows_)
        if (w->form == &form) return w.get();
    return nullptr;
}

SdlBackend::Window* SdlBackend::find(uint32_t windowId) const {
    for (auto& w : windows_)
        if (w->id == windowId) return w.get();
    return nullptr;
}

void SdlBackend::formChanged(Form& form) {
    if (Window* w = find(form)) {
        // An unloaded window waits for the end of the handler: a reload shows it again.
        if (w->unloaded && !(form.loaded() && form.Visible())) return;
        w->unloaded = false;
        update(*w);
    } else if (form.loaded() && form.Visible()) {
        open(form);
    }
}

// The window is closed only when the form is still unloaded at the next turn of the loop, so
// a restart (unload and load in one handler) keeps the same window instead of making a new one.
void SdlBackend::formUnloaded(Form& form) {
    if (pressedForm_ == &form) pressed_ = nullptr, pressedForm_ = nullptr;
    if (focusedForm_ == &form) focused_ = nullptr, focusedForm_ = nullptr;
    if (Window* w = find(form)) w->unloaded = true;
}

void SdlBackend::open(Form& form) {
    // At scale 1 until fit() has seen the display it opens on.
    const int width = windowPixels(form.ScaleWidth(), form.pixelsPerUnit()), height = windowPixels(form.ScaleHeight(), form.pixelsPerUnit());
    // Hidden until the renderer exists: creating it may re-create the X window.
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    if (form.BorderStyle() == BorderStyle::Sizable) flags |= SDL_WINDOW_RESIZABLE;
    if (form.BorderStyle() == BorderStyle::None) flags |= SDL_WINDOW_BORDERLESS;
    if (!form.showInTaskbar) flags |= SDL_WINDOW_SKIP_TASKBAR;
    const int pos = form.centredOnScreen ? SDL_WINDOWPOS_CENTERED : SDL_WINDOWPOS_UNDEFINED;

    auto w = std::make_unique<Window>();
    w->form = &form;
    w->window = SDL_CreateWindow(form.Caption().c_str(), pos, pos, width, height, flags);
    if (w->window) w->renderer = makeRenderer(w->window);
    if (!w->renderer)
        throw RuntimeError("Das Fenster \"" + form.Caption() + "\" kann nicht geöffnet werden: " + SDL_GetError());
    w->id = SDL_GetWindowID(w->window);
    w->painter = std::make_unique<sdl::Painter>(w->renderer, *fonts_);
    w->width = width;
    w->height = height;
    w->caption = form.Caption();
    w->border = form.BorderStyle();
    windows_.push_back(std::move(w));
    fit(*windows_.back());
    update(*windows_.back());
}

// The window's scale for the room it has (SdlScale.h), chosen again whenever it is on another
// display or its frame changed. The frame is known only once a window exists: on Windows before it
// is shown, on X11 only after the window manager has framed it, a moment after it is shown. So a
// window is sized while still hidden with the frame it has then (none on X11) and corrected when
// its frame shows up: reading the real frame beats guessing one, wrong for most window managers.
void SdlBackend::fit(Window& w) {
    int top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowBordersSize(w.window, &top, &left, &bottom, &right);  // all 0 while unknown
    const int display = std::max(0, SDL_GetWindowDisplayIndex(w.window));
    const std::array<int, 3> room{display, left + right, top + bottom};
    SDL_Rect u;
    if (room == w.fittedTo || SDL_GetDisplayUsableBounds(display, &u) != 0) return;
    // Centred as SDL places a new window, but frame included, until it has been placed with its
    // frame; after that the frame is only kept inside the usable area (of a new display too).
    const bool centre = !w.shown || (w.fittedTo[1] == 0 && w.fittedTo[2] == 0);
    w.fittedTo = room;
    sdl::ScaleHints hints = hints_;
    if (float dpi = 0; SDL_GetDisplayDPI(display, nullptr, &dpi, nullptr) == 0) hints.displayDpi = dpi;
    hints.usableW = u.w, hints.usableH = u.h, hints.frameW = room[1], hints.frameH = room[2];
    const Form& f = *w.form;
    w.dpiScale = sdl::chooseScale(hints, windowPixels(f.ScaleWidth(), f.pixelsPerUnit()), windowPixels(f.ScaleHeight(), f.pixelsPerUnit()));
    resize(w);
    int x = 0, y = 0;
    SDL_GetWindowPosition(w.window, &x, &y);
    if (centre) x = u.x + (u.w - w.width - room[1]) / 2 + left, y = u.y + (u.h - w.height - room[2]) / 2 + top;
    SDL_SetWindowPosition(w.window, std::clamp(x, u.x + left, std::max(u.x + left, u.x + u.w - w.width - right)),
                          std::clamp(y, u.y + top, std::max(u.y + top, u.y + u.h - w.height - bottom)));
}

void SdlBackend::resize(Window& w) {
    const int width = windowPixels(w.form->ScaleWidth(), w.pixelsPerUnit()), height = windowPixels(w.form->ScaleHeight(), w.pixelsPerUnit());
    if (width == w.width && height == w.height) return;
    w.width = width;
    w.height = height;
    SDL_SetWindowSize(w.window, width, height);
}

void SdlBackend::update(Window& w) {
    const Form& f = *w.form;
    if (f.Caption() != w.caption) {
        w.caption = f.Caption();
        SDL_SetWindowTitle(w.window, w.caption.c_str());
    }
    resize(w);
    if (f.BorderStyle() != w.border) {
        // After the size: a fixed border pins the window to the size it has when fixed.
        w.border = f.BorderStyle();
        SDL_SetWindowResizable(w.window, w.border == BorderStyle::Sizable ? SDL_TRUE : SDL_FALSE);
        SDL_SetWindowBordered(w.window, w.border == BorderStyle::None ? SDL_FALSE : SDL_TRUE);
    }
    if (f.icon.get() != w.icon) {
        w.icon = f.icon.get();
        const Picture* p = w.icon;
        if (p && p->width > 0 && p->height > 0 && p->pixels.size() >= size_t(p->width) * p->height) {
            // SDL copies the icon, so the surface may borrow the picture's pixels.
            SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(p->pixels.data()), p->width, p->height,
                                                                32, p->width * 4, SDL_PIXELFORMAT_RGBA32);
            if (s) {
                SDL_SetWindowIcon(w.window, s);
                SDL_FreeSurface(s);
            }
        }
    }
    const bool visible = f.loaded() && f.Visible();
    if (visible != w.shown) {
        w.shown = visible;
        if (visible)
            SDL_ShowWindow(w.window);
        else
            SDL_HideWindow(w.window);
    }
}

void SdlBackend::forgetStale(const Application& app) {
    const auto& forms = app.forms();
    auto registered = [&](const Form* f) { return std::find(forms.begin(), forms.end(), f) != forms.end(); };
    std::erase_if(windows_, [&](const auto& w) { return !registered(w->form) || (w->unloaded && !w->form->loaded()); });
    // Compare pointers only: the button may have been freed.
    auto live = [&](CommandButton* b, const Form* f) {
        return b && registered(f) && std::find(f->controls().begin(), f->controls().end(), static_cast<Control*>(b)) != f->controls().end();
    };
    if (!live(pressed_, pressedForm_)) pressed_ = nullptr, pressedForm_ = nullptr;
    if (!live(focused_, focusedForm_)) focused_ = nullptr, focusedForm_ = nullptr;
}

void SdlBackend::draw(Application& app) {
    forgetStale(app);
    for (auto& w : windows_) {
        if (!w->shown) continue;
        w->painter->paint(*w->form, w->scale(), pressedInside_ ? pressed_ : nullptr);
        SDL_RenderPresent(w->renderer);
    }
}

void SdlBackend::waitForEvents(Application& app, int timeoutMs) {
    forgetStale(app);
    SDL_Event event;
    const int got = timeoutMs < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, timeoutMs);
    if (!got) return;
    handleEvent(app, event);
    while (!app.ended() && SDL_PollEvent(&event)) handleEvent(app, event);
    // A window moved to another display (on Windows one of another scale, SDL 2.26 tells with
    // SDL_WINDOWEVENT_DISPLAY_CHANGED), or framed by now: its scale is chosen again.
    forgetStale(app);
    for (auto& w : windows_)
        if (w->shown) fit(*w);
}

}  // namespace forms
