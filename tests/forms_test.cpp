// The forms runtime: timers, control arrays, ending the program, 16-bit numbers, key repeat.
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

struct Log {
    std::vector<std::string> lines;
    void add(std::string s) { lines.push_back(std::move(s)); }
};

class TestForm : public forms::Form {
public:
    struct Controls {
        forms::Timer a, b;
        forms::ControlArray<forms::Timer> array;
        forms::Label label;
    };
    TestForm(forms::Application& app, Log& log) : forms::Form(app, "Test", forms::ScaleUnit::Point, 2000, 2000), log(log) {}

    Controls& c() { return *controls; }
    Log& log;
    std::vector<int16_t> keys, shifts, ups;

protected:
    void createControls() override {
        controls = std::make_shared<Controls>();
        adopt(controls->a, "a");
        adopt(controls->b, "b");
        controls->array.create(*this, "array");
        adopt(controls->label, "label");
    }
    void destroyControls() override { app().retire(std::move(controls)); }
    void Form_KeyDown(int16_t key, int16_t shift) override { keys.push_back(key), shifts.push_back(shift); }
    void Form_KeyUp(int16_t key, int16_t) override { ups.push_back(key); }
    void Form_Load() override {
        if (hideInLoad) Hide();
    }
    void Form_Resize() override { ++resizes; }

public:
    bool hideInLoad = false;
    int resizes = 0;

private:
    std::shared_ptr<Controls> controls;
};

class Runtime : public ::testing::Test {
protected:
    forms::ManualClock clock;
    forms::HeadlessBackend backend;
    forms::Application app{clock, backend};
    Log log;
    TestForm form{app, log};
    void SetUp() override { app.start(form); }
    forms::Timer& a() { return form.c().a; }
    forms::Timer& b() { return form.c().b; }
};

TEST_F(Runtime, TimersTickEveryIntervalAndZeroNeverTicks) {
    EXPECT_EQ(app.scheduler().lateness().percentile(1.0), 0) << "no tick yet";
    int ticks = 0;
    a().Tick = [&](int16_t) { ++ticks; };
    a().Interval(0);
    a().Enabled(true);
    app.advance(10000);
    EXPECT_EQ(ticks, 0) << "an Interval of 0 never ticks";

    a().Interval(1);
    app.advance(5);
    EXPECT_EQ(ticks, 5);
    a().Interval(100);
    app.advance(1000);
    EXPECT_EQ(ticks, 15);
    a().Enabled(false);
    app.advance(1000);
    EXPECT_EQ(ticks, 15);

    // The due list is handed in again and again to save allocations: it is refilled, not added to.
    std::vector<forms::Timer*> due{&b()};
    app.scheduler().collectDue(due);
    EXPECT_TRUE(due.empty());

    // A copy loaded from a running element runs too, on a period of its own; a handler that
    // takes longer than the advance does not turn the clock back.
    forms::Timer& vorlage = form.c().array[0];
    std::vector<int16_t> wer;
    vorlage.Tick = [&](int16_t i) { wer.push_back(i); };
    vorlage.Interval(10), vorlage.Enabled(true);
    app.advance(5);
    form.c().array.Load(1);
    app.advance(10);
    EXPECT_EQ(wer, (std::vector<int16_t>{0, 1}));
    vorlage.Tick = [&](int16_t) { clock.set(clock.nowMs() + 30); };
    const int64_t vorher = clock.nowMs();
    app.advance(5);
    EXPECT_EQ(clock.nowMs(), vorher + 35);
    EXPECT_EQ(app.scheduler().lateness().percentile(1.0), 0) << "advance() runs every tick on time";
}

TEST_F(Runtime, SwitchingOnOrRetimingRestartsThePeriodSwitchingOnARunningTimerDoesNot) {
    std::vector<int64_t> at;
    a().Tick = [&](int16_t) { at.push_back(clock.nowMs()); };
    a().Interval(100);
    a().Enabled(true);
    app.advance(60);
    a().Interval(100);  // same value, still a fresh period
    app.advance(60);
    a().Enabled(true);  // already on: keeps its rhythm
    app.advance(40);
    a().Enabled(false);
    a().Enabled(true);
    app.advance(150);
    EXPECT_EQ(at, (std::vector<int64_t>{160, 260}));
}

