// Contacts between the player and enemies or items, lives and the end of a game.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "support/GameHarness.h"

namespace {

void setze(forms::Control& c, float left, float top, float größe) { c.Left = left, c.Top = top, c.Width = c.Height = größe; }

// A game under way with the player at (300, 300), 48.75 wide; a sprite at (290, 290), 40 wide, touches it.
struct Spiel : GameHarness {
    Spiel() { startGame(); setze(ui().Spieler, 300, 300, 48.75f); }
    bool berührt(float left, float top, float größe) const { forms::Image s; setze(s, left, top, größe); return form1->Kontakttest(s); }
    template <class T>
    T& sprite(forms::ControlArray<T>& sprites, forms::ControlArray<forms::Timer>& timer, int16_t i) {
        timer.Load(i);
        T& s = sprites.Load(i);
        s.Visible = true;
        setze(s, 290, 290, 40);
        return s;
    }
    forms::Image& gegner(int16_t i) { return sprite(ui().Gegner, ui().Gegnertimer, i); }
    void kollision() { app.dispatch([&] { form1->Kollision(); }); }
};
struct Contacts : ::testing::Test, Spiel {};

TEST_F(Contacts, OnlyTheTopAndLeftMidpointsOrAPlayerCornerInTheCircleCountStrictly) {
    struct Fall { float links, oben, breite, höhe, x, y, d; bool berührt; };  // player, sprite, contact
    const Fall fälle[] = {
        {0, 100, 65, 65, -10, 120, 40, true},    // only the top midpoint inside
        {0, 100, 65, 65, 20, 85, 40, true},      // only the left midpoint inside
        {0, 100, 65, 65, 60, 75, 30, true},      // only the player's top-right corner in the circle
        {0, 100, 65, 65, 1, 101, 40, true},
        {0, 100, 65, 65, 10, 65, 40, false},     // bottom midpoint inside: does not count, nor does the overlap
        {0, 100, 65, 65, -20, 110, 40, false},   // right midpoint inside: does not count
        {0, 100, 65, 65, 0, 100, 40, false},     // corner on corner: both midpoints on an edge
        {0, 100, 65, 65, -20, 120, 40, false},   // top midpoint on the left edge
        {0, 100, 20, 65, 0, 110, 40, false},     // top midpoint on the right edge
        {0, 100, 65, 65, 10, 165, 40, false},    // top midpoint on the bottom edge
        {0, 100, 65, 65, 10, 80, 40, false},     // left midpoint on the top edge
        {0, 100, 200, 20, 10, 100, 40, false},   // left midpoint on the bottom edge
        {0, 100, 65, 65, 65, 40, 40, false}, {0, 100, 65, 65, 65, 80, 40, false}, {0, 100, 65, 65, 65, 100, 40, false},
        {0, 100, 65, 65, 65, 130, 40, false}, {0, 100, 65, 65, 65, 160, 40, false},
        {30, 30, 65, 65, 0, 0, 120, true},       // the player inside: only a corner finds it
        {96, -8, 20, 20, 0, 0, 120, false},      // corner (96, 12) exactly on the circle
        {95, -7, 20, 20, 0, 0, 120, true},
    };
    for (const Fall& f : fälle) {
        setze(ui().Spieler, f.links, f.oben, f.breite);
        ui().Spieler.Height = f.höhe;
        EXPECT_EQ(berührt(f.x, f.y, f.d), f.berührt) << "case " << &f - fälle;
    }
}

TEST_F(Contacts, OneContactPerCallLowestIndexFirstEnemiesBeforeItemsTouchedOnesNeverAgain) {
    gegner(1).Visible = false;
    gegner(2).Tag = "ex";
    gegner(3);
    gegner(4);
    sprite(ui().Power, ui().Powertimer, 1).Tag = "health";
    kollision();
    EXPECT_EQ(form1->Leben, 2);
    ASSERT_EQ(std::pair(ui().Gegner[3].Tag, ui().Gegner[4].Tag), std::pair(std::string("ex"), std::string()));
    ASSERT_NE(ui().Gegner[3].picture, nullptr);
    EXPECT_EQ(std::filesystem::path(ui().Gegner[3].picture->path).filename(), "gegner_touched.gif");
    EXPECT_TRUE(ui().Textfader4.Enabled());
    const auto zahl = [&] { advance(700); return ui().Label4.Caption; };  // the lives number, slid back
    EXPECT_EQ(zahl(), "2");
    kollision();
    EXPECT_EQ(form1->Leben, 1);  // the item waits for the next call
    EXPECT_EQ(zahl(), "1");
    kollision();  // the item's kind reaches its effect
    EXPECT_EQ(form1->Leben, 2);
    EXPECT_EQ(zahl(), "2");
    EXPECT_FALSE(ui().Power.exists(1) || ui().Powertimer.exists(1));
}

// 23 enemies past at level 4 score 53; a score past 16 bits is held at the largest instead of ending the game.
TEST(GameOver, TheLastLifeStopsEverythingScoresAndStillShowsZeroLives) {
    for (auto [level, besiegt, punkte] : {std::tuple(4, 23, 53), std::tuple(3300, 5, 32767)}) {
        Spiel s;
        s.form1->Leben = 1, s.form1->Level = level, s.form1->gegnerbesiegt = besiegt;
        s.gegner(1);
        s.gegner(2).Left = 800;  // far away, and on the move
        s.ui().Gegnertimer[2].Interval(50), s.ui().Gegnertimer[2].Enabled(true);
        s.kollision();
        EXPECT_EQ(s.form1->gegnerbesiegt, punkte);
        s.advance(60000);
        EXPECT_EQ(std::pair(s.ui().Label4.Caption, s.ui().Label4.Top), std::pair(std::string("0"), 0.0f)) << "the lives still slide to 0";
        EXPECT_EQ(s.ui().Gegner[2].Left, 800);
        EXPECT_FALSE(s.ui().Gegner.exists(3)) << "no spawner runs";
        EXPECT_TRUE(s.ui().Highscore.Visible);
        EXPECT_FALSE(s.app.ended());
    }
}

}  // namespace
