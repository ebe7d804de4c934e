#include "forms/sdl/SdlDraw.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "forms/Shape.h"

namespace forms::sdl {

namespace {

Rgb mix(Rgb a, Rgb b, float t) {
    auto m = [t](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(x + (y - x) * t)); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

SDL_Color sdlColor(Rgb c, uint8_t alpha = 255) { return {c.r, c.g, c.b, alpha}; }

SDL_Rect shrink(const SDL_Rect& r, int by) { return {r.x + by, r.y + by, r.w - 2 * by, r.h - 2 * by}; }

bool intersect(const SDL_Rect& a, const SDL_Rect& b, SDL_Rect& out) { return SDL_IntersectRect(&a, &b, &out) == SDL_TRUE; }

int scaled(int px, float scale) { return static_cast<int>(std::lround(px * scale)); }

// Pictures not drawn for this many frames lose their textures; frames come only with changes.
constexpr uint64_t KeepFrames = 120;
// Above this a stretched picture is scaled while drawing rather than kept at its drawn size.
constexpr int MaxPrescaled = 2048;

// Transparent pixels take the colour of an opaque neighbour, so a smoothly scaled sprite gets no
// dark fringe from the (black) colour hidden under its transparent border.
void bleedIntoTransparent(const Picture& p, std::vector<uint32_t>& out) {
    const auto* src = reinterpret_cast<const uint8_t*>(p.pixels.data());
    auto* dst = reinterpret_cast<uint8_t*>(out.data());
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const size_t i = (size_t(y) * p.width + x) * 4;
            if (src[i + 3] != 0) continue;
            const int nx[4] = {x - 1, x + 1, x, x};
            const int ny[4] = {y, y, y - 1, y + 1};
            for (int k = 0; k < 4; ++k) {
                if (nx[k] < 0 || ny[k] < 0 || nx[k] >= p.width || ny[k] >= p.height) continue;
                const size_t n = (size_t(ny[k]) * p.width + nx[k]) * 4;
                if (src[n + 3] == 0) continue;
                std::copy(src + n, src + n + 3, dst + i);
                break;
            }
        }
    }
}

bool opaque(const Picture& p) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(p.pixels.data());
    for (size_t i = 0, n = size_t(p.width) * p.height; i < n; ++i)
        if (bytes[i * 4 + 3] != 255) return false;
    return true;
}

// The picture's pixels at w x h, as ARGB8888, the format every renderer (and the software
// renderer's fast blitters) takes as it is.
std::vector<uint32_t> texturePixels(const Picture& p, bool solid, int w, int h) {
    std::vector<uint32_t> rgba(p.pixels.begin(), p.pixels.begin() + size_t(p.width) * p.height);
    if (!solid) bleedIntoTransparent(p, rgba);
    std::vector<uint32_t> sized;
    if (w != p.width || h != p.height) {
        sized.resize(size_t(w) * h);
        SDL_Surface* from = SDL_CreateRGBSurfaceWithFormatFrom(rgba.data(), p.width, p.height, 32, p.width * 4, SDL_PIXELFORMAT_RGBA32);
        SDL_Surface* to = SDL_CreateRGBSurfaceWithFormatFrom(sized.data(), w, h, 32, w * 4, SDL_PIXELFORMAT_RGBA32);
        const bool ok = from && to && SDL_SoftStretchLinear(from, nullptr, to, nullptr) == 0;
        SDL_FreeSurface(from);
        SDL_FreeSurface(to);
        if (!ok) return {};
    } else {
        sized = std::move(rgba);
    }
    std::vector<uint32_t> argb(sized.size());
    SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_RGBA32, sized.data(), w * 4, SDL_PIXELFORMAT_ARGB8888, argb.data(), w * 4);
    return argb;
}

}  // namespace

Painter::Painter(SDL_Renderer* renderer, Fonts& fonts) : renderer_(renderer), text_(renderer, fonts) {
    SDL_RendererInfo info;
    software_ = SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
}

void Painter::paint(const Form& form, float scale, const CommandButton* pressed) {
    beginFrame();
    SDL_Rect window{0, 0, 0, 0};
    SDL_GetRendererOutputSize(renderer_, &window.w, &window.h);
    layOut(form, scale, window, placed_);
    for (const Placed& at : placed_) {
        SDL_Rect visible;
        if (!intersect(at.rect, at.clip, visible)) continue;
        switch (at.control->kind()) {
            case ControlKind::Image: {
                const auto& image = static_cast<const Image&>(*at.control);
                if (!image.picture) break;
                if (image.Stretch) {
                    clipTo(visible);
                    picture(image.picture, at.rect);
                } else {
                    // At its own size the picture may reach past the control, as an autosized one would.
                    clipTo(at.clip);
                    picture(image.picture, {at.rect.x, at.rect.y, scaled(image.picture->width, scale),
                                            scaled(image.picture->height, scale)});
                }
                break;
            }
            case ControlKind::Label:
                clipTo(visible);
                label(static_cast<const Label&>(*at.control), at, scale);
                break;
            case ControlKind::Shape: {
                const auto& shape = static_cast<const Shape&>(*at.control);
                clipTo(visible);
                if (shape.shape == ShapeKind::Circle)
                    circle(at.rect, toRgb(shape.BackColor));
                else
                    fill(at.rect, toRgb(shape.BackColor));
                break;
            }
            case ControlKind::PictureBox: {
                const auto& panel = static_cast<const PictureBox&>(*at.control);
                clipTo(visible);
                fill(at.rect, toRgb(panel.BackColor));
                if (panel.background) picture(panel.background, at.rect);
                if (panel.picture)
                    picture(panel.picture, {at.rect.x, at.rect.y, scaled(panel.picture->width, scale),
                                            scaled(panel.picture->height, scale)});
                break;
            }
            case ControlKind::CommandButton:
                clipTo(visible);
                button(static_cast<const CommandButton&>(*at.control), at, scale, at.control == pressed);
                break;
            case ControlKind::Timer:
                break;
        }
    }
    endFrame();
}

