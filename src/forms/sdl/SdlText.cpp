#include "forms/sdl/SdlText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace forms::sdl {

namespace {

const char* const SystemFontFolder = "/usr/share/fonts/truetype/liberation";

std::string findFont(const std::string& folder, const char* file) {
    std::error_code ec;
    for (const std::string& dir : {folder, std::string(SystemFontFolder)}) {
        const std::string path = dir + "/" + file;
        if (std::filesystem::is_regular_file(std::filesystem::path(std::u8string(path.begin(), path.end())), ec))
            return path;
    }
    return folder + "/" + file;  // missing: opening it fails and is reported once
}

// TTF sizes are whole points, but the forms use 8.25 or 13.5 pt. Opening at four times the size
// and a quarter of the resolution gives the exact pixel size: pt * dpi / 72 is unchanged.
int quarterPoints(float pt) { return static_cast<int>(std::lround(pt * 4.0f)); }
int quarterDpi(float scale) { return std::max(1, static_cast<int>(std::lround(24.0f * scale))); }

// Breaks `text` into lines at spaces, as the forms' labels do: a word wider than the line is not
// split but runs over the edge (and is clipped there).
std::string breakLines(TTF_Font* font, const std::string& text, int wrapPx) {
    auto fits = [&](const std::string& line) {
        int w = 0, h = 0;
        return TTF_SizeUTF8(font, line.c_str(), &w, &h) == 0 && w <= wrapPx;
    };
    std::string out;
    for (size_t start = 0;;) {  // one paragraph per pass
        const size_t newline = text.find('\n', start);
        std::string paragraph = text.substr(start, newline == std::string::npos ? std::string::npos : newline - start);
        std::erase(paragraph, '\r');
        std::string line;
        for (size_t from = 0, to = 0; to != std::string::npos; from = to + 1) {
            to = paragraph.find(' ', from);
            const std::string word = paragraph.substr(from, to == std::string::npos ? std::string::npos : to - from);
            if (from == 0) {
                line = word;
            } else if (fits(line + ' ' + word)) {
                line += ' ' + word;
            } else {
                out += line + '\n';
                line = word;
            }
        }
        out += line;
        if (newline == std::string::npos) return out;
        out += '\n';
        start = newline + 1;
    }
}

// Texts not drawn for this many frames are dropped; frames are drawn only when something changed.
constexpr uint64_t KeepFrames = 120;
constexpr size_t MaxEntries = 400;

}  // namespace

Fonts::Fonts(const std::string& folder)
    : regular_(findFont(folder, "LiberationSansNarrow-Regular.ttf")), bold_(findFont(folder, "LiberationSansNarrow-Bold.ttf")) {
    if (TTF_Init() != 0) std::fprintf(stderr, "Kreiselsturm: SDL_ttf: %s\n", TTF_GetError());
}

Fonts::~Fonts() {
    for (auto& [key, font] : open_)
        if (font) TTF_CloseFont(font);
    TTF_Quit();
}

TTF_Font* Fonts::get(float pt, bool bold, float scale) {
    const auto key = std::make_tuple(quarterPoints(pt), bold, quarterDpi(scale));
    auto it = open_.find(key);
    if (it != open_.end()) return it->second;
    const std::string& path = bold ? bold_ : regular_;
    const auto [size, b, dpi] = key;
    TTF_Font* font = size > 0 ? TTF_OpenFontDPI(path.c_str(), size, dpi, dpi) : nullptr;
    if (!font && !warned_) {
        // Text is not essential to play; say once why it is missing instead of stopping.
        std::fprintf(stderr, "Kreiselsturm: font %s: %s\n", path.c_str(), TTF_GetError());
        warned_ = true;
    }
    open_.emplace(key, font);
    return font;
}

const TextCache::Text* TextCache::get(const std::string& text, const Font& font, Rgb colour, int wrapPx,
                                      bool centred, float scale) {
    if (text.empty()) return nullptr;
    Key key{text, quarterPoints(font.sizePt), font.bold, uint32_t(colour.r) << 16 | colour.g << 8 | colour.b,
            std::max(1, wrapPx), centred, quarterDpi(scale)};
    auto it = entries_.find(key);
    if (it == entries_.end()) {
        TTF_Font* ttf = fonts_.get(font.sizePt, font.bold, scale);
        if (!ttf) return nullptr;
        TTF_SetFontWrappedAlign(ttf, centred ? TTF_WRAPPED_ALIGN_CENTER : TTF_WRAPPED_ALIGN_LEFT);
        // Wrap length 0: break only where breakLines put line ends.
        SDL_Surface* surface = TTF_RenderUTF8_Blended_Wrapped(ttf, breakLines(ttf, text, key.wrapPx).c_str(),
                                                              {colour.r, colour.g, colour.b, 255}, 0);
        if (!surface) return nullptr;
        SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer_, surface);
        const Text made{texture, surface->w, surface->h};
        SDL_FreeSurface(surface);
        if (!texture) return nullptr;
        SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
        it = entries_.emplace(std::move(key), Entry{made, frame_}).first;
    }
    it->second.lastUsed = frame_;
    return &it->second.text;
}

void TextCache::endFrame() {
    const bool crowded = entries_.size() > MaxEntries;
    std::erase_if(entries_, [&](auto& e) {
        const bool drop = frame_ - e.second.lastUsed > (crowded ? 0 : KeepFrames);
        if (drop) SDL_DestroyTexture(e.second.text.texture);
        return drop;
    });
    ++frame_;
}

void TextCache::clear() {
    for (auto& [key, entry] : entries_) SDL_DestroyTexture(entry.text.texture);
    entries_.clear();
}

}  // namespace forms::sdl
