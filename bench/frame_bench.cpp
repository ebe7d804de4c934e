// One frame of the game window as the SDL painter draws it (software renderer, off-screen),
// with the game's own pictures and 50 sprites in the playfield.
#include <benchmark/benchmark.h>

#include "forms/Application.h"
#include "forms/Clock.h"
#include "forms/headless/HeadlessBackend.h"
#include "forms/sdl/Offscreen.h"
#include "game/Form1.h"
#include "game/Form1Steuerelemente.h"
#include "platform/Random.h"
#include "updater/Form3.h"

namespace {

void Frame(benchmark::State& state) {
    const std::string ordner = KREISELSTURM_ASSETS;
    forms::ManualClock clock;
    forms::HeadlessBackend backend;
    forms::Application app(clock, backend);
    game::Form3 form3(app, {ordner, "", "Kreiselsturm", {}});
    game::Form1 form1(app, form3, {ordner, &platform::processRandom()});
    app.start(form1);
    auto& ui = form1.steuerelemente();
    app.click(ui.Command1[2]);

    const int sprites = static_cast<int>(state.range(0));
    app.dispatch([&] {
        for (int i = 0; i < sprites; ++i) {
            if (i % 10 == 9) {
                form1.Powerspawn();
            } else {
                form1.Gegnerspawn();
            }
        }
        // Spread over the playfield instead of waiting beyond the right edge.
        auto place = [&](forms::Control& s) {
            if (!s.Visible) return false;
            s.Left = static_cast<float>(form1.Zufallszahl(0, form1.ScaleWidth() - s.Width));
            return false;
        };
        ui.Gegner.forEach(place);
        ui.Power.forEach(place);
    });
    if (app.ended()) {
        state.SkipWithError(app.failure().c_str());
        return;
    }
    forms::OffscreenRenderer renderer(ordner);
    if (!renderer.render(form1)) {
        state.SkipWithError("no software renderer");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(renderer.render(form1));
    state.counters["sprites"] = static_cast<double>(ui.Gegner.count() - 1 + ui.Power.count() - 1);
}
BENCHMARK(Frame)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