void Painter::paintMessage(const std::string& text, const Font& font, SDL_Point textAt, int wrapPx,
                           const std::vector<Placed>& buttons, const CommandButton* pressed, float scale) {
    beginFrame();
    if (const auto* t = text_.get(text, font, toRgb(SystemColor::WindowText), wrapPx, false, scale)) {
        const SDL_Rect dst{textAt.x, textAt.y, t->w, t->h};
        SDL_RenderCopy(renderer_, t->texture, nullptr, &dst);
    }
    for (const Placed& at : buttons) {
        clipTo(at.clip);
        button(static_cast<const CommandButton&>(*at.control), at, scale, at.control == pressed);
    }
    endFrame();
}

std::optional<SDL_Point> Painter::measure(const std::string& text, const Font& font, int wrapPx, float scale) {
    if (text.empty()) return SDL_Point{0, 0};
    const auto* t = text_.get(text, font, toRgb(SystemColor::WindowText), wrapPx, false, scale);
    if (!t) return std::nullopt;
    return SDL_Point{t->w, t->h};
}

void Painter::beginFrame() {
    SDL_RenderSetClipRect(renderer_, nullptr);
    clip_ = {0, 0, -1, -1};
    const Rgb face = toRgb(SystemColor::ButtonFace);
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer_, face.r, face.g, face.b, 255);
    SDL_RenderClear(renderer_);
}

void Painter::endFrame() {
    SDL_RenderSetClipRect(renderer_, nullptr);
    text_.endFrame();
    std::erase_if(pictures_, [this](auto& entry) {
        if (!entry.second.owner.expired() && frame_ - entry.second.lastUsed <= KeepFrames) return false;
        if (entry.second.texture) SDL_DestroyTexture(entry.second.texture);
        return true;
    });
    ++frame_;
}

void Painter::dropTextures() {
    text_.clear();
    for (auto& [key, entry] : pictures_)
        if (entry.texture) SDL_DestroyTexture(entry.texture);
    pictures_.clear();
}

SDL_Texture* Painter::texture(const PictureRef& p, int w, int h) {
    const auto key = std::make_tuple(p.get(), w, h);
    auto it = pictures_.find(key);
    if (it != pictures_.end()) {
        // A live weak reference at this address is this very picture; an expired one was an
        // earlier picture whose memory has been reused.
        if (!it->second.owner.expired()) {
            it->second.lastUsed = frame_;
            return it->second.texture;
        }
        if (it->second.texture) SDL_DestroyTexture(it->second.texture);
        pictures_.erase(it);
    }
    const bool solid = opaque(*p);
    const std::vector<uint32_t> pixels = texturePixels(*p, solid, w, h);
    SDL_Texture* t = pixels.empty() ? nullptr : SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, w, h);
    if (t) {
        SDL_UpdateTexture(t, nullptr, pixels.data(), w * 4);
        SDL_SetTextureBlendMode(t, solid ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
        SDL_SetTextureScaleMode(t, SDL_ScaleModeLinear);
    }
    // A picture that cannot become a texture (too large) is remembered too, and not retried each frame.
    pictures_.emplace(key, PictureTexture{p, t, frame_});
    return t;
}

void Painter::clipTo(const SDL_Rect& clip) {
    if (SDL_RectEquals(&clip, &clip_)) return;
    clip_ = clip;
    SDL_RenderSetClipRect(renderer_, &clip_);
}

void Painter::fill(const SDL_Rect& r, Rgb c) {
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer_, c.r, c.g, c.b, 255);
    SDL_RenderFillRect(renderer_, &r);
}

void Painter::gradient(const SDL_Rect& r, Rgb top, Rgb bottom) {
    if (r.w <= 0 || r.h <= 0) return;
    const float x0 = float(r.x), y0 = float(r.y), x1 = float(r.x + r.w), y1 = float(r.y + r.h);
    const SDL_Vertex v[4] = {{{x0, y0}, sdlColor(top), {0, 0}}, {{x1, y0}, sdlColor(top), {0, 0}},
                             {{x1, y1}, sdlColor(bottom), {0, 0}}, {{x0, y1}, sdlColor(bottom), {0, 0}}};
    const int index[6] = {0, 1, 2, 0, 2, 3};
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
    SDL_RenderGeometry(renderer_, nullptr, v, 4, index, 6);
}

