// The forms runtime: timers, control arrays, the real-time loop, ending the program, windows coming and going.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "forms/Application.h"
#include "forms/ControlArray.h"
#include "forms/Errors.h"
#include "forms/Int16.h"
#include "forms/Label.h"
#include "forms/Timer.h"
#include "forms/headless/HeadlessBackend.h"

namespace {

class TestForm : public forms::Form {
public:
    struct Controls { forms::Timer a, b; forms::ControlArray<forms::Timer> array; forms::Label label; };
    explicit TestForm(forms::Application& app) : forms::Form(app, "Test", forms::ScaleUnit::Point, 2000, 2000) {}

    Controls& c() { return *controls; }
    int keys = 0, resizes = 0;
    bool hideInLoad = false;

protected:
    void createControls() override {
        controls = std::make_shared<Controls>();
        adopt(controls->a, "a"), adopt(controls->b, "b"), controls->array.create(*this, "array"), adopt(controls->label, "label");
    }
    void destroyControls() override { app().retire(std::move(controls)); }
    void Form_KeyDown(int16_t, int16_t) override { ++keys; }
    void Form_Load() override { if (hideInLoad) Hide(); }
    void Form_Resize() override { ++resizes; }

private:
    std::shared_ptr<Controls> controls;
};

// A program on a manual clock with the test window started, and a log its handlers write to.
template <class Backend = forms::HeadlessBackend>
struct Program {
    forms::ManualClock clock;
    Backend backend;
    forms::Application app{clock, backend};
    TestForm form{app};
    std::string log;
    Program() { app.start(form); }

    forms::Timer& a() { return form.c().a; }
    forms::Timer& b() { return form.c().b; }
    // A handler that logs " name@time".
    std::function<void(int16_t)> logs(std::string name) { return [=, this](int16_t) { log += " " + name + "@" + std::to_string(clock.nowMs()); }; }
};

// Switches `t` on to tick every `ms` with `tick`.
void every(forms::Timer& t, int32_t ms, std::function<void(int16_t)> tick) { t.Tick = std::move(tick), t.Interval(ms), t.Enabled(true); }

class Runtime : public ::testing::Test, public Program<> {};

// A copy loaded from a running element runs too, on a period of its own; a handler that takes
// longer than the advance does not turn the clock back. (Intervals as such: the game's tests.)
TEST_F(Runtime, ACopyOfARunningTimerRunsAndAdvanceRunsEveryTickOnTime) {
    EXPECT_EQ(app.scheduler().lateness().percentile(1.0), 0) << "no tick yet";
    forms::Timer& vorlage = form.c().array[0];
    every(vorlage, 10, [&](int16_t i) { log += std::to_string(i); });
    app.advance(5);
    form.c().array.Load(1);
    app.advance(10);
    EXPECT_EQ(log, "01");
    vorlage.Tick = [&](int16_t) { clock.set(clock.nowMs() + 30); };
    const int64_t vorher = clock.nowMs();
    app.advance(5);
    EXPECT_EQ(clock.nowMs(), vorher + 35);
    EXPECT_EQ(app.scheduler().lateness().percentile(1.0), 0) << "advance() runs every tick on time";
}

// Two timers due at the same moment; the first one's handler does something to the second.
// Switching a timer on or setting its Interval starts a fresh period.
TEST(RuntimeInstant, EveryTickDueAtAnInstantComesUnlessAnEarlierHandlerStoppedThatTimer) {
    const std::pair<const char*, std::function<void(forms::Timer&)>> fälle[] = {
        {" b@30 b@100 b@170", [](forms::Timer& t) { t.Interval(70); }},  // the due tick comes, then the new period
        {"", [](forms::Timer& t) { t.Enabled(false); }},
        {"", [](forms::Timer& t) { t.Interval(0); }},
        {" b@60 b@90 b@120 b@150 b@180", [](forms::Timer& t) { t.Enabled(false), t.Enabled(true); }},  // stopped: this tick is gone
        {" b@30 b@60 b@90 b@120 b@150 b@180", [](forms::Timer& t) { t.Enabled(true); }},  // already on: keeps its rhythm
    };
    for (const auto& [erwartet, tun] : fälle) {
        SCOPED_TRACE(erwartet);
        Program p;
        every(p.a(), 30, [&](int16_t) { tun(p.b()), p.a().Enabled(false); });
        every(p.b(), 30, p.logs("b"));
        p.app.advance(190);
        EXPECT_EQ(p.log, erwartet);
    }

    // What a handler retires is freed only once every tick of the instant has run.
    Program p;
    auto probe = std::make_shared<int>();
    bool nochDa = false;
    every(p.a(), 30, [&](int16_t) { p.app.retire(std::move(probe)); });
    const std::weak_ptr<int> weg = probe;
    every(p.b(), 30, [&](int16_t) { nochDa = !weg.expired(); });
    p.app.advance(30);
    EXPECT_TRUE(nochDa && weg.expired());
}

// A loop busy for several periods: each due timer ticks once, not in a burst, the one due
// longest first (b, though made after a).
TEST_F(Runtime, ALateLoopTicksEachDueTimerOnceInTimeOrder) {
    every(a(), 30, logs("a"));
    every(b(), 10, logs("b"));
    for (const int64_t ms : {95, 104, 105}) clock.set(ms), app.runDueTimers();
    EXPECT_EQ(log, " b@95 a@95 b@105");
}

// A backend whose clock moves only while it waits or draws, for the real-time loop: what is drawn
// when, how long it sleeps (~ms); a tick does not wait behind a frame unless the frames are late.
struct PacedBackend : forms::HeadlessBackend {
    std::function<void()> fault;  // runs in every frame, as the real drawing may fail making textures
    std::vector<int> drawCosts{0};  // ms each frame takes, in turn; the last one from then on
    std::function<void(size_t waits)> onWait;
    std::string log;
    size_t frames = 0, waits = 0;

