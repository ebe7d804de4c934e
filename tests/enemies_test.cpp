// Enemies as the player meets them: where and how they come in, how they move, when they go
// and are counted; and the random numbers that decide all of it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>

#include "platform/Random.h"
#include "support/GameHarness.h"

namespace {

// Scripts the draws of one spawn, in the order the spawn makes them. `welle` 1 or 2 waves
// (then `richtung` 1 is "min", 2 "plu"); 3 to 5 goes straight and draws no direction.
void spawnDraws(GameHarness& h, int größe, int top, int welle, int richtung, int bild, int abstand, int takt) {
    h.random.pushResult(35, 120, größe);
    h.random.pushResult(1, h.form1->ScaleHeight() - größe, top);
    h.random.pushResult(1, 5, welle);
    if (welle < 3) h.random.pushResult(1, 2, richtung);
    h.random.pushResult(1, h.form1->gegnergrafiken, bild);
    h.random.pushResult(10, 50, abstand);
    h.random.pushResult(40, 90, takt);
}

class Enemies : public ::testing::Test {
protected:
    GameHarness h;
    void SetUp() override {
        h.startGame();
        h.ui().Spieler.Top = 10;  // out of the way unless a test puts an enemy on it
        h.ui().Spieler.Left = 10;
    }
    forms::Image& gegner(int16_t i) { return h.ui().Gegner[i]; }
    void tick(int16_t i) { h.app.dispatch([&] { h.form1->Gegnertimer_Timer(i); }); }
    int16_t spawn(float left, float top, int größe = 40, const char* tag = "") {
        spawnDraws(h, größe, 100, 3, 0, 1, 10, 50);
        h.app.dispatch([&] { h.form1->Gegnerspawn(); });
        forms::Image& g = gegner(h.ui().Gegner.UBound());
        g.Left = left;
        g.Top = top;
        g.Tag = tag;
        return g.Index;
    }
};

TEST_F(Enemies, ASpawnerTickSendsInOneEnemyMadeFromItsDrawsInOrder) {
    std::filesystem::rename(h.file("gegner3.gif"), h.file("GEGNER3.gif"));  // names match without case
    spawnDraws(h, 57, 200, 2, 2, 3, 10, 61);
    spawnDraws(h, 120, 471, 3, 0, 1, 50, 90);
    h.advance(3000);
    ASSERT_TRUE(h.ui().Gegner.exists(1));
    forms::Image& g = gegner(1);
    EXPECT_TRUE(g.Visible);
    EXPECT_FLOAT_EQ(g.Width, 57);
    EXPECT_FLOAT_EQ(g.Height, 57);
    EXPECT_FLOAT_EQ(g.Top, 200);
    EXPECT_EQ(g.Tag, "plu");
    EXPECT_EQ(std::filesystem::path(g.picture->path).filename(), "GEGNER3.gif");
    EXPECT_FLOAT_EQ(g.Left, h.form1->ScaleWidth() + 10) << "wholly beyond the right edge";
    EXPECT_EQ(h.ui().Gegnertimer[1].Interval(), 61);
    EXPECT_TRUE(h.ui().Gegnertimer[1].Enabled());

    h.advance(3000);  // the second, a straight one, draws no direction
    EXPECT_EQ(h.random.left(), 0u);
    EXPECT_EQ(gegner(2).Tag, "");
    EXPECT_FLOAT_EQ(gegner(2).Top, 471);
    EXPECT_FLOAT_EQ(gegner(2).Left, h.form1->ScaleWidth() + 50);
}

TEST_F(Enemies, IndicesAreReusedOnlyFromTheTop) {
    for (int i = 0; i < 3; ++i) spawn(300, 300);
    h.ui().Gegner.Unload(3);
    h.ui().Gegnertimer.Unload(3);
    EXPECT_EQ(spawn(300, 300), 3);
    h.ui().Gegner.Unload(2);
    h.ui().Gegnertimer.Unload(2);
    EXPECT_EQ(spawn(300, 300), 4) << "the gap at 2 stays open";
    EXPECT_FALSE(h.ui().Gegnertimer.exists(2));
}

TEST_F(Enemies, StraightOnesKeepTheirHeightWaversSwingByThePositionBeforeTheStep) {
    const int16_t gerade = spawn(300, 300);
    const int16_t plus = spawn(100 * std::acos(0.0), 300, 40, "plu");  // sin(Left * 0.01) = 1
    const int16_t minus = spawn(100 * std::acos(0.0), 300, 40, "min");
    const int16_t amRand = spawn(0, 300, 40, "min");  // sin 0: no swing
    for (int16_t i : {gerade, plus, minus, amRand}) tick(i);
    EXPECT_FLOAT_EQ(gegner(gerade).Left, 290);
    EXPECT_FLOAT_EQ(gegner(gerade).Top, 300);
    EXPECT_FLOAT_EQ(gegner(plus).Top, 308);
    EXPECT_FLOAT_EQ(gegner(minus).Top, 292);
    EXPECT_FLOAT_EQ(gegner(amRand).Top, 300);
    EXPECT_FLOAT_EQ(gegner(amRand).Left, -10);
}

TEST_F(Enemies, OnlyARightEdgeLeftOfTheWindowCountsAndRemoves) {
    const int16_t i = spawn(-30, 300);  // one step to Left + Width = 0
    tick(i);
    ASSERT_TRUE(h.ui().Gegner.exists(i));
    EXPECT_EQ(h.form1->gegnerbesiegt, 0);
    tick(i);
    EXPECT_FALSE(h.ui().Gegner.exists(i));
    EXPECT_FALSE(h.ui().Gegnertimer.exists(i));
    EXPECT_EQ(h.form1->gegnerbesiegt, 1);
    h.advance(1000);
    EXPECT_FALSE(h.app.ended()) << "the removed timer must not tick again";
}

TEST_F(Enemies, ATouchedEnemyCostsOneLifeLingersSixTicksAndGoesUncounted) {
    h.form1->Gegnergeschwindigkeit = 1;  // so it overlaps the player all the while
    const int16_t i = spawn(0, 0, 120);
    tick(i);
    EXPECT_EQ(gegner(i).Tag, "ex");
    for (int n = 0; n < 6; ++n) {
        tick(i);
        ASSERT_TRUE(h.ui().Gegner.exists(i)) << "gone after " << n + 1 << " more ticks";
    }
    tick(i);
    EXPECT_FALSE(h.ui().Gegner.exists(i));
    EXPECT_EQ(h.form1->Leben, 2);
    EXPECT_EQ(h.form1->gegnerbesiegt, 0);
}

TEST_F(Enemies, TheTickThatRemovesAnEnemyStillChecksContacts) {
    const int16_t trifft = spawn(0, 0, 120);
    const int16_t geht = spawn(-45, 300);
    tick(geht);
    EXPECT_FALSE(h.ui().Gegner.exists(geht));
    EXPECT_EQ(gegner(trifft).Tag, "ex");
    EXPECT_EQ(h.form1->Leben, 2);
}

TEST(RandomNumbers, FloorOfAnEvenSpreadReseededOnEveryCall) {
    GameHarness h;
    game::Form1& f = *h.form1;
    h.random.push(0.0f);
    EXPECT_EQ(f.Zufallszahl(35, 120), 35);
    h.random.push(std::nextafter(1.0f, 0.0f));
    EXPECT_EQ(f.Zufallszahl(35, 120), 120);
    h.random.push(0.99f);
    EXPECT_EQ(f.Zufallszahl(1, -10), -9) << "-8.9 rounds down, not towards zero";
    h.random.push(0.999f);
    EXPECT_EQ(f.Zufallszahl(1, 300.5), 301) << "a fractional bound is not rounded first";
    EXPECT_EQ(h.random.reseeds, 4);
}

TEST(RandomNumbers, TheProcessSourceStaysInBoundsSpreadsEvenlyAndNeverSticks) {
    GameHarness h;
    game::Form1 f(h.app, *h.form3, {h.folder.path(), &platform::processRandom()});
    const int n = 20000;
    std::map<double, int> seen;
    for (int i = 0; i < n; ++i) ++seen[f.Zufallszahl(35, 120)];
    EXPECT_EQ(seen.size(), 86u);
    EXPECT_EQ(seen.begin()->first, 35);
    EXPECT_EQ(seen.rbegin()->first, 120);

    int einsen = 0;
    for (int i = 0; i < n; ++i) einsen += f.Zufallszahl(1, 2) == 1;
    EXPECT_NEAR(einsen, n / 2, 6 * std::sqrt(n / 4.0));  // six standard deviations

    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(f.Zufallszahl(5, 5), 5);
        EXPECT_EQ(f.Zufallszahl(5, 4), 5);
        const double v = f.Zufallszahl(1, -10);
        EXPECT_TRUE(v >= -9 && v <= 1) << v;
    }

    // A burst such as one spawn's draws falls within one clock millisecond; it must not repeat.
    std::set<double> burst;
    for (int i = 0; i < 1000; ++i) burst.insert(f.Zufallszahl(1, 1000000));
    EXPECT_GT(burst.size(), 990u);
}

}  // namespace
