// Message boxes. SDL's box on X11 draws with the X server's core fonts at one fixed pixel size:
// tiny on a high-density screen and unlike the rest of the game. So on X11 the box is drawn
// by ourselves, with the game's font and buttons at the scale of the window it belongs to. On
// Windows SDL's box is the system's own, which Windows scales; in the browser the page shows one;
// and SDL's stays the way out wherever ours cannot be shown (no font to draw with, no window).
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "forms/CommandButton.h"
#include "forms/sdl/SdlBackend.h"
#include "forms/sdl/SdlWindow.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace forms {

namespace {

// In design pixels (1/96 inch), like the windows.
constexpr int Margin = 14, ButtonW = 80, ButtonH = 24, Gap = 8, MinTextW = 200, MaxTextW = 480;
constexpr Font TextFont{10.0f, false};

#ifdef __EMSCRIPTEN__
// A browser has no message box that blocks: the page shows its own (src/app/web/kreiselsturm.js)
// and the program waits for the index of the button pressed there.
EM_ASYNC_JS(int, pageMessageBox, (const char* title, const char* text, int yesNo, int error), {
    return await Module.messageBox(UTF8ToString(title), UTF8ToString(text), yesNo ? ["Ja", "Nein"] : ["OK"], !!error);
});
#endif

// The window an event is for, 0 for none.
uint32_t windowOf(const SDL_Event& e) {
    switch (e.type) {
        case SDL_WINDOWEVENT: return e.window.windowID;
        case SDL_KEYDOWN:
        case SDL_KEYUP: return e.key.windowID;
        case SDL_MOUSEMOTION: return e.motion.windowID;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: return e.button.windowID;
        default: return 0;
    }
}

}  // namespace

MsgResult SdlBackend::showMessageBox(const MessageBoxRequest& box, const Form* owner) {
    const Window* parent = nullptr;
    for (auto& w : windows_) {
        if (!w->shown) continue;
        if (!parent || w->form == owner) parent = w.get();
    }
    // The press that led here is over; its release may never reach us.
    pressed_ = nullptr, pressedForm_ = nullptr;
    if (hints_.videoDriver == "x11")
        if (std::optional<MsgResult> answer = drawnMessageBox(box, parent)) return *answer;

    enum { OkId, YesId, NoId };
    const SDL_MessageBoxButtonData ok[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, OkId, "OK"}};
    const SDL_MessageBoxButtonData yesNo[] = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, YesId, "Ja"},
                                              {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, NoId, "Nein"}};
    const bool isOk = box.buttons == MsgButtons::Ok;
    Uint32 flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    if (box.icon == MsgIcon::Error) flags |= SDL_MESSAGEBOX_ERROR;
    if (box.icon == MsgIcon::Information) flags |= SDL_MESSAGEBOX_INFORMATION;
    const SDL_MessageBoxData data{flags, parent ? parent->window : nullptr, box.title.c_str(), box.text.c_str(),
                                  isOk ? 1 : 2, isOk ? ok : yesNo, nullptr};
    int id = -1;
#ifdef __EMSCRIPTEN__
    (void)data;
    id = pageMessageBox(box.title.c_str(), box.text.c_str(), !isOk, box.icon == MsgIcon::Error);
    if (!isOk && id >= 0) id = id == 0 ? YesId : NoId;
#else
    if (SDL_ShowMessageBox(&data, &id) != 0) {
        // Not shown: keep the message and do not pretend the user agreed.
        std::fprintf(stderr, "Kreiselsturm: %s: %s (message box failed: %s)\n", box.title.c_str(), box.text.c_str(), SDL_GetError());
        return MsgResult::Closed;
    }
#endif
    switch (id) {
        case OkId: return MsgResult::Ok;
        case YesId: return MsgResult::Yes;
        case NoId: return MsgResult::No;
        default: return MsgResult::Closed;
    }
}

