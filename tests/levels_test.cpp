// The level clock and the sliding status numbers.
#include <gtest/gtest.h>

#include <string>

#include "game/Zahltext.h"
#include "support/GameHarness.h"

namespace {

struct Levels : ::testing::Test {
    GameHarness h;
    void SetUp() override { h.startGame(); h.ui().Spieler.Top = 10; }  // the scripted enemies all come in lower down
    // "level/sublevel/enemy speed:" and every spawner's interval.
    std::string stand() const {
        auto z = [](forms::Int16 n) { return std::to_string(n.value()); };
        std::string s = z(h.form1->Level) + "/" + z(h.form1->sublevel) + "/" + z(h.form1->Gegnergeschwindigkeit) + ":";
        h.ui().Spawner.forEach([&](const forms::Timer& t) { s += " " + std::to_string(t.Interval()) + (t.Enabled() ? "" : " off"); return false; });
        return s;
    }
};

TEST_F(Levels, EveryFifteenSecondsFasterSpawnersEveryFifthANewSpawnerAndFasterEnemies) {
    h.advance(15000 + 300);
    EXPECT_EQ(stand(), "2/1/10: 2917");
    EXPECT_EQ(h.ui().Label2.Caption, "1");
    h.advance(10);
    EXPECT_EQ(h.ui().Label2.Caption, "2");  // out of sight on the 31st tick
    h.advance(310);
    EXPECT_EQ(std::pair(h.ui().Label2.Top, h.ui().Textfader2.Enabled()), std::pair(0.0f, false)) << "back down and done";
    for (const char* erwartet : {"3/2/10: 2333", "4/3/10: 1750", "5/4/10: 1167"}) {
        h.advance(15000);
        EXPECT_EQ(stand(), erwartet);
    }
    h.advance(15000 - 621);
    h.random.pushResult(500, 2000, 2000);
    h.advance(1);
    EXPECT_EQ(stand(), "6/0/11: 3500 2000");
}

TEST_F(Levels, FiveAtOnceAreDroppedWhileTheNumberSlidesAndOtherwiseRestartTheClock) {
    h.advance(15000);
    h.app.dispatch([&] { h.form1->Levelup(5); });
    EXPECT_EQ(stand(), "2/1/10: 2917");
    h.advance(1000);
    h.random.push(0);  // the shortest pause for the new spawner
    h.app.dispatch([&] { h.form1->Levelup(5); });  // level 7, sublevel 6: a spawner at 7, sublevel 1
    EXPECT_EQ(stand(), "7/1/11: 3500 500");
    h.advance(14999);
    EXPECT_EQ(h.form1->Level, 7);
    h.advance(1);
    EXPECT_EQ(stand(), "8/2/11: 2333 2333");
}

// A change on the way up shows at the top; on the way down the number turns round and runs once more.
TEST_F(Levels, LivesLostOnTheWayUpShowTheLastNumberOnTheWayDownRunOnceMore) {
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

}  // namespace