// Two timers due at the same moment; the first one's handler does something to the second.
TEST_F(Runtime, EveryTickDueAtAnInstantComesUnlessAnEarlierHandlerStoppedThatTimer) {
    const std::pair<const char*, std::function<void(forms::Timer&)>> fälle[] = {
        {"b@30 b@100 b@170", [](forms::Timer& t) { t.Interval(70); }},  // the due tick comes, then the new period
        {"", [](forms::Timer& t) { t.Enabled(false); }},
        {"", [](forms::Timer& t) { t.Interval(0); }},
        {"b@60 b@90 b@120 b@150 b@180", [](forms::Timer& t) { t.Enabled(false), t.Enabled(true); }},  // stopped: this tick is gone
    };
    for (const auto& [erwartet, tun] : fälle) {
        SCOPED_TRACE(erwartet);
        forms::ManualClock uhr;
        forms::Application anwendung{uhr, backend};
        TestForm f{anwendung, log};
        anwendung.start(f);
        std::string gesehen;
        forms::Timer &erster = f.c().a, &zweiter = f.c().b;
        erster.Tick = [&](int16_t) { tun(zweiter); erster.Enabled(false); };
        zweiter.Tick = [&](int16_t) { gesehen += (gesehen.empty() ? "b@" : " b@") + std::to_string(uhr.nowMs()); };
        for (forms::Timer* t : {&erster, &zweiter}) t->Interval(30), t->Enabled(true);
        anwendung.advance(190);
        EXPECT_EQ(gesehen, erwartet);
    }

    // What a handler retires is freed only once every tick of the instant has run.
    auto probe = std::make_shared<int>();
    const std::weak_ptr<int> weg = probe;
    bool nochDa = false;
    a().Tick = [&](int16_t) { app.retire(std::move(probe)); };
    b().Tick = [&](int16_t) { nochDa = !weg.expired(); };
    for (forms::Timer* t : {&a(), &b()}) t->Interval(30), t->Enabled(true);
    app.advance(30);
    EXPECT_TRUE(nochDa && weg.expired());
}

TEST_F(Runtime, DueTimersTickInTimeOrderThenCreationOrder) {
    a().Tick = [&](int16_t) { log.add("a@" + std::to_string(clock.nowMs())); };
    b().Tick = [&](int16_t) { log.add("b@" + std::to_string(clock.nowMs())); };
    b().Interval(30);
    a().Interval(50);
    b().Enabled(true);
    a().Enabled(true);
    app.advance(100);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"b@30", "a@50", "b@60", "b@90", "a@100"}));
}

TEST_F(Runtime, PostedWorkRunsRightAfterTheHandlerInOrder) {
    const auto jetzt = [&](const std::string& was) { log.add(was + "@" + std::to_string(clock.nowMs())); };
    a().Tick = [&](int16_t) {
        app.post([&] { jetzt("1"), app.post([&] { jetzt("3"); }); });
        app.post([&] { jetzt("2"); });
        jetzt("tick");
        a().Enabled(false);
    };
    a().Interval(10), a().Enabled(true);
    app.advance(100);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"tick@10", "1@10", "2@10", "3@10"}));
}

TEST_F(Runtime, ALateLoopTicksOnceNotInABurst) {
    int ticks = 0;
    a().Tick = [&](int16_t) { ++ticks; };
    a().Interval(10);
    a().Enabled(true);
    clock.set(95);  // the loop was busy for nine periods
    app.runDueTimers();
    EXPECT_EQ(ticks, 1);
    clock.set(104);
    app.runDueTimers();
    EXPECT_EQ(ticks, 1);
    clock.set(105);
    app.runDueTimers();
    EXPECT_EQ(ticks, 2);
}

