// How late the real-time loop ticks the game's timers: runs the real game in a real window
// (under Xvfb in CI) and prints the lateness of every tick and the time spent drawing.
// The sprite waits outside the playfield, so the game runs on without losing lives.
//
//   timer_lateness [seconds = 60] [start level = 1] [program folder = the source assets] [nodraw]
//
// With "nodraw" nothing is drawn (the window stays blank): how late ticks are without drawing.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "forms/Application.h"
#include "forms/Clock.h"
#include "forms/sdl/SdlBackend.h"
#include "game/Form1.h"
#include "game/Form1Steuerelemente.h"
#include "platform/Random.h"
#include "updater/Form3.h"

namespace {

using Steady = std::chrono::steady_clock;

// The SDL backend with a stopwatch around drawing, which closes the game window when time is up.
class MeasuringBackend : public forms::Backend {
public:
    MeasuringBackend(forms::SdlBackend& sdl, double seconds, bool drawing) : sdl_(sdl), seconds_(seconds), drawing_(drawing) {}

    forms::Form* window = nullptr;
    std::vector<double> drawMs;
    Steady::time_point begin = Steady::now();

    forms::MsgResult showMessageBox(const forms::MessageBoxRequest& box, const forms::Form* owner) override {
        return sdl_.showMessageBox(box, owner);
    }
    void formChanged(forms::Form& f) override { sdl_.formChanged(f); }
    void formUnloaded(forms::Form& f) override { sdl_.formUnloaded(f); }
    void draw(forms::Application& app) override {
        if (!drawing_) return;
        const auto t0 = Steady::now();
        sdl_.draw(app);
        drawMs.push_back(std::chrono::duration<double, std::milli>(Steady::now() - t0).count());
    }
    void waitForEvents(forms::Application& app, int timeoutMs) override {
        if (window && std::chrono::duration<double>(Steady::now() - begin).count() >= seconds_) {
            app.closeRequested(*window);
            return;
        }
        sdl_.waitForEvents(app, timeoutMs);
    }

private:
    forms::SdlBackend& sdl_;
    double seconds_;
    bool drawing_;
};

double quantile(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())))];
}

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60;
    const int startLevel = argc > 2 ? std::atoi(argv[2]) : 1;
    const std::string ordner = argc > 3 ? argv[3] : KREISELSTURM_ASSETS;
    const bool drawing = !(argc > 4 && std::string(argv[4]) == "nodraw");

    forms::SteadyClock clock;
    forms::SdlBackend sdl(ordner);
    MeasuringBackend backend(sdl, seconds, drawing);
    forms::Application app(clock, backend);
    game::Form3 form3(app, {ordner, "", "Kreiselsturm", {}});
    game::Form1 form1(app, form3, {ordner, &platform::processRandom()});
    app.start(form1);
    auto& ui = form1.steuerelemente();
    app.click(ui.Command1[2]);
    app.dispatch([&] {
        ui.Spieler.Left = -5000;
        // A later stage of the game at once: the level-ups it would have gone through.
        for (int level = 1; level < startLevel; ++level) {
            ui.Textfader2.Enabled(false);
            form1.Levelup(1);
        }
    });
    app.scheduler().resetLateness();
    backend.window = &form1;
    backend.begin = Steady::now();
    const double cpu0 = cpuSeconds();
    const int status = app.run();
    const double cpu = cpuSeconds() - cpu0;

    const forms::Lateness& late = app.scheduler().lateness();
    std::printf("ran %.0f s from level %d to level %d, exit status %d, %.2f s CPU\n", seconds, startLevel,
                static_cast<int>(form1.Level), status, cpu);
    std::printf("ticks %llu; lateness p50 %lld ms, p99 %lld ms, p99.9 %lld ms (whole ms: %lld means below %lld ms)\n",
                static_cast<unsigned long long>(late.total()), static_cast<long long>(late.percentile(0.5)),
                static_cast<long long>(late.percentile(0.99)), static_cast<long long>(late.percentile(0.999)),
                static_cast<long long>(late.percentile(0.99)), static_cast<long long>(late.percentile(0.99) + 1));
    std::printf("lateness histogram (ms: ticks):");
    for (size_t ms = 0; ms < late.counts.size(); ++ms)
        if (late.counts[ms]) std::printf(" %zu:%llu", ms, static_cast<unsigned long long>(late.counts[ms]));
    std::printf("\nframes %zu; draw p50 %.2f ms, p99 %.2f ms, max %.2f ms\n", backend.drawMs.size(),
                quantile(backend.drawMs, 0.5), quantile(backend.drawMs, 0.99), quantile(backend.drawMs, 1.0));
    return late.percentile(0.99) < 2 ? 0 : 3;
}