    static forms::ManualClock& uhr(forms::Application& app) { return static_cast<forms::ManualClock&>(app.clock()); }
    void draw(forms::Application& app) override {
        if (fault) fault();
        log += " draw@" + std::to_string(uhr(app).nowMs());
        uhr(app).set(uhr(app).nowMs() + drawCosts[std::min(frames++, drawCosts.size() - 1)]);
    }
    void waitForEvents(forms::Application& app, int timeoutMs) override {
        if (timeoutMs < 0) {  // nothing left to wait for: no time limit
            EXPECT_EQ(timeoutMs, -1);
            forms::End(3);
        }
        if (onWait) onWait(++waits);
        log += " ~" + std::to_string(timeoutMs);
        uhr(app).set(uhr(app).nowMs() + timeoutMs);
    }
};

// End, whatever a handler throws (an overflow too), and whatever escapes the loop's own drawing
// end the program one way: no handler after it, and for a failure a single message box saying
// what went wrong and status 1.
TEST(RuntimeErrors, EndAndEveryFailureEndTheProgramAndAFailureIsShownOnce) {
    const std::pair<std::function<void()>, std::string> faults[] = {  // the fault, the box's text
        {[] { forms::End(); }, ""},
        {[] { forms::Int16 big = 32767; big += 1; }, "Überlauf"},  // the game's whole numbers are 16 bits
        {[] { throw std::bad_alloc(); }, "Nicht genügend Arbeitsspeicher."},
        {[] { throw std::out_of_range("Index 7"); }, "Unerwarteter Fehler: Index 7"},
        {[] { throw 42; }, "Unerwarteter Fehler."},
    };
    for (const auto& [fault, text] : faults) {
        for (const bool inDrawing : {false, true}) {
            SCOPED_TRACE(text + (inDrawing ? " while drawing" : " in a handler"));
            Program<PacedBackend> p;
            const int status = text.empty() ? 0 : 1;
            every(p.b(), 10, p.logs("b"));
            if (inDrawing) {
                p.backend.fault = fault;
                EXPECT_EQ(p.app.run(), status);
            } else {
                every(p.a(), 10, [&](int16_t) { fault(), p.log += "after the fault"; });  // a goes first
                p.app.advance(50);
                EXPECT_EQ(p.log, "");
            }
            p.app.keyDown(p.form, 37);
            EXPECT_EQ(p.form.keys, 0) << "no handler after the end";
            EXPECT_TRUE(p.app.ended());
            EXPECT_EQ(p.app.exitCode(), status);
            ASSERT_EQ(p.backend.shownBoxes().size(), size_t(status));
            for (const auto& [box, answer] : p.backend.shownBoxes()) EXPECT_NE(box.text.find(text), std::string::npos) << box.text;
        }
    }
}

TEST(RealTimeLoop, DrawsAtMostEveryFrameAndLetsADueTickGoFirst) {
    Program<PacedBackend> p;
    forms::ManualClock& clock = p.clock;
    std::string& log = p.backend.log;
    p.backend.drawCosts = {9, 4, 8, 8, 32, 8, 80};  // the fifth frame takes two periods, the seventh five
    int ticks = 0;
    every(p.a(), 10, [&](int16_t) {
        log += " tick@" + std::to_string(clock.nowMs());
        if (++ticks == 3) clock.set(clock.nowMs() + 16);  // a slow one: the next comes late, then the beat goes on
        if (ticks == 13) p.a().Enabled(false);
    });
    p.backend.onWait = [&](size_t waits) {
        if (waits == 2) p.app.post([&] { log += " posted@" + std::to_string(clock.nowMs()); });
    };
    EXPECT_EQ(p.app.run(), 3);
    EXPECT_EQ(log,
              " draw@0 ~1 tick@10 ~6 posted@16 ~4 tick@20 draw@20 ~6 tick@30 ~0 tick@46 ~4 tick@50 draw@50 ~2 tick@60 ~6 ~4"
              " tick@70 draw@70 ~2 tick@80 ~6 ~4 tick@90 draw@90 ~0 tick@122 draw@122"  // two periods since the last: drawn now
              " ~2 tick@132 ~6 ~4 tick@142 draw@142 ~0 tick@222 draw@222");
    EXPECT_EQ(p.app.scheduler().lateness().percentile(0.8), 6) << "the tick due at 40 came at 46";
    EXPECT_EQ(p.app.scheduler().lateness().percentile(0.9), 22) << "the tick due at 100 came at 122";
    EXPECT_EQ(p.app.scheduler().lateness().percentile(1.0), 63) << "70 ms late, in the last bucket";

    // A fresh program on the same clock and backend whose timer ticks once, every `ms`, and ends
    // it, after start-up work of `arbeitMs`. Returns what was logged.
    const auto einmal = [&](int32_t ms, int64_t arbeitMs) {
        log.clear();
        forms::Application app{clock, p.backend};
        TestForm t{app};
        app.start(t);
        every(t.c().a, ms, [&](int16_t) { log += " tick@" + std::to_string(clock.nowMs()), forms::End(5); });
        app.post([&] { clock.set(clock.nowMs() + arbeitMs); });
        EXPECT_EQ(app.run(), 5);
        return log;
    };
    // Start-up work that lasts until a timer is due lets the tick go before the first frame; a
    // tick that ends the program: nothing is drawn after it.
    EXPECT_EQ(einmal(10, 10), " ~0 tick@312");
    // A far timer: each sleep lasts 1000 s at most, and waking with nothing to do draws nothing.
    EXPECT_EQ(einmal(2500000, 0), " draw@312 ~1000000 ~1000000 ~499920 tick@2500312");
}

// A window hidden by its own Load handler stays hidden at start-up; every Load starts afresh, and
// the first Show after it is a resize.
TEST_F(Runtime, StartUpShowsAWindowUnlessItsLoadHidItAndTheFirstShowResizes) {
    const auto entwurf = std::pair(form.ScaleWidth(), form.ScaleHeight());
    form.setInnerSize(entwurf.first + 100, entwurf.second + 50);  // made larger by the player
    form.Unload();
    form.hideInLoad = true;
    app.start(form);
    EXPECT_EQ(std::pair(form.ScaleWidth(), form.ScaleHeight()), entwurf) << "loaded again at its design size";
    EXPECT_FALSE(form.Visible());
    form.Show();
    form.Show();
    EXPECT_EQ(form.resizes, 2);
    form.Unload();
    form.hideInLoad = false;
    app.start(form);
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(form.resizes, 3);

    app.takeRedraw();
    form.Unload();
    EXPECT_TRUE(app.takeRedraw()) << "a window that goes is drawn away";
    form.Show();
    EXPECT_TRUE(form.loaded()) << "Show loads the window first";
    EXPECT_TRUE(app.takeRedraw());
    form.Hide();
    EXPECT_TRUE(app.takeRedraw()) << "a hidden window is drawn away";
}

TEST_F(Runtime, UnloadingTheWindowInsideAHandlerKeepsItsControlsUntilTheHandlerEnds) {
    forms::Label* label = &form.c().label;
    forms::Timer* timer = &a();
    auto probe = std::make_shared<int>(), zweite = std::make_shared<int>();
    const std::weak_ptr<int> retired = probe, auchFort = zweite;
    every(a(), 10, [&](int16_t) {
        form.Unload();
        EXPECT_FALSE(label->alive());
        EXPECT_FALSE(timer->Enabled()) << "switched off with its window";
        label->Caption = "still valid memory";  // freed only after this handler
        form.Load();
        app.retire(std::move(probe));
        app.dispatch([] {});  // a nested handler is no end of the outer one
        EXPECT_FALSE(retired.expired());
    });
    app.advance(10);
    EXPECT_TRUE(retired.expired());
    app.dispatch([&] { app.retire(std::move(zweite)); });
    EXPECT_TRUE(auchFort.expired()) << "any outermost handler's end frees, not only a timer's";
    EXPECT_TRUE(form.loaded());
    EXPECT_FALSE(a().Enabled()) << "fresh controls after the reload";
    {
        TestForm second{app};
        EXPECT_EQ(app.forms(), (std::vector<forms::Form*>{&form, &second}));
    }
    EXPECT_EQ(app.forms(), std::vector<forms::Form*>{&form}) << "a window that is gone is not drawn";
}

}  // namespace
