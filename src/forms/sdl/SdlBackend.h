#pragma once
// The SDL2 backend:
// - one SDL window with its own renderer for each loaded form that has been shown; hidden
//   forms keep theirs hidden, unloading a form closes it;
// - drawing of every control kind (SdlDraw), shared with off-screen drawing (Offscreen.h);
// - on a high-density screen windows, drawing and text scaled by the display's factor
//   (SdlScale.h), clicks and resizes divided by it, so the forms keep their own units; each
//   window's scale chosen anew when it moves to another display or its frame changes;
// - input translated in one place (SdlInput.cpp): keys as virtual-key codes without the OS's
//   repeats, button presses and clicks, close, resize and expose; gamepads as the same keys;
// - waiting with SDL_WaitEventTimeout until the next timer or input, never busy;
// - message boxes (SdlMessageBox.cpp): on X11 drawn like the windows, elsewhere the system's own.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/Backend.h"
#include "forms/sdl/SdlScale.h"

union SDL_Event;
struct SDL_Renderer;
struct SDL_Window;
struct _SDL_GameController;

namespace forms {

class CommandButton;

namespace sdl {
class Fonts;
}

class SdlBackend : public Backend {
public:
    // Starts SDL video and text; the fonts are looked for in `fontFolder`. Throws
    // std::runtime_error if SDL cannot start (no display).
    explicit SdlBackend(std::string fontFolder);
    ~SdlBackend() override;
    SdlBackend(const SdlBackend&) = delete;
    SdlBackend& operator=(const SdlBackend&) = delete;

    MsgResult showMessageBox(const MessageBoxRequest& box, const Form* owner) override;
    void formChanged(Form& form) override;
    void formUnloaded(Form& form) override;
    void waitForEvents(Application& app, int timeoutMs) override;
    void draw(Application& app) override;
    BusyRequest keepAnswering(Application& app) override;  // SdlInput.cpp

private:
    struct Window;

    void handleEvent(Application& app, const SDL_Event& event);  // SdlInput.cpp
    Window* find(const Form& form) const;
    Window* find(uint32_t windowId) const;
    void open(Form& form);
    void update(Window& w);
    void resize(Window& w);  // to the form's size at the window's scale
    void fit(Window& w);
    static SDL_Renderer* makeRenderer(SDL_Window* window);  // accelerated where it can be
    // The box drawn by ourselves, modal to `parent` (may be nullptr); nullopt if it cannot be shown.
    std::optional<MsgResult> drawnMessageBox(const MessageBoxRequest& box, const Window* parent);
    // Windows whose form no longer exists, and a press on a button that has gone, are dropped.
    void forgetStale(const Application& app);
    CommandButton* buttonAt(const Window& w, int x, int y) const;
    // Gamepads (SdlInput.cpp): the window they steer, the button A presses, and the directions
    // they hold reported as arrow-key presses and releases.
    Window* padWindow() const;
    CommandButton* focusedButton(const Form& form) const;
    void padDirections(Application& app);
    void closePads();

    std::unique_ptr<sdl::Fonts> fonts_;
    std::vector<std::unique_ptr<Window>> windows_;
    sdl::ScaleHints hints_;  // the session's (SdlScale.h); the room is each window's
    // The button the left mouse button went down on, and whether the pointer is still on it.
    CommandButton* pressed_ = nullptr;
    const Form* pressedForm_ = nullptr;
    bool pressedInside_ = false;
    // The button clicked last: it has the focus while it can take it, as on a desktop.
    CommandButton* focused_ = nullptr;
    const Form* focusedForm_ = nullptr;
    // Each open gamepad by joystick instance id, with the directions (left, up, right, down) its
    // D-pad and its left stick hold; and the directions the window was last told about.
    struct Pad {
        _SDL_GameController* controller;
        bool dpad[4], stick[4];
    };
    std::map<int32_t, Pad> pads_;
    bool padHeld_[4] = {};
};

}  // namespace forms
