#pragma once
// Where each visible control of a window lands, in paint order. Painting and the mouse both use
// it, so a button is hit exactly where it is drawn, with the same layering and clipping.
#include <SDL.h>

#include <vector>

namespace forms {
class CommandButton;
class Control;
class Form;
}  // namespace forms

namespace forms::sdl {

struct Placed {
    Control* control;
    SDL_Rect rect;  // the control's own rectangle, in output pixels
    SDL_Rect clip;  // the part of the window its container leaves visible (never empty)
};

// Visible controls of `form` from bottom to top, as the forms runtime layers them: in every
// container first its lightweight controls (images, labels, shapes), then its windowed ones
// (panels, buttons), each group in creation order; a panel's children follow the panel.
// Controls on the window measure in the window's unit, inside a panel in pixels from its
// top-left. `scale` is output pixels per window pixel (above 1 only on high-density screens);
// `window` is the drawable area.
void layOut(const Form& form, float scale, SDL_Rect window, std::vector<Placed>& out);

// The button a click at output pixel (x, y) lands on: the topmost panel or button under the
// point takes the click, so a disabled button, or a panel lying above a button, yields nullptr.
CommandButton* buttonAt(const std::vector<Placed>& placed, int x, int y);

}  // namespace forms::sdl