TEST_F(Runtime, ATimerDestroyedInItsOwnTickNeverTicksAgainAndFreesItsSlot) {
    auto& array = form.c().array;
    int ticks = 0;
    forms::Timer& one = array.Load(1);
    one.Interval(10);
    one.Enabled(true);
    // A second element due at the same moment, destroyed by the first one's handler.
    forms::Timer& two = array.Load(2);
    two.Interval(10);
    two.Enabled(true);
    two.Tick = [&](int16_t) { ADD_FAILURE() << "element 2 was unloaded before its turn"; };
    one.Tick = [&](int16_t) {
        ++ticks;
        array.Unload(2);
        array.Unload(1);
        EXPECT_FALSE(array.exists(1));
        EXPECT_EQ(array.UBound(), 0);
        // The index is free at once: a new element may take it in the same handler.
        forms::Timer& again = array.Load(1);
        EXPECT_FALSE(again.Enabled()) << "a copy of element 0, which is disabled";
        array.Unload(1);
    };
    app.advance(100);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(array.exists(1));
    EXPECT_FALSE(array.exists(2));
}

TEST_F(Runtime, EndStopsEveryFurtherHandler) {
    a().Tick = [&](int16_t) {
        log.add("a");
        forms::End();
    };
    b().Tick = [&](int16_t) { log.add("b"); };
    for (forms::Timer* t : {&a(), &b()}) t->Interval(10), t->Enabled(true);
    app.advance(100);
    EXPECT_EQ(log.lines, std::vector<std::string>{"a"});
    EXPECT_TRUE(app.ended());
    EXPECT_EQ(app.exitCode(), 0);
    EXPECT_TRUE(backend.shownBoxes().empty());
    app.keyDown(form, 37);
    EXPECT_TRUE(form.keys.empty()) << "no handler after End";
}

// A headless backend whose drawing can fail, as the real one may while making textures.
class FailingDrawBackend : public forms::HeadlessBackend {
public:
    std::function<void()> fault;
    void draw(forms::Application&) override {
        if (fault) fault();
    }
};

// Whatever a handler throws, and whatever escapes the loop's own drawing, ends the program one
// way: a single message box saying what went wrong, status 1, no handler after it.
TEST(RuntimeErrors, EveryFailureIsShownOnceAndEndsWithAFailureStatus) {
    const std::pair<std::function<void()>, std::string> faults[] = {  // the fault, the box's text
        {[] { forms::Int16 big = 32767; big += 1; }, "Überlauf"},
        {[] { throw std::bad_alloc(); }, "Nicht genügend Arbeitsspeicher."},
        {[] { throw std::out_of_range("Index 7"); }, "Unerwarteter Fehler: Index 7"},
        {[] { throw 42; }, "Unerwarteter Fehler."},
    };
    for (const auto& [fault, text] : faults) {
        for (const bool inDrawing : {false, true}) {
            SCOPED_TRACE(text + (inDrawing ? " while drawing" : " in a handler"));
            forms::ManualClock clock;
            FailingDrawBackend backend;
            forms::Application app{clock, backend};
            Log log;
            TestForm form{app, log};
            app.start(form);
            forms::Timer& a = form.c().a;
            forms::Timer& b = form.c().b;
            a.Tick = [&](int16_t) {
                fault();
                log.add("after the fault");
            };
            b.Tick = [&](int16_t) { log.add("b"); };
            b.Interval(10), b.Enabled(true);
            if (inDrawing) {
                backend.fault = fault;
                EXPECT_EQ(app.run(), 1);
            } else {
                a.Interval(10), a.Enabled(true);
                app.advance(50);
                EXPECT_EQ(log.lines, std::vector<std::string>{});
            }
            EXPECT_TRUE(app.ended());
            EXPECT_EQ(app.exitCode(), 1);
            ASSERT_EQ(backend.shownBoxes().size(), 1u);
            EXPECT_NE(backend.shownBoxes()[0].box.text.find(text), std::string::npos) << backend.shownBoxes()[0].box.text;
        }
    }
}

