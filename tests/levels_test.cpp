// Numbers where the whole games of game_trace_test do not go: a lives number changed again while
// it slides, numbers in captions, random draws at the ends of their range.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "game/Zahltext.h"
#include "support/GameHarness.h"

namespace {

// A change on the way up shows at the top; on the way down the number turns round and runs once more.
TEST(SlidingNumbers, LivesLostOnTheWayUpShowTheLastNumberOnTheWayDownRunOnceMore) {
    GameHarness h;
    h.startGame();
    h.ui().Spieler.Top = 10;  // out of the way of the enemies
    struct Schritt { int leben, ms; const char* zahl; float top; bool läuft; };  // leben > 0: a change first
    const Schritt schritte[] = {
        {2, 50, "3", -5, true}, {1, 0, "3", -5, true}, {0, 570, "1", 0, false},
        {2, 320, "2", -30, true},  // changed on the 31st tick, one tick down since
        {4, 10, "4", -31, true},   // out of sight again at once
        {0, 310 + 610, "4", -1, true}, {0, 10, "4", 0, false},  // the extra run
        {3, 620, "3", 0, false},  // and the next change slides once only
    };
    for (const Schritt& s : schritte) {
        SCOPED_TRACE(::testing::Message() << "step " << &s - schritte);
        if (s.leben > 0) { h.form1->neuesleben = s.leben; h.form1->Label4_fade(); }
        h.advance(s.ms);
        EXPECT_EQ(std::tuple(h.ui().Label4.Caption, h.ui().Label4.Top, h.ui().Textfader4.Enabled()), std::tuple(s.zahl, s.top, s.läuft));
    }

    // A run still owed when the game restarts is not carried into the next game.
    h.form1->neuesleben = 2, h.form1->Label4_fade();
    h.advance(320);
    h.form1->Label4_fade();
    h.app.dispatch([&] { h.form1->reload(); });
    h.form1->neuesleben = 2, h.form1->Label4_fade();
    h.advance(620);
    EXPECT_EQ(std::tuple(h.ui().Label4.Caption, h.ui().Label4.Top, h.ui().Textfader4.Enabled()), std::tuple("2", 0.0f, false));
}

// The numbers in captions and tags, read and written as the game's labels show them.
TEST(Zahltext, NumbersAreWrittenPlainAndReadWithBlanksAround) {
    EXPECT_EQ(game::zahltext(100000) + " " + game::zahltext(-0.0) + " " + game::zahltext(-2.5) + " " + game::zahltext(1e15), "100000 0 -2.5 1e+15");
    EXPECT_EQ(game::zahlwert(" 12 "), 12);
    for (const char* keineZahl : {"", "  ", "1 2", "x"}) EXPECT_THROW(game::zahlwert(keineZahl), forms::RuntimeError) << keineZahl;
}

TEST(RandomNumbers, RoundsDownAndReseedsOnEveryCall) {
    GameHarness h;
    const std::tuple<float, double, double, double> fälle[] = {
        {0.0f, 35, 120, 35}, {std::nextafter(1.0f, 0.0f), 35, 120, 120}, {0.99f, 1, -10, -9}, {0.999f, 1, 300.5, 301}};
    for (auto [r, min, max, erwartet] : fälle) {
        h.random.push(r);
        EXPECT_EQ(h.form1->Zufallszahl(min, max), erwartet) << min << ".." << max << " r " << r;
    }
    EXPECT_EQ(h.random.reseeds, 4);
}

}  // namespace
