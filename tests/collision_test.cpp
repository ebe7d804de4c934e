// Contacts at their edges and a score past 16 bits: what the whole games of game_trace_test do not reach.
#include <gtest/gtest.h>

#include "support/GameHarness.h"

namespace {

void setze(forms::Control& c, float left, float top, float größe) { c.Left = left, c.Top = top, c.Width = c.Height = größe; }

// A game under way with the player at (300, 300), 48.75 wide.
struct Spiel : GameHarness {
    Spiel() { startGame(); setze(ui().Spieler, 300, 300, 48.75f); }
    bool berührt(float left, float top, float größe) const { forms::Image s; setze(s, left, top, größe); return form1->Kontakttest(s); }
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

// A score past 16 bits is held at the largest instead of ending the game with an overflow.
TEST(GameOver, AScorePastSixteenBitsIsHeldAtTheLargest) {
    Spiel s;
    s.form1->Leben = 1, s.form1->Level = 3300, s.form1->gegnerbesiegt = 5;
    s.ui().Gegnertimer.Load(1);
    setze(s.ui().Gegner.Load(1), 290, 290, 40);
    s.ui().Gegner[1].Visible = true;
    s.app.dispatch([&] { s.form1->Kollision(); });
    EXPECT_EQ(s.form1->gegnerbesiegt, 32767);
    EXPECT_TRUE(s.ui().Highscore.Visible);
    EXPECT_FALSE(s.app.ended());
}

}  // namespace
