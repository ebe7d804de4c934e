#include "forms/sdl/SdlScale.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#ifdef KREISELSTURM_HAVE_X11
#include <X11/Xlib.h>
#endif

namespace forms::sdl {

namespace {

constexpr float MinScale = 0.5f, MaxScale = 4.0f;

float inRange(float v) { return std::isfinite(v) && v >= MinScale && v <= MaxScale ? v : 0; }

// The whole text as a number, else NaN.
float number(const std::string& text) {
    char* end = nullptr;
    const float v = text.empty() ? NAN : std::strtof(text.c_str(), &end);
    return text.empty() || *end != '\0' ? NAN : v;
}

float quarterSteps(float v) { return std::round(v * 4.0f) / 4.0f; }

// The value of the resource "Xft.dpi" in an X resource string ("name:\tvalue" lines), else "".
std::string xftDpi(const std::string& resources) {
    std::istringstream lines(resources);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos || line.compare(0, colon, "Xft.dpi") != 0) continue;
        const size_t start = line.find_first_not_of(" \t", colon + 1);
        return start == std::string::npos ? "" : line.substr(start);
    }
    return "";
}

}  // namespace

float chooseScale(const ScaleHints& hints, int designW, int designH) {
    // The player's own choice, even a window larger than the screen: they may know better.
    if (const float forced = inRange(number(hints.forced))) return forced;
    float detected = 0;
    if (hints.videoDriver == "x11") {
        detected = inRange(number(xftDpi(hints.xResources)) / 96.0f);
        const float gdk = number(hints.gdkScale);
        if (!detected && gdk == std::floor(gdk)) detected = inRange(gdk);
    } else if (hints.videoDriver == "windows") {
        detected = inRange(hints.displayDpi / 96.0f);
    }
    // Never below the designed size: a low DPI setting is rarely meant for a game window.
    float scale = detected ? std::max(1.0f, quarterSteps(detected)) : 1.0f;
    const bool roomKnown = (hints.videoDriver == "x11" || hints.videoDriver == "windows") && hints.usableW > 0;
    if (!roomKnown) return scale;
    // A window whose bottom lies beyond the screen cannot be played: smaller steps until it fits.
    auto fits = [&](float s) {
        return std::lround(designW * s) + hints.frameW <= hints.usableW && std::lround(designH * s) + hints.frameH <= hints.usableH;
    };
    const float least = designW <= hints.usableW && designH <= hints.usableH ? 1.0f : MinScale;
    while (scale > least && !fits(scale)) scale -= 0.25f;
    return scale;
}

ScaleHints sessionScaleHints() {
    ScaleHints h;
    auto env = [](const char* name) { const char* v = SDL_getenv(name); return std::string(v ? v : ""); };
    h.forced = env("KREISELSTURM_SCALE");
    if (!h.forced.empty() && !inRange(number(h.forced)))
        std::fprintf(stderr, "Kreiselsturm: KREISELSTURM_SCALE=%s ignored (a number from 0.5 to 4)\n", h.forced.c_str());
    h.gdkScale = env("GDK_SCALE");
    if (const char* driver = SDL_GetCurrentVideoDriver()) h.videoDriver = driver;
#ifdef KREISELSTURM_HAVE_X11
    if (h.videoDriver == "x11") {
        if (Display* d = XOpenDisplay(nullptr)) {
            if (const char* resources = XResourceManagerString(d)) h.xResources = resources;
            XCloseDisplay(d);
        }
    }
#endif
    return h;
}

}  // namespace forms::sdl
