#pragma once
// Paints one form with an SDL renderer: the window's own renderer, or a software renderer on a
// surface for tests and benchmarks. Keeps that renderer's textures between frames.
#include <SDL.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "forms/Picture.h"
#include "forms/sdl/SdlLayout.h"
#include "forms/sdl/SdlText.h"

namespace forms {
class CommandButton;
class Form;
class Label;
}  // namespace forms

namespace forms::sdl {

class Painter {
public:
    Painter(SDL_Renderer* renderer, Fonts& fonts);
    ~Painter() { dropTextures(); }
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    // Clears the whole output and paints `form`; `pressed` is drawn pushed in (may be nullptr).
    // `scale`: output pixels per window pixel.
    void paint(const Form& form, float scale, const CommandButton* pressed);
    // A message box of our own (SdlMessageBox.cpp): `text` wrapped to `wrapPx` with its top left
    // at `textAt`, then `buttons` as placed; all in output pixels.
    void paintMessage(const std::string& text, const Font& font, SDL_Point textAt, int wrapPx,
                      const std::vector<Placed>& buttons, const CommandButton* pressed, float scale);
    // The size of `text` wrapped to `wrapPx` as paintMessage draws it; nullopt without a font.
    std::optional<SDL_Point> measure(const std::string& text, const Font& font, int wrapPx, float scale);
    // The renderer lost its textures (device reset) or is about to go.
    void dropTextures();

private:
    struct PictureTexture {
        std::weak_ptr<const Picture> owner;
        SDL_Texture* texture;
        uint64_t lastUsed;
    };

    void beginFrame();  // clears the output to the button face
    void endFrame();    // lets go of what was not drawn for a while
    SDL_Texture* texture(const PictureRef& picture, int w, int h);
    void clipTo(const SDL_Rect& clip);
    void fill(const SDL_Rect& r, Rgb colour);
    void gradient(const SDL_Rect& r, Rgb top, Rgb bottom);
    void picture(const PictureRef& picture, const SDL_Rect& dst);
    void label(const Label& l, const Placed& at, float scale);
    void circle(const SDL_Rect& r, Rgb colour);
    void button(const CommandButton& b, const Placed& at, float scale, bool pressed);

    SDL_Renderer* renderer_;
    TextCache text_;
    // One texture per picture (and, on a software renderer, per size it is stretched to) however
    // many controls show it; dropped once the picture is gone or it has not been drawn for a while.
    std::map<std::tuple<const Picture*, int, int>, PictureTexture> pictures_;
    bool software_ = false;
    uint64_t frame_ = 0;
    std::vector<Placed> placed_;
    SDL_Rect clip_{};
    std::vector<SDL_Vertex> vertices_;
    std::vector<int> indices_;
};

}  // namespace forms::sdl
