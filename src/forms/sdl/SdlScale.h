#pragma once
// How many screen pixels one design pixel (1/96 inch) takes on this display, so the window has
// the size it was designed with on a high-density screen too. The game itself never sees it:
// the backend multiplies its window size, drawing and fonts and divides clicks and resizes.
#include <string>

namespace forms::sdl {

// What the display and the session say about the scale; any of them may be missing.
struct ScaleHints {
    std::string forced;       // KREISELSTURM_SCALE: the player's (or a test's) own choice
    std::string xResources;   // the X server's resource string, where Xft.dpi lives
    std::string gdkScale;     // GDK_SCALE
    std::string videoDriver;  // SDL's video driver: "x11", "wayland", "windows", ...
    float displayDpi = 0;     // SDL's horizontal DPI of the window's display, 0 if unknown
    // The room on the window's display in screen pixels, 0 while unknown: its usable area (without
    // task bars and docks) and what the window manager's frame adds to the window's width and height.
    int usableW = 0, usableH = 0, frameW = 0, frameH = 0;
};

// In this order, the first that gives a usable value:
// 1. KREISELSTURM_SCALE, a number from 0.5 to 4, taken as it is;
// 2. on X11: Xft.dpi / 96, which every desktop's scaling setting (and xrdb) writes for all X
//    toolkits and which can be fractional; then GDK_SCALE, a whole number some sessions set
//    for GTK alone. The display's physical DPI is not used on X11: it comes from the monitor's
//    reported size, which is often wrong (projectors, virtual machines, Xvfb);
// 3. on Windows: the display's DPI / 96 (96 unless the program is DPI aware);
// 4. otherwise 1: Wayland and macOS scale through SDL's high-DPI drawable instead.
// Detected values are rounded to quarter steps, so a DPI of 97 does not blur every picture.
// Then, on X11 and Windows where the room is known, the largest quarter step not above that whose
// window of designW x designH pixels at scale 1, frame included, fits the usable area: never below
// 1, unless the usable area is smaller than the design size (then the largest step from 0.5 that
// fits, or 0.5). SDL 2.26 knows neither the usable area nor the frame on Wayland, and the dummy
// driver has no screen. A forced scale is the player's choice and stays as it is, fitting or not.
float chooseScale(const ScaleHints& hints, int designW, int designH);

// The hints of this session (environment, X resources, SDL's video driver); the display's DPI and
// the room are the window's (SdlBackend fills them in). Call after SDL video has started.
ScaleHints sessionScaleHints();

}  // namespace forms::sdl