// Answers as SDL's box does: Return the first button (OK, Ja), Escape the last (OK, Nein), a
// click the button clicked; closing the box answers nothing. Other windows are redrawn when
// uncovered; what else comes for them waits until the box is answered, as it would behind a
// box of the system.
std::optional<MsgResult> SdlBackend::drawnMessageBox(const MessageBoxRequest& box, const Window* parent) {
    const float scale = parent ? parent->dpiScale : sdl::chooseScale(hints_, MaxTextW, MaxTextW / 2);
    auto px = [scale](int design) { return std::max(1, static_cast<int>(std::lround(design * scale))); };
    Window w;  // not one of windows_: it has no form
    w.window = SDL_CreateWindow(box.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 1, 1,
                                SDL_WINDOW_HIDDEN | SDL_WINDOW_SKIP_TASKBAR);
    if (w.window) w.renderer = makeRenderer(w.window);
    if (!w.renderer) return std::nullopt;
    w.painter = std::make_unique<sdl::Painter>(w.renderer, *fonts_);
    const std::optional<SDL_Point> text = w.painter->measure(box.text, TextFont, px(MaxTextW), scale);
    if (!text) return std::nullopt;

    std::vector<CommandButton> buttons(box.buttons == MsgButtons::Ok ? 1 : 2);
    buttons.front().Caption = buttons.size() == 1 ? "OK" : "Ja";
    if (buttons.size() == 2) buttons.back().Caption = "Nein";
    const int n = static_cast<int>(buttons.size()), row = n * px(ButtonW) + (n - 1) * px(Gap);
    const int width = std::max({text->x, row, px(MinTextW)}) + 2 * px(Margin);
    const int height = text->y + px(ButtonH) + 3 * px(Margin);
    std::vector<sdl::Placed> placed;
    for (int i = 0; i < n; ++i)
        placed.push_back({&buttons[i], {(width - row) / 2 + i * (px(ButtonW) + px(Gap)), height - px(Margin) - px(ButtonH), px(ButtonW), px(ButtonH)},
                          {0, 0, width, height}});
    SDL_SetWindowSize(w.window, width, height);
    SDL_SetWindowResizable(w.window, SDL_FALSE);
    if (parent) {
        int x = 0, y = 0, pw = 0, ph = 0;
        SDL_GetWindowPosition(parent->window, &x, &y);
        SDL_GetWindowSize(parent->window, &pw, &ph);
        SDL_SetWindowPosition(w.window, x + (pw - width) / 2, y + (ph - height) / 2);
        SDL_SetWindowModalFor(w.window, parent->window);
    }
    SDL_ShowWindow(w.window);
    SDL_RaiseWindow(w.window);  // a box takes the keyboard, as the system's would

    const uint32_t id = SDL_GetWindowID(w.window);
    const CommandButton* pressed = nullptr;
    bool inside = false;
    auto answerFor = [&](const CommandButton* b) { return n == 1 ? MsgResult::Ok : b == &buttons.front() ? MsgResult::Yes : MsgResult::No; };
    auto draw = [&] {
        w.painter->paintMessage(box.text, TextFont, {px(Margin), px(Margin)}, px(MaxTextW), placed, inside ? pressed : nullptr, scale);
        SDL_RenderPresent(w.renderer);
    };
    draw();
    std::optional<MsgResult> answer;
    std::vector<SDL_Event> later;
    SDL_Event e;
    while (!answer && SDL_WaitEvent(&e)) {
        if (windowOf(e) != id) {
            if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_EXPOSED) {
                if (Window* other = find(e.window.windowID); other && other->shown) {
                    other->painter->paint(*other->form, other->scale(), nullptr);
                    SDL_RenderPresent(other->renderer);
                }
            } else if (e.type != SDL_MOUSEMOTION) {
                later.push_back(e);
            }
            continue;
        }
        switch (e.type) {
            case SDL_KEYDOWN:
                if (e.key.keysym.sym == SDLK_RETURN || e.key.keysym.sym == SDLK_KP_ENTER) answer = answerFor(&buttons.front());
                if (e.key.keysym.sym == SDLK_ESCAPE) answer = answerFor(&buttons.back());
                break;
            case SDL_MOUSEBUTTONDOWN:
                if (e.button.button != SDL_BUTTON_LEFT) break;
                pressed = sdl::buttonAt(placed, e.button.x, e.button.y);
                inside = pressed != nullptr;
                draw();
                break;
            case SDL_MOUSEMOTION:
                if (pressed && inside != (sdl::buttonAt(placed, e.motion.x, e.motion.y) == pressed)) inside = !inside, draw();
                break;
            case SDL_MOUSEBUTTONUP:
                if (e.button.button != SDL_BUTTON_LEFT || !pressed) break;
                if (sdl::buttonAt(placed, e.button.x, e.button.y) == pressed) answer = answerFor(pressed);
                pressed = nullptr, inside = false;
                draw();
                break;
            case SDL_WINDOWEVENT:
                if (e.window.event == SDL_WINDOWEVENT_CLOSE) answer = MsgResult::Closed;
                if (e.window.event == SDL_WINDOWEVENT_EXPOSED) draw();
                break;
        }
    }
    for (SDL_Event& held : later) SDL_PushEvent(&held);
    return answer.value_or(MsgResult::Closed);
}

}  // namespace forms
