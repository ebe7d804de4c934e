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

float chooseScale(const ScaleHints& hints) {
    if (const float forced = inRange(number(hints.forced))) return forced;
    if (!hints.forced.empty())
        std::fprintf(stderr, "Kreiselsturm: KREISELSTURM_SCALE=%s ignored (a number from 0.5 to 4)\n", hints.forced.c_str());
    float detected = 0;
    if (hints.videoDriver == "x11") {
        detected = inRange(number(xftDpi(hints.xResources)) / 96.0f);
        const float gdk = number(hints.gdkScale);
        if (!detected && gdk == std::floor(gdk)) detected = inRange(gdk);
    } else if (hints.videoDriver == "windows") {
        detected = inRange(hints.displayDpi / 96.0f);
    }
    // Never below the designed size: a low DPI setting is rarely meant for a game window.
    return detected ? std::max(1.0f, quarterSteps(detected)) : 1.0f;
}

ScaleHints sessionScaleHints() {
    ScaleHints h;
    auto env = [](const char* name) { const char* v = SDL_getenv(name); return std::string(v ? v : ""); };
    h.forced = env("KREISELSTURM_SCALE");
    h.gdkScale = env("GDK_SCALE");
    if (const char* driver = SDL_GetCurrentVideoDriver()) h.videoDriver = driver;
    float hdpi = 0;
    if (SDL_GetDisplayDPI(0, nullptr, &hdpi, nullptr) == 0) h.displayDpi = hdpi;
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
