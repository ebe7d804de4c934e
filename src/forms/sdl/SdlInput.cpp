// All SDL input of the backend, translated in one switch.
#include <SDL.h>

#include <cmath>
#include <vector>

#include "forms/Application.h"
#include "forms/CommandButton.h"
#include "forms/Keys.h"
#include "forms/PictureBox.h"
#include "forms/sdl/SdlBackend.h"
#include "forms/sdl/SdlKeys.h"
#include "forms/sdl/SdlLayout.h"
#include "forms/sdl/SdlWindow.h"

namespace forms {

namespace sdl {

int16_t virtualKey(const SDL_Keysym& key) {
    const SDL_Keycode sym = key.sym;
    if (sym >= SDLK_a && sym <= SDLK_z) return static_cast<int16_t>('A' + (sym - SDLK_a));
    if (sym >= SDLK_0 && sym <= SDLK_9) return static_cast<int16_t>('0' + (sym - SDLK_0));
    if (sym >= SDLK_F1 && sym <= SDLK_F12) return static_cast<int16_t>(112 + (sym - SDLK_F1));
    if (sym >= SDLK_F13 && sym <= SDLK_F24) return static_cast<int16_t>(124 + (sym - SDLK_F13));
    const bool numLock = (key.mod & KMOD_NUM) != 0;
    switch (key.scancode) {  // the numpad: digit with NumLock, else the key printed below it
        case SDL_SCANCODE_KP_0: return numLock ? 96 : 45;
        case SDL_SCANCODE_KP_1: return numLock ? 97 : 35;
        case SDL_SCANCODE_KP_2: return numLock ? 98 : 40;
        case SDL_SCANCODE_KP_3: return numLock ? 99 : 34;
        case SDL_SCANCODE_KP_4: return numLock ? 100 : 37;
        case SDL_SCANCODE_KP_5: return numLock ? 101 : 12;
        case SDL_SCANCODE_KP_6: return numLock ? 102 : 39;
        case SDL_SCANCODE_KP_7: return numLock ? 103 : 36;
        case SDL_SCANCODE_KP_8: return numLock ? 104 : 38;
        case SDL_SCANCODE_KP_9: return numLock ? 105 : 33;
        case SDL_SCANCODE_KP_PERIOD: return numLock ? 110 : 46;
        case SDL_SCANCODE_KP_MULTIPLY: return 106;
        case SDL_SCANCODE_KP_PLUS: return 107;
        case SDL_SCANCODE_KP_MINUS: return 109;
        case SDL_SCANCODE_KP_DIVIDE: return 111;
        case SDL_SCANCODE_KP_ENTER: return 13;
        default: break;
    }
    switch (sym) {
        case SDLK_BACKSPACE: return 8;
        case SDLK_TAB: return 9;
        case SDLK_RETURN: return 13;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT: return 16;
        case SDLK_LCTRL:
        case SDLK_RCTRL: return 17;
        case SDLK_LALT:
        case SDLK_RALT: return 18;
        case SDLK_PAUSE: return 19;
        case SDLK_CAPSLOCK: return 20;
        case SDLK_ESCAPE: return 27;
        case SDLK_SPACE: return 32;
        case SDLK_PAGEUP: return 33;
        case SDLK_PAGEDOWN: return 34;
        case SDLK_END: return 35;
        case SDLK_HOME: return 36;
        case SDLK_LEFT: return 37;
        case SDLK_UP: return 38;
        case SDLK_RIGHT: return 39;
        case SDLK_DOWN: return 40;
        case SDLK_PRINTSCREEN: return 44;
        case SDLK_INSERT: return 45;
        case SDLK_DELETE: return 46;
        case SDLK_LGUI: return 91;
        case SDLK_RGUI: return 92;
        case SDLK_APPLICATION: return 93;
        case SDLK_NUMLOCKCLEAR: return 144;
        case SDLK_SCROLLLOCK: return 145;
        default: return 255;
    }
}

}  // namespace sdl

namespace {
// A gamepad's stick: a direction is held beyond Press and let go again below Release, so a
// stick resting near the edge of its dead zone does not chatter.
constexpr int StickPress = 16000, StickRelease = 10000;
enum Direction { Left, Up, Right, Down };
constexpr int16_t DirectionKey[4] = {Key::Left, Key::Up, Key::Right, Key::Down};

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

// The window with the keyboard focus; without one (SDL reports pads only to a program in the
// foreground, so it has just been lost) the first window on screen.
SdlBackend::Window* SdlBackend::padWindow() const {
    if (SDL_Window* focus = SDL_GetKeyboardFocus())
        if (Window* w = find(SDL_GetWindowID(focus)); w && w->shown) return w;
    for (auto& w : windows_)
        if (w->shown) return w.get();
    return nullptr;
}

// The button clicked last while it can still be clicked, else the first one that can be in
// creation order (the tab order): "Start" on the start screen, "Restart" on the highscore panel.
CommandButton* SdlBackend::focusedButton(const Form& form) const {
    auto clickable = [](const Control* c) {
        if (c->kind() != ControlKind::CommandButton || !static_cast<const CommandButton*>(c)->Enabled) return false;
        for (; c; c = c->Container)
            if (!c->Visible) return false;
        return true;
    };
    if (focused_ && focusedForm_ == &form && clickable(focused_)) return focused_;
    for (Control* c : form.controls())
        if (clickable(c)) return static_cast<CommandButton*>(c);
    return nullptr;
}

// Tells the window about every direction that some pad now holds, or no pad holds any more:
// releases first, then presses, as key events of the arrow keys.
void SdlBackend::padDirections(Application& app) {
    bool held[4] = {};
    for (const auto& [id, pad] : pads_)
        for (int d = 0; d < 4; ++d) held[d] = held[d] || pad.dpad[d] || pad.stick[d];
    for (const bool press : {false, true}) {
        for (int d = 0; d < 4; ++d) {
            if (held[d] != press || padHeld_[d] == press) continue;
            padHeld_[d] = press;
            Window* w = padWindow();
            if (!w || app.ended()) continue;
            if (press)
                app.keyDown(*w->form, DirectionKey[d]);
            else
                app.keyUp(*w->form, DirectionKey[d]);
        }
    }
}

void SdlBackend::closePads() {
    for (auto& [id, pad] : pads_) SDL_GameControllerClose(pad.controller);
    pads_.clear();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

// Every call into `app` may run a handler that closes windows: nothing of a Window is used after it.
void SdlBackend::handleEvent(Application& app, const SDL_Event& e) {
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            // The runtime makes its own repeats, the same on every system.
            if (e.key.repeat) return;
            const Window* w = find(e.key.windowID);
            const int16_t key = sdl::virtualKey(e.key.keysym);
            if (!w) return;
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
            if (released) {
                focused_ = button, focusedForm_ = w->form;
                app.click(*button);
            }
            return;
        }
        // Gamepads: plugged in (also those present at start) and out at any time.
        case SDL_CONTROLLERDEVICEADDED:
            if (SDL_GameController* c = SDL_GameControllerOpen(e.cdevice.which))
                if (!pads_.try_emplace(SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c)), Pad{c, {}, {}}).second)
                    SDL_GameControllerClose(c);  // already open: SDL counts each open
            return;
        case SDL_CONTROLLERDEVICEREMOVED: {
            const auto pad = pads_.find(e.cdevice.which);
            if (pad == pads_.end()) return;
            SDL_GameControllerClose(pad->second.controller);
            pads_.erase(pad);
            padDirections(app);  // what it held is let go
            return;
        }
        // The D-pad and the left stick are the arrow keys; A clicks the focused button; Back
        // (Select) is the escape key.
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            const auto pad = pads_.find(e.cbutton.which);
            if (pad == pads_.end()) return;
            const bool down = e.type == SDL_CONTROLLERBUTTONDOWN;
            Window* w = padWindow();
            switch (e.cbutton.button) {
                case SDL_CONTROLLER_BUTTON_DPAD_LEFT: pad->second.dpad[Left] = down; break;
                case SDL_CONTROLLER_BUTTON_DPAD_UP: pad->second.dpad[Up] = down; break;
                case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: pad->second.dpad[Right] = down; break;
                case SDL_CONTROLLER_BUTTON_DPAD_DOWN: pad->second.dpad[Down] = down; break;
                case SDL_CONTROLLER_BUTTON_A:
                    if (CommandButton* button = down && w ? focusedButton(*w->form) : nullptr) {
                        focused_ = button, focusedForm_ = w->form;
                        app.click(*button);
                    }
                    return;
                case SDL_CONTROLLER_BUTTON_BACK:
                    if (!w) return;
                    if (down)
                        app.keyDown(*w->form, Key::Escape);
                    else
                        app.keyUp(*w->form, Key::Escape);
                    return;
                default:
                    return;
            }
            padDirections(app);
            return;
        }
        case SDL_CONTROLLERAXISMOTION: {
            const auto pad = pads_.find(e.caxis.which);
            if (pad == pads_.end()) return;
            const bool vertical = e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY;
            if (!vertical && e.caxis.axis != SDL_CONTROLLER_AXIS_LEFTX) return;
            bool* stick = pad->second.stick;
            const int v = e.caxis.value;
            auto hold = [&](Direction d, int towards) {
                stick[d] = towards * v > (stick[d] ? StickRelease : StickPress);
            };
            hold(vertical ? Up : Left, -1);
            hold(vertical ? Down : Right, 1);
            padDirections(app);
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
                case SDL_WINDOWEVENT_MINIMIZED:
                case SDL_WINDOWEVENT_RESTORED:
                    app.invalidate();
                    app.minimisedOrRestored(*w->form);
                    return;
                case SDL_WINDOWEVENT_SHOWN:
                case SDL_WINDOWEVENT_EXPOSED:
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

BusyRequest SdlBackend::keepAnswering(Application& app) {
    SDL_PumpEvents();  // on Windows this answers the system, which otherwise marks the window hung
    // Keys and clicks meant for a busy window must not reach the game later.
    SDL_FlushEvents(SDL_KEYDOWN, SDL_MOUSEWHEEL);
    SDL_FlushEvents(SDL_CONTROLLERAXISMOTION, SDL_CONTROLLERBUTTONUP);
    BusyRequest request = BusyRequest::None;
    bool redraw = false;
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT) > 0) {
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) request = BusyRequest::CloseWindow;
        redraw = true;
    }
    if (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_QUIT, SDL_QUIT) > 0) request = BusyRequest::Quit;
    if (redraw) draw(app);
    return request;
}

}  // namespace forms