void Painter::picture(const PictureRef& p, const SDL_Rect& dst) {
    if (dst.w <= 0 || dst.h <= 0) return;
    if (p->width <= 0 || p->height <= 0 || p->pixels.size() < size_t(p->width) * p->height) return;
    // The software renderer would stretch the picture anew every frame; keep it at the drawn
    // size instead. A graphics card stretches for nothing.
    const bool prescale = software_ && (dst.w != p->width || dst.h != p->height) && dst.w <= MaxPrescaled && dst.h <= MaxPrescaled;
    if (SDL_Texture* t = prescale ? texture(p, dst.w, dst.h) : texture(p, p->width, p->height))
        SDL_RenderCopy(renderer_, t, nullptr, &dst);
}

void Painter::label(const Label& l, const Placed& at, float scale) {
    if (l.backStyle == BackStyle::Opaque) fill(at.rect, toRgb(l.BackColor));
    const bool centred = l.alignment == Alignment::Center;
    const auto* text = text_.get(l.Caption, l.font, toRgb(l.ForeColor), at.rect.w, centred, scale);
    if (!text) return;
    // Top-aligned like the forms' labels; centred lines are centred within the label's width.
    const SDL_Rect dst{centred ? at.rect.x + (at.rect.w - text->w) / 2 : at.rect.x, at.rect.y, text->w, text->h};
    SDL_RenderCopy(renderer_, text->texture, nullptr, &dst);
}

void Painter::circle(const SDL_Rect& r, Rgb c) {
    const int d = std::min(r.w, r.h);
    if (d <= 0) return;
    const float cx = r.x + r.w / 2.0f, cy = r.y + r.h / 2.0f;
    const float outer = d / 2.0f, inner = std::max(0.0f, outer - 1.0f);
    const int n = std::clamp(static_cast<int>(outer * 2), 16, 256);
    // A fan of solid triangles, then a one-pixel rim fading to transparent: a smooth edge.
    vertices_.clear();
    indices_.clear();
    vertices_.push_back({{cx, cy}, sdlColor(c), {0, 0}});
    for (int i = 0; i < n; ++i) {
        const float a = 2.0f * std::numbers::pi_v<float> * i / n;
        const float dx = std::cos(a), dy = std::sin(a);
        vertices_.push_back({{cx + inner * dx, cy + inner * dy}, sdlColor(c), {0, 0}});
        vertices_.push_back({{cx + outer * dx, cy + outer * dy}, sdlColor(c, 0), {0, 0}});
    }
    for (int i = 0; i < n; ++i) {
        const int in = 1 + 2 * i, out = in + 1, nextIn = 1 + 2 * ((i + 1) % n), nextOut = nextIn + 1;
        indices_.insert(indices_.end(), {0, in, nextIn, in, out, nextOut, in, nextOut, nextIn});
    }
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_BLEND);
    SDL_RenderGeometry(renderer_, nullptr, vertices_.data(), int(vertices_.size()), indices_.data(), int(indices_.size()));
}

void Painter::button(const CommandButton& b, const Placed& at, float scale, bool pressed) {
    const Rgb face = toRgb(SystemColor::ButtonFace), light = toRgb(SystemColor::ButtonHighlight),
              shadow = toRgb(SystemColor::ButtonShadow);
    const int edge = std::max(1, static_cast<int>(std::lround(scale)));
    const SDL_Rect r = at.rect;
    // Outer frame, darker than the shadow, so the button stands off the dark window.
    fill(r, mix(shadow, {0, 0, 0}, 0.5f));
    // The bevel: lit from the top left, inverted while pushed.
    const SDL_Rect bevel = shrink(r, edge);
    const SDL_Rect faceRect = shrink(bevel, edge);
    if (bevel.w <= 0 || bevel.h <= 0) return;
    const Rgb topLeft = !b.Enabled ? mix(light, face, 0.5f) : pressed ? shadow : light;
    const Rgb bottomRight = pressed ? light : shadow;
    fill(bevel, bottomRight);
    fill({bevel.x, bevel.y, bevel.w - edge, bevel.h - edge}, topLeft);
    if (!b.Enabled)
        fill(faceRect, face);
    else if (pressed)
        gradient(faceRect, mix(face, shadow, 0.6f), face);
    else
        gradient(faceRect, mix(face, light, 0.45f), face);

    const Rgb ink = toRgb(b.Enabled ? SystemColor::ButtonText : SystemColor::GrayText);
    const auto* text = text_.get(b.Caption, b.font, ink, faceRect.w, true, scale);
    if (!text) return;
    const int offset = pressed ? edge : 0;
    SDL_Rect inside;
    if (!intersect(faceRect, clip_, inside)) return;
    clipTo(inside);
    const SDL_Rect dst{r.x + (r.w - text->w) / 2 + offset, r.y + (r.h - text->h) / 2 + offset, text->w, text->h};
    SDL_RenderCopy(renderer_, text->texture, nullptr, &dst);
}

}  // namespace forms::sdl