// The real-time loop on a clock that moves only while the backend waits or draws: what is drawn
// when, how long it sleeps (~ms), and that a tick does not wait behind a frame unless the frames
// are a period behind.
class PacedBackend : public forms::HeadlessBackend {
public:
    PacedBackend(forms::ManualClock& clock, std::string& log) : clock_(clock), log_(log) {}
    std::vector<int> drawCosts;  // ms each frame takes, in turn; the last one from then on
    std::function<void(int waits)> onWait;

    void draw(forms::Application&) override {
        log_ += " draw@" + std::to_string(clock_.nowMs());
        clock_.set(clock_.nowMs() + drawCosts[std::min(frames_++, drawCosts.size() - 1)]);
    }
    void waitForEvents(forms::Application&, int timeoutMs) override {
        if (timeoutMs < 0) {  // nothing left to wait for: no time limit
            EXPECT_EQ(timeoutMs, -1);
            forms::End(3);
        }
        if (onWait) onWait(++waits_);
        log_ += " ~" + std::to_string(timeoutMs);
        clock_.set(clock_.nowMs() + timeoutMs);
    }

private:
    forms::ManualClock& clock_;
    std::string& log_;
    size_t frames_ = 0;
    int waits_ = 0;
};

TEST(RealTimeLoop, DrawsAtMostEveryFrameAndLetsADueTickGoFirst) {
    forms::ManualClock clock;
    std::string log;
    PacedBackend backend{clock, log};
    backend.drawCosts = {9, 4, 8, 8, 32, 8, 80};  // the fifth frame takes two periods, the seventh five
    forms::Application app{clock, backend};
    Log unused;
    TestForm form{app, unused};
    app.start(form);
    forms::Timer& a = form.c().a;
    int ticks = 0;
    a.Tick = [&](int16_t) {
        log += " tick@" + std::to_string(clock.nowMs());
        if (++ticks == 3) clock.set(clock.nowMs() + 16);  // a slow one: the next comes late, then the beat goes on
        if (ticks == 13) a.Enabled(false);
    };
    a.Interval(10), a.Enabled(true);
    backend.onWait = [&](int waits) {
        if (waits == 2) app.post([&] { log += " posted@" + std::to_string(clock.nowMs()); });
    };
    EXPECT_EQ(app.run(), 3);
    EXPECT_EQ(log,
              " draw@0 ~1 tick@10 ~6 posted@16 ~4 tick@20 draw@20 ~6 tick@30 ~0 tick@46 ~4 tick@50 draw@50 ~2 tick@60 ~6 ~4"
              " tick@70 draw@70 ~2 tick@80 ~6 ~4 tick@90 draw@90 ~0 tick@122 draw@122"  // two periods since the last: drawn now
              " ~2 tick@132 ~6 ~4 tick@142 draw@142 ~0 tick@222 draw@222");
    EXPECT_EQ(app.scheduler().lateness().percentile(0.8), 6) << "the tick due at 40 came at 46";
    EXPECT_EQ(app.scheduler().lateness().percentile(0.9), 22) << "the tick due at 100 came at 122";
    EXPECT_EQ(app.scheduler().lateness().percentile(1.0), 63) << "70 ms late, in the last bucket";

    // A fresh program on the same clock whose timer ticks once, every `ms`, and ends it; `vorher`
    // runs before the loop starts. Returns what was logged.
    const auto einmal = [&](int32_t ms, const std::function<void(forms::Application&)>& vorher) {
        log.clear();
        forms::Application p{clock, backend};
        TestForm t{p, unused};
        p.start(t);
        t.c().a.Tick = [&](int16_t) { log += " tick@" + std::to_string(clock.nowMs()), forms::End(5); };
        t.c().a.Interval(ms), t.c().a.Enabled(true);
        vorher(p);
        EXPECT_EQ(p.run(), 5);
        return log;
    };
    // Start-up work that lasts until a timer is due lets the tick go before the first frame; a
    // tick that ends the program: nothing is drawn after it.
    EXPECT_EQ(einmal(10, [&](forms::Application& p) { p.post([&] { clock.set(clock.nowMs() + 10); }); }), " ~0 tick@312");
    // A far timer: each sleep lasts 1000 s at most, and waking with nothing to do draws nothing.
    EXPECT_EQ(einmal(2500000, [](forms::Application&) {}), " draw@312 ~1000000 ~1000000 ~499920 tick@2500312");
}

