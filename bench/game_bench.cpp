// The game's own work without drawing: a whole simulated game minute on the manual clock, and
// one collision check against many sprites.
#include <benchmark/benchmark.h>

#include "platform/Random.h"
#include "support/GameHarness.h"

namespace {

// A game with real random numbers whose player never meets anything: the sprite waits outside
// the playfield, so every check scans every sprite and finds nothing, as for a perfect dodger.
struct Simulation {
    GameHarness h;

    explicit Simulation(int level) {
        h.form1 = std::make_unique<game::Form1>(h.app, *h.form3, game::Form1::Umgebung{h.folder.path(), &platform::processRandom()});
        h.startGame();
        h.ui().Spieler.Left = -5000;
        h.advance((level - 1) * 15000 + 700);  // the last level number has slid back
        // Held at this level from now on, so every measured minute is a minute of it.
        h.ui().Leveluptimer.Enabled(false);
        h.advance(60000);
    }
    size_t sprites() const { return h.ui().Gegner.count() - 1 + h.ui().Power.count() - 1; }
};

void GameMinute(benchmark::State& state) {
    const int level = static_cast<int>(state.range(0));
    Simulation sim(level);
    if (sim.h.form1->Level != level) state.SkipWithError("the level was not reached");
    sim.h.app.scheduler().resetLateness();
    double sprites = 0;
    for (auto _ : state) {
        sim.h.form1->gegnerbesiegt = 0;  // thousands of minutes would overflow the 16-bit count
        sim.h.advance(60000);
        sprites += static_cast<double>(sim.sprites());
    }
    if (sim.h.form1->Leben != 3 || sim.h.app.ended())
        state.SkipWithError(("the player was hit or the game ended: " + std::to_string(sim.h.form1->Leben) + " " + sim.h.app.failure()).c_str());
    state.counters["sprites_at_minute_end"] = sprites / static_cast<double>(state.iterations());
    state.counters["ticks_per_minute"] =
        static_cast<double>(sim.h.app.scheduler().lateness().total()) / static_cast<double>(state.iterations());
    state.counters["speed_vs_real_time"] =
        benchmark::Counter(60.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
// A fixed number of minutes: held at one level for hours the enemy indices, which are reused
// only from the top, would climb to the 16-bit limit, far beyond any real game at that level.
BENCHMARK(GameMinute)->Arg(1)->Arg(10)->Arg(20)->Iterations(100)->Repetitions(5)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// N enemies and items spread over the playfield, none touching the player: a full scan.
void Collision(benchmark::State& state) {
    GameHarness h;
    h.startGame();
    auto& ui = h.ui();
    ui.Spieler.Left = -5000;
    const int n = static_cast<int>(state.range(0));
    for (int i = 1; i <= n; ++i) {
        forms::Control& s = i % 10 == 0 ? static_cast<forms::Control&>(ui.Power.Load(static_cast<int16_t>(i)))
                                        : static_cast<forms::Control&>(ui.Gegner.Load(static_cast<int16_t>(i)));
        s.Visible = true;
        s.Left = static_cast<float>((i * 37) % 640);
        s.Top = static_cast<float>((i * 53) % 540);
        s.Width = s.Height = static_cast<float>(35 + i % 86);
    }
    for (auto _ : state) h.form1->Kollision();
    if (h.form1->Leben != 3) state.SkipWithError("something touched the player");
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(Collision)->Arg(10)->Arg(100)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
