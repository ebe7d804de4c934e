// Kreiselsturm: picks the SDL backend, creates the two windows and runs the loop.
#include <cstddef>
#include <cstdio>
#include <exception>

#include "forms/Application.h"
#include "forms/Clock.h"
#include "forms/sdl/SdlBackend.h"
#include "game/Form1.h"
#include "platform/Files.h"
#include "platform/Pictures.h"
#include "platform/Random.h"
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#else
#include "platform/Script.h"
#include "updater/Form3.h"
#endif

extern const unsigned char kreiselsturmIcon[];
extern const std::size_t kreiselsturmIconSize;

namespace {

int spielen() {
    try {
        const std::string ordner = platform::programFolder();
        forms::SteadyClock uhr;
        forms::SdlBackend backend(ordner);
        forms::Application app(uhr, backend);
#ifdef __EMSCRIPTEN__
        game::Form1 form1(app, {ordner, &platform::processRandom()});  // the browser's page has no updater
#else
        game::Form3::Einstellungen update{ordner, KREISELSTURM_UPDATE_URL, platform::programBaseName(), platform::startUpdateScript};
        update.updateSchluessel = KREISELSTURM_UPDATE_KEY;
        game::Form3 form3(app, update);
        game::Form1 form1(app, form3, {ordner, &platform::processRandom()});
#endif
        app.dispatch([&] { form1.icon = platform::decodePicture(kreiselsturmIcon, kreiselsturmIconSize, "icon.gif"); });
        app.start(form1);
        const int status = app.run();
        // The box's text once more, for whoever started the game from a terminal.
        if (!app.failure().empty()) std::fprintf(stderr, "Kreiselsturm: %s\n", app.failure().c_str());
        return status;
    } catch (const std::exception& e) {
        // Only before the loop exists (no display, no video driver); from then on the loop
        // shows every failure itself.
        std::fprintf(stderr, "Kreiselsturm: %s\n", e.what());
        return 1;
    } catch (...) {
        std::fprintf(stderr, "Kreiselsturm: unerwarteter Fehler\n");
        return 1;
    }
}

}  // namespace

int main() {
    const int status = spielen();
#ifdef __EMSCRIPTEN__
    // In the browser main() returns from where asyncify resumed it, unseen by the page's runtime:
    // ending explicitly lets the page tell that the program has ended, and with which status.
    emscripten_force_exit(status);
#endif
    return status;
}
