#pragma once
// Fonts and rendered text. Fonts are shared by all windows; text textures belong to one
// renderer and are kept while they are drawn, so a label that only moves costs no re-render.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>
#include <map>
#include <string>
#include <tuple>

#include "forms/Color.h"
#include "forms/Control.h"

namespace forms::sdl {

class Fonts {
public:
    // Looks for LiberationSansNarrow-Regular.ttf and -Bold.ttf in `folder`, else in the system's font folder.
    explicit Fonts(const std::string& folder);
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    // The font at `pt` points for 96 dpi times `scale`; nullptr if it cannot be opened.
    TTF_Font* get(float pt, bool bold, float scale);

private:
    std::string regular_, bold_;
    std::map<std::tuple<int, bool, int>, TTF_Font*> open_;
    bool warned_ = false;
};

class TextCache {
public:
    struct Text {
        SDL_Texture* texture;
        int w, h;
    };

    TextCache(SDL_Renderer* renderer, Fonts& fonts) : renderer_(renderer), fonts_(fonts) {}
    ~TextCache() { clear(); }
    TextCache(const TextCache&) = delete;
    TextCache& operator=(const TextCache&) = delete;

    // `text` word-wrapped to `wrapPx`, its lines left-aligned or centred; nullptr for no text.
    const Text* get(const std::string& text, const Font& font, Rgb colour, int wrapPx, bool centred, float scale);
    // After each frame: drops texts not drawn for a while.
    void endFrame();
    void clear();

private:
    struct Key {
        std::string text;
        int quarterPoints;
        bool bold;
        uint32_t colour;
        int wrapPx;
        bool centred;
        int dpi;
        // Member by member (emscripten's libc++ 14 has no <=> for strings).
        bool operator<(const Key& o) const {
            return std::tie(text, quarterPoints, bold, colour, wrapPx, centred, dpi) <
                   std::tie(o.text, o.quarterPoints, o.bold, o.colour, o.wrapPx, o.centred, o.dpi);
        }
    };
    struct Entry {
        Text text;
        uint64_t lastUsed;
    };

    SDL_Renderer* renderer_;
    Fonts& fonts_;
    std::map<Key, Entry> entries_;
    uint64_t frame_ = 0;
};

}  // namespace forms::sdl
