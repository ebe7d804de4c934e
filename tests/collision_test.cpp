// Contacts between the player and enemies or items, lives and the end of a game.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/GameHarness.h"

namespace {

class Contacts : public ::testing::Test {
protected:
    GameHarness h;
    void SetUp() override {
        h.startGame();
        spieler(300, 300, 48.75f);
    }
    void spieler(float left, float top, float größe) {
        auto& s = h.ui().Spieler;
        s.Left = left, s.Top = top, s.Width = s.Height = größe;
    }
    bool berührt(float left, float top, float größe) const {
        forms::Image s;
        s.Left = left, s.Top = top, s.Width = s.Height = größe;
        return h.form1->Kontakttest(s);
    }
    template <class T>
    T& sprite(forms::ControlArray<T>& sprites, forms::ControlArray<forms::Timer>& timer, int16_t i) {
        auto& s = sprites.Load(i);
        timer.Load(i);
        s.Visible = true, s.Left = s.Top = 290, s.Width = s.Height = 40;
        return s;
    }
    forms::Image& gegner(int16_t i) { return sprite(h.ui().Gegner, h.ui().Gegnertimer, i); }
    void kollision() { h.app.dispatch([&] { h.form1->Kollision(); }); }
};

TEST_F(Contacts, OnlyTheTopAndLeftMidpointsOrAPlayerCornerInTheCircleCountStrictly) {
    spieler(0, 100, 65);
    EXPECT_FALSE(berührt(10, 70, 40));  // overlaps the player's top 10 units only
    EXPECT_TRUE(berührt(10, 120, 40));  // top midpoint inside
    EXPECT_FALSE(berührt(10, 65, 40));  // bottom midpoint inside: does not count
    EXPECT_FALSE(berührt(-20, 110, 40));  // right midpoint inside: does not count
    EXPECT_TRUE(berührt(40, 90, 40));  // left midpoint inside
    EXPECT_FALSE(berührt(0, 100, 40));  // corner on corner: both midpoints on an edge
    EXPECT_TRUE(berührt(1, 101, 40));
    for (float top : {40.f, 80.f, 100.f, 130.f, 160.f}) EXPECT_FALSE(berührt(65, top, 40)) << top;
    spieler(30, 30, 65);
    EXPECT_TRUE(berührt(0, 0, 120));  // the player inside: only a corner finds it
    spieler(96, -8, 20);
    EXPECT_FALSE(berührt(0, 0, 120));  // corner (96, 12) exactly on the circle
    spieler(95, -7, 20);
    EXPECT_TRUE(berührt(0, 0, 120));
}

TEST_F(Contacts, OneContactPerCallLowestIndexFirstEnemiesBeforeItemsTouchedOnesNeverAgain) {
    gegner(1).Visible = false;
    gegner(2).Tag = "ex";
    gegner(3);
    gegner(4);
    sprite(h.ui().Power, h.ui().Powertimer, 1).Tag = "health";
    kollision();
    EXPECT_EQ(h.form1->Leben, 2);
    EXPECT_EQ(h.ui().Gegner[3].Tag, "ex");
    EXPECT_EQ(std::filesystem::path(h.ui().Gegner[3].picture->path).filename(), "gegner_touched.gif");
    EXPECT_EQ(h.ui().Gegner[4].Tag, "");
    EXPECT_TRUE(h.ui().Textfader4.Enabled());
    kollision();
    EXPECT_EQ(h.form1->Leben, 1);
    EXPECT_TRUE(h.ui().Power.exists(1));
    kollision();  // the item's kind reaches its effect
    EXPECT_EQ(h.form1->Leben, 2);
    EXPECT_FALSE(h.ui().Power.exists(1) || h.ui().Powertimer.exists(1));
    EXPECT_EQ(h.ui().Gegner[1].Tag, "");
}

TEST_F(Contacts, TheLastLifeStopsEverythingScoresAndStillShowsZeroLives) {
    h.form1->Leben = 1, h.form1->Level = 4, h.form1->gegnerbesiegt = 23;
    h.form1->Label2_fade();  // a level message under way freezes where it is
    h.advance(50);
    gegner(1);
    auto& fern = gegner(2);
    fern.Left = 800;
    h.ui().Gegnertimer[2].Interval(50), h.ui().Gegnertimer[2].Enabled(true);
    kollision();
    EXPECT_EQ(h.form1->Leben, 0);
    EXPECT_EQ(h.form1->gegnerbesiegt, 53);
    EXPECT_EQ(h.ui().Gegner[1].Tag, "ex");
    h.advance(60000);
    EXPECT_EQ(h.ui().Label4.Caption, "0");
    EXPECT_EQ(h.ui().Label4.Top, 0);
    EXPECT_EQ(h.ui().Label2.Top, -5);
    EXPECT_EQ(fern.Left, 800);
    EXPECT_FALSE(h.ui().Gegner.exists(3));
    EXPECT_EQ(h.form1->Level, 4);

    GameHarness lang;  // a score past 16 bits is held at the largest instead of ending the game
    lang.startGame();
    lang.form1->Leben = 1, lang.form1->Level = 3300, lang.form1->gegnerbesiegt = 5;
    auto& g = lang.ui().Gegner.Load(1);
    g.Visible = true, g.Width = g.Height = 40;
    g.Left = lang.ui().Spieler.Left + 1, g.Top = lang.ui().Spieler.Top + 1;
    lang.app.dispatch([&] { lang.form1->Kollision(); });
    EXPECT_EQ(lang.form1->gegnerbesiegt, 32767);
    EXPECT_FALSE(lang.app.ended());
}

}  // namespace
