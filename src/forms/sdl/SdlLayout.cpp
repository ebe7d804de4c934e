#include "forms/sdl/SdlLayout.h"

#include <cmath>

#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/PictureBox.h"

namespace forms::sdl {

namespace {

bool isWindowed(ControlKind k) { return k == ControlKind::PictureBox || k == ControlKind::CommandButton; }

int px(float value, float pixelsPerUnit) { return static_cast<int>(std::lround(value * pixelsPerUnit)); }

void addChildren(const Form& form, const PictureBox* container, SDL_Point origin, float pixelsPerUnit, float scale,
                 const SDL_Rect& clip, std::vector<Placed>& out) {
    for (const bool windowed : {false, true}) {
        for (Control* c : form.controls()) {
            if (c->Container != container || !c->Visible || c->kind() == ControlKind::Timer) continue;
            if (isWindowed(c->kind()) != windowed) continue;
            const SDL_Rect rect{origin.x + px(c->Left, pixelsPerUnit), origin.y + px(c->Top, pixelsPerUnit),
                                px(c->Width, pixelsPerUnit), px(c->Height, pixelsPerUnit)};
            out.push_back({c, rect, clip});
            if (c->kind() == ControlKind::PictureBox) {
                // Children measure in pixels from the panel's corner and never show outside it.
                SDL_Rect inner;
                if (SDL_IntersectRect(&rect, &clip, &inner))
                    addChildren(form, static_cast<const PictureBox*>(c), {rect.x, rect.y}, scale, scale, inner, out);
            }
        }
    }
}

}  // namespace

void layOut(const Form& form, float scale, SDL_Rect window, std::vector<Placed>& out) {
    out.clear();
    if (window.w <= 0 || window.h <= 0) return;
    addChildren(form, nullptr, {window.x, window.y}, form.pixelsPerUnit() * scale, scale, window, out);
}

CommandButton* buttonAt(const std::vector<Placed>& placed, int x, int y) {
    const SDL_Point p{x, y};
    for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
        if (!isWindowed(it->control->kind())) continue;
        if (!SDL_PointInRect(&p, &it->rect) || !SDL_PointInRect(&p, &it->clip)) continue;
        if (it->control->kind() != ControlKind::CommandButton) return nullptr;
        auto* button = static_cast<CommandButton*>(it->control);
        return button->Enabled ? button : nullptr;
    }
    return nullptr;
}

}  // namespace forms::sdl
