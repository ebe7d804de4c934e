// Enemies: how they come in, move, go and are counted; the random numbers behind them.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <tuple>

#include "support/GameHarness.h"

namespace {

struct Enemies : ::testing::Test {
    GameHarness h;
    void SetUp() override { h.startGame(); h.ui().Spieler.Left = h.ui().Spieler.Top = 10; }
    // The draws of one spawn in their order; `welle` is the raw draw: from 0.4 (3 of 1..5) it goes
    // straight and draws no direction.
    void draws(int größe, int top, float welle, int richtung, int bild, int abstand, int takt) {
        h.random.pushResult(35, 120, größe);
        h.random.pushResult(1, h.form1->ScaleHeight() - größe, top);
        h.random.push(welle);
        if (welle < 0.4f) h.random.pushResult(1, 2, richtung);
        h.random.pushResult(1, h.form1->gegnergrafiken, bild);
        h.random.pushResult(10, 50, abstand);
        h.random.pushResult(40, 90, takt);
    }
    forms::Image& g(int16_t i) { return h.ui().Gegner[i]; }
    bool lebt(int16_t i) {
        EXPECT_EQ(h.ui().Gegner.exists(i), h.ui().Gegnertimer.exists(i)) << "an enemy and its timer come and go together";
        return h.ui().Gegner.exists(i);
    }
    void tick(int16_t i) { h.app.dispatch([&] { h.form1->Gegnertimer_Timer(i); }); }
    // A straight enemy moved to (left, top); returns its index.
    int16_t spawn(float left, float top, int größe = 40, const char* tag = "") {
        draws(größe, 100, 0.5f, 0, 1, 10, 50);
        h.app.dispatch([&] { h.form1->Gegnerspawn(); });
        forms::Image& neu = g(h.ui().Gegner.UBound());
        neu.Left = left, neu.Top = top, neu.Tag = tag;
        return neu.Index;
    }
};

TEST_F(Enemies, ASpawnerTickMakesOneEnemyFromItsDrawsInOrder) {
    std::filesystem::rename(h.file("gegner3.gif"), h.file("GEGNER3.gif"));
    draws(57, 200, 0.3f, 2, 3, 10, 61);
    draws(120, h.form1->ScaleHeight() - 120, 0.4f, 0, 1, 50, 90);  // the largest draws
    draws(35, 1, 0.39f, 1, 2, 10, 40);  // the smallest
    h.advance(3000);
    const float rechts = h.form1->ScaleWidth();  // they come in beyond the right edge
    EXPECT_EQ(std::tuple(g(1).Visible, g(1).Width, g(1).Height, g(1).Top, g(1).Left, g(1).Tag), std::tuple(true, 57.f, 57.f, 200.f, rechts + 10, "plu"));
    std::error_code ec;  // the name as it is on disk (Windows would find it in any case)
    EXPECT_TRUE(std::filesystem::equivalent(g(1).picture->path, h.file("GEGNER3.gif"), ec)) << "the very file start-up counted";
    EXPECT_EQ(std::pair(h.ui().Gegnertimer[1].Interval(), h.ui().Gegnertimer[1].Enabled()), std::pair(61, true));
    h.advance(3000);
    EXPECT_FLOAT_EQ(g(1).Left, rechts + 10 - 49 * 10) << "its own timer moved it 49 times in 3 s";
    EXPECT_EQ(std::tuple(g(2).Tag, g(2).Width, g(2).Top, g(2).Left, h.ui().Gegnertimer[2].Interval()),
              std::tuple("", 120.f, h.form1->ScaleHeight() - 120.f, rechts + 50, 90)) << "a straight one draws no direction";
    h.advance(3000);
    EXPECT_EQ(std::tuple(g(3).Tag, g(3).Width, g(3).Top, g(3).Left, h.ui().Gegnertimer[3].Interval(), h.random.left()),
              std::tuple("min", 35.f, 1.f, rechts + 10, 40, 0u));
    EXPECT_EQ(std::filesystem::path(g(3).picture->path).filename(), "gegner2.gif");
}

// At 15 s the level-up retimes the spawner that is due at that very moment: it still sends its enemy.
TEST_F(Enemies, TheFirstSpawnerSendsOneEveryThreeSecondsAlsoAtTheLevelUp) {
    for (int16_t n = 1; n <= 5; ++n) {
        h.advance(2999);
        EXPECT_EQ(h.ui().Gegner.UBound(), n - 1);
        h.advance(1);
        EXPECT_EQ(h.ui().Gegner.UBound(), n) << "at " << h.clock.nowMs() << " ms";
    }
    EXPECT_EQ(h.form1->Level, 2);
    h.advance(2916);
    EXPECT_EQ(h.ui().Gegner.UBound(), 5);
    h.advance(1);
    EXPECT_EQ(h.ui().Gegner.UBound(), 6) << "then at the new interval of 2917 ms";
}

TEST_F(Enemies, IndicesAreReusedOnlyFromTheTop) {
    auto entfernen = [&](int16_t i) { h.ui().Gegner.Unload(i); h.ui().Gegnertimer.Unload(i); };
    for (int i = 0; i < 3; ++i) spawn(300, 300);
    entfernen(3);
    EXPECT_EQ(spawn(300, 300), 3);
    entfernen(2);
    EXPECT_EQ(spawn(300, 300), 4);
}

TEST_F(Enemies, WaversSwingByTheirLeftBeforeTheStepStraightOnesKeepTheirHeight) {
    const float gipfel = 100 * std::acos(0.0);  // sin(Left / 100) = 1
    const int16_t gerade = spawn(300, 300), plus = spawn(gipfel, 300, 40, "plu"), minus = spawn(gipfel, 300, 40, "min"), amRand = spawn(0, 300, 40, "min");
    h.form1->Gegnergeschwindigkeit = 13;  // the speed of the moment, not the starting 10
    for (int16_t i : {gerade, plus, minus, amRand}) tick(i);
    EXPECT_EQ(std::pair(g(gerade).Left, g(gerade).Top), std::pair(287.f, 300.f));
    EXPECT_FLOAT_EQ(g(plus).Top, 308);
    EXPECT_FLOAT_EQ(g(minus).Top, 292);
    EXPECT_FLOAT_EQ(g(amRand).Top, 300);
}

TEST_F(Enemies, OnlyARightEdgePastTheWindowCountsATouchedOneGoesUncountedOnTheSeventhTick) {
    const int16_t geht = spawn(-30, 300);
    tick(geht);  // Left + Width = 0: stays
    EXPECT_TRUE(lebt(geht));
    const int16_t trifft = spawn(0, 0, 120);
    tick(geht);  // goes, counted, and the tick still checks contacts
    EXPECT_FALSE(lebt(geht));
    EXPECT_EQ(h.form1->gegnerbesiegt, 1);
    EXPECT_EQ(g(trifft).Tag, "ex");
    h.form1->Gegnergeschwindigkeit = 1;  // it overlaps the player all the while
    for (int n = 0; n < 6; ++n) tick(trifft);
    EXPECT_TRUE(lebt(trifft));
    tick(trifft);
    EXPECT_FALSE(lebt(trifft));
    EXPECT_EQ(h.form1->Leben, 2);
    EXPECT_EQ(h.form1->gegnerbesiegt, 1);
    EXPECT_FALSE(h.app.ended()) << "an enemy unloads its own timer in its tick";
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