TEST(Int16Arithmetic, RaisesOverflowOutsideSixteenBits) {
    forms::Int16 x = -32768;
    EXPECT_THROW(x - 1, forms::RuntimeError);
    EXPECT_THROW(forms::Int16(200) * 200, forms::RuntimeError);
    EXPECT_EQ(forms::Int16(-32767) - 1, -32768);
    EXPECT_EQ((forms::Int16(3) - 1) * 10 + forms::Int16(23), 43);
}

TEST_F(Runtime, KeysRepeatWhileTheLastPressedKeyIsHeld) {
    app.keyDown(form, 37, 1);
    app.advance(499);
    EXPECT_EQ(form.keys.size(), 1u);
    app.advance(1);
    EXPECT_EQ(form.shifts, (std::vector<int16_t>{1, 0})) << "a repeat comes without the Shift state";
    app.advance(33 * 3);
    EXPECT_EQ(form.keys.size(), 5u);
    app.keyDown(form, 38);  // the newer key takes over the repeat
    app.advance(500);
    EXPECT_EQ(form.keys.back(), 38);
    const size_t held = form.keys.size();
    app.keyUp(form, 37);  // releasing the older key does not stop it
    app.advance(33);
    EXPECT_EQ(form.keys.size(), held + 1);
    app.keyUp(form, 38);
    app.advance(1000);
    EXPECT_EQ(form.keys.size(), held + 1);
    form.Unload();
    app.keyDown(form, 39);
    app.advance(1000);
    app.keyUp(form, 39);
    EXPECT_EQ(form.keys.size(), held + 1) << "a window that is not loaded gets no keys, nor repeats";
    EXPECT_EQ(form.ups, (std::vector<int16_t>{37, 38}));
}

// A window hidden by its own Load handler stays hidden at start-up; every Load starts afresh, and
// the first Show after it is a resize.
TEST_F(Runtime, StartUpShowsAWindowUnlessItsLoadHidItAndTheFirstShowResizes) {
    EXPECT_EQ(form.resizes, 1);
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
    forms::SteadyClock steady;
    EXPECT_THROW(forms::Application(steady, backend).advance(1), std::logic_error) << "only the manual clock is advanced";
}

TEST_F(Runtime, UnloadingTheWindowInsideAHandlerKeepsItsControlsUntilTheHandlerEnds) {
    forms::Label* label = &form.c().label;
    forms::Timer* timer = &form.c().a;
    auto probe = std::make_shared<int>();
    const std::weak_ptr<int> retired = probe;
    a().Tick = [&](int16_t) {
        form.Unload();
        EXPECT_FALSE(label->alive());
        EXPECT_FALSE(timer->Enabled()) << "switched off with its window";
        label->Caption = "still valid memory";  // freed only after this handler
        form.Load();
        app.retire(std::move(probe));
        app.dispatch([] {});  // a nested handler is no end of the outer one
        EXPECT_FALSE(retired.expired());
    };
    a().Interval(10);
    a().Enabled(true);
    app.advance(10);
    EXPECT_TRUE(retired.expired());
    auto zweite = std::make_shared<int>();
    const std::weak_ptr<int> auchFort = zweite;
    app.dispatch([&] { app.retire(std::move(zweite)); });
    EXPECT_TRUE(auchFort.expired()) << "any outermost handler's end frees, not only a timer's";
    EXPECT_TRUE(form.loaded());
    EXPECT_FALSE(form.c().a.Enabled()) << "fresh controls after the reload";
    {
        TestForm second{app, log};
        EXPECT_EQ(app.forms(), (std::vector<forms::Form*>{&form, &second}));
    }
    EXPECT_EQ(app.forms(), std::vector<forms::Form*>{&form}) << "a window that is gone is not drawn";
}

}  // namespace
