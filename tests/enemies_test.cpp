// Enemies: how they come in, move, go and are counted; the random numbers behind them.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>

#include "platform/Random.h"
#include "support/GameHarness.h"

namespace {

class Enemies : public ::testing::Test {
protected:
    GameHarness h;
    void SetUp() override {
        h.startGame();
        h.ui().Spieler.Left = h.ui().Spieler.Top = 10;
    }
    // The draws of one spawn in their order; `welle` 3 to 5 goes straight and draws no direction.
    void draws(int größe, int top, int welle, int richtung, int bild, int abstand, int takt) {
        h.random.pushResult(35, 120, größe);
        h.random.pushResult(1, h.form1->ScaleHeight() - größe, top);
        h.random.pushResult(1, 5, welle);
        if (welle < 3) h.random.pushResult(1, 2, richtung);
        h.random.pushResult(1, h.form1->gegnergrafiken, bild);
        h.random.pushResult(10, 50, abstand);
        h.random.pushResult(40, 90, takt);
    }
    forms::Image& g(int16_t i) { return h.ui().Gegner[i]; }
    bool lebt(int16_t i) { return h.ui().Gegner.exists(i) && h.ui().Gegnertimer.exists(i); }
    void tick(int16_t i) { h.app.dispatch([&] { h.form1->Gegnertimer_Timer(i); }); }
    int16_t spawn(float left, float top, int größe = 40, const char* tag = "") {
        draws(größe, 100, 3, 0, 1, 10, 50);
        h.app.dispatch([&] { h.form1->Gegnerspawn(); });
        forms::Image& neu = g(h.ui().Gegner.UBound());
        neu.Left = left, neu.Top = top, neu.Tag = tag;
        return neu.Index;
    }
    void entfernen(int16_t i) { h.ui().Gegner.Unload(i), h.ui().Gegnertimer.Unload(i); }
};

TEST_F(Enemies, ASpawnerTickMakesOneEnemyFromItsDrawsInOrder) {
    std::filesystem::rename(h.file("gegner3.gif"), h.file("GEGNER3.gif"));
    draws(57, 200, 2, 2, 3, 10, 61);
    draws(120, 471, 3, 0, 1, 50, 90);
    h.advance(3000);
    EXPECT_TRUE(g(1).Visible);
    EXPECT_EQ(g(1).Width, 57);
    EXPECT_EQ(g(1).Height, 57);
    EXPECT_EQ(g(1).Top, 200);
    EXPECT_EQ(g(1).Tag, "plu");
    EXPECT_EQ(std::filesystem::path(g(1).picture->path).filename(), "GEGNER3.gif");
    EXPECT_EQ(g(1).Left, h.form1->ScaleWidth() + 10);
    EXPECT_EQ(h.ui().Gegnertimer[1].Interval(), 61);
    EXPECT_TRUE(h.ui().Gegnertimer[1].Enabled());
    h.advance(3000);
    EXPECT_EQ(h.random.left(), 0u);
    EXPECT_EQ(g(2).Tag, "");
    EXPECT_EQ(g(2).Left, h.form1->ScaleWidth() + 50);
}

TEST_F(Enemies, IndicesAreReusedOnlyFromTheTop) {
    for (int i = 0; i < 3; ++i) spawn(300, 300);
    entfernen(3);
    EXPECT_EQ(spawn(300, 300), 3);
    entfernen(2);
    EXPECT_EQ(spawn(300, 300), 4);
}

TEST_F(Enemies, WaversSwingByTheirLeftBeforeTheStepStraightOnesKeepTheirHeight) {
    const int16_t gerade = spawn(300, 300), plus = spawn(100 * std::acos(0.0), 300, 40, "plu"),
                  minus = spawn(100 * std::acos(0.0), 300, 40, "min"), amRand = spawn(0, 300, 40, "min");
    for (int16_t i : {gerade, plus, minus, amRand}) tick(i);
    EXPECT_FLOAT_EQ(g(gerade).Left, 290);
    EXPECT_FLOAT_EQ(g(gerade).Top, 300);
    EXPECT_FLOAT_EQ(g(plus).Top, 308);
    EXPECT_FLOAT_EQ(g(minus).Top, 292);
    EXPECT_FLOAT_EQ(g(amRand).Top, 300);
}

TEST_F(Enemies, OnlyARightEdgePastTheWindowCountsAndTheTickStillChecksContacts) {
    const int16_t geht = spawn(-30, 300);
    tick(geht);  // Left + Width = 0: stays
    EXPECT_TRUE(lebt(geht));
    EXPECT_EQ(h.form1->gegnerbesiegt, 0);
    const int16_t trifft = spawn(0, 0, 120);
    tick(geht);
    EXPECT_EQ(g(trifft).Tag, "ex");
    EXPECT_FALSE(lebt(geht));
    EXPECT_EQ(h.form1->gegnerbesiegt, 1);
    h.advance(1000);
    EXPECT_FALSE(h.app.ended());
}

TEST_F(Enemies, ATouchedEnemyCostsOneLifeAndGoesUncountedOnTheSeventhTick) {
    h.form1->Gegnergeschwindigkeit = 1;  // it overlaps the player all the while
    const int16_t i = spawn(0, 0, 120);
    for (int n = 0; n < 7; ++n) tick(i);
    EXPECT_TRUE(lebt(i));
    tick(i);
    EXPECT_FALSE(lebt(i));
    EXPECT_EQ(h.form1->Leben, 2);
    EXPECT_EQ(h.form1->gegnerbesiegt, 0);
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

TEST(RandomNumbers, TheProcessSourceStaysInBoundsSpreadsEvenlyAndDoesNotRepeatInABurst) {
    GameHarness h;
    game::Form1 f(h.app, *h.form3, {h.folder.path(), &platform::processRandom()});
    std::map<double, int> seen;
    int einsen = 0;
    for (int i = 0; i < 20000; ++i) {
        ++seen[f.Zufallszahl(35, 120)];
        einsen += f.Zufallszahl(1, 2) == 1;
        ASSERT_EQ(f.Zufallszahl(5, 4), 5);
    }
    EXPECT_EQ(seen.size(), 86u);
    EXPECT_EQ(seen.begin()->first, 35);
    EXPECT_EQ(seen.rbegin()->first, 120);
    EXPECT_NEAR(einsen, 10000, 6 * std::sqrt(5000.0));  // six standard deviations
    std::set<double> burst;  // far quicker than the clock moves on
    for (int i = 0; i < 1000; ++i) burst.insert(f.Zufallszahl(1, 1000000));
    EXPECT_GT(burst.size(), 990u);
}

}  // namespace
