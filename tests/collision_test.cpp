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
        s.Left = left;
        s.Top = top;
        s.Width = s.Height = größe;
    }
    bool berührt(float left, float top, float größe) const {
        forms::Image s;
        s.Left = left;
        s.Top = top;
        s.Width = s.Height = größe;
        return h.form1->Kontakttest(s);
    }
    // An enemy as the spawn leaves it, placed by hand.
    forms::Image& gegner(int16_t i, float left, float top, float größe = 40) {
        auto& g = h.ui().Gegner.Load(i);
        h.ui().Gegnertimer.Load(i);
        g.Visible = true;
        g.Left = left;
        g.Top = top;
        g.Width = g.Height = größe;
        return g;
    }
    forms::Shape& item(int16_t i, float left, float top, const char* art) {
        auto& p = h.ui().Power.Load(i);
        h.ui().Powertimer.Load(i);
        p.Visible = true;
        p.Left = left;
        p.Top = top;
        p.Width = p.Height = 40;
        p.Tag = art;
        return p;
    }
    void kollision() { h.app.dispatch([&] { h.form1->Kollision(); }); }
};

TEST_F(Contacts, OnlyTheTopAndLeftMidpointsOrAPlayerCornerInTheCircleCountStrictly) {
    spieler(0, 100, 65);
    EXPECT_FALSE(berührt(10, 70, 40)) << "overlaps the player's top 10 units only";
    EXPECT_TRUE(berührt(10, 120, 40)) << "top midpoint inside";
    EXPECT_FALSE(berührt(10, 65, 40)) << "the bottom midpoint inside does not count";
    EXPECT_FALSE(berührt(-20, 110, 40)) << "nor does the right midpoint";
    EXPECT_TRUE(berührt(40, 90, 40)) << "left midpoint inside";
    EXPECT_FALSE(berührt(0, 100, 40)) << "corner on corner: both midpoints on an edge";
    EXPECT_TRUE(berührt(1, 101, 40));
    for (float top : {40.f, 80.f, 100.f, 130.f, 160.f})
        EXPECT_FALSE(berührt(65, top, 40)) << "left edge on the player's right edge, top " << top;

    spieler(30, 30, 65);
    EXPECT_TRUE(berührt(0, 0, 120)) << "player inside the enemy: only a corner finds it";
    spieler(96, -8, 20);
    EXPECT_FALSE(berührt(0, 0, 120)) << "bottom-left corner (96, 12) lies on the circle: no contact";
    spieler(95, -7, 20);
    EXPECT_TRUE(berührt(0, 0, 120));
}

TEST_F(Contacts, OneContactPerCallLowestIndexFirstEnemiesBeforeItems) {
    gegner(1, 290, 290).Visible = false;
    gegner(2, 290, 290).Tag = "ex";
    gegner(3, 290, 290);
    gegner(4, 290, 290);
    item(1, 290, 290, "kein Typ");

    kollision();
    EXPECT_EQ(h.form1->Leben, 2);
    EXPECT_EQ(h.ui().Gegner[3].Tag, "ex");
    EXPECT_EQ(std::filesystem::path(h.ui().Gegner[3].picture->path).filename(), "gegner_touched.gif");
    EXPECT_EQ(h.ui().Gegner[4].Tag, "");
    EXPECT_TRUE(h.ui().Textfader4.Enabled()) << "the lives number starts to slide";
    EXPECT_EQ(h.form1->neuesleben, 2);

    kollision();
    EXPECT_EQ(h.form1->Leben, 1);
    EXPECT_EQ(h.ui().Gegner[4].Tag, "ex");
    EXPECT_TRUE(h.ui().Power.exists(1)) << "items wait while an enemy touches";

    kollision();  // touched enemies never hit again; now the item is collected, whatever its kind
    EXPECT_EQ(h.form1->Leben, 1);
    EXPECT_FALSE(h.ui().Power.exists(1));
    EXPECT_FALSE(h.ui().Powertimer.exists(1));
    EXPECT_EQ(h.ui().Gegner[1].Tag, "") << "hidden enemies are never touched";
}

TEST_F(Contacts, TheLastLifeStopsEverythingScoresAndStillShowsZeroLives) {
    h.form1->Leben = 1;
    h.form1->Level = 4;
    h.form1->gegnerbesiegt = 23;
    h.ui().Label2.Tag = "u";  // a level message half way
    h.ui().Textfader2.Interval(10);
    h.ui().Textfader2.Enabled(true);
    h.advance(50);
    gegner(1, 290, 290);
    gegner(2, 800, 100);
    h.ui().Gegnertimer[2].Interval(50);
    h.ui().Gegnertimer[2].Enabled(true);

    kollision();
    EXPECT_EQ(h.form1->Leben, 0);
    EXPECT_EQ(h.form1->gegnerbesiegt, 53) << "23 passed and 10 for each of levels 2 to 4";
    EXPECT_EQ(h.ui().Gegner[1].Tag, "ex");
    for (forms::Control* c : h.form1->controls()) {
        if (c->kind() != forms::ControlKind::Timer || c == &h.ui().Textfader4 || c == &h.ui().Highscoreblinker) continue;
        EXPECT_FALSE(static_cast<forms::Timer*>(c)->Enabled()) << c->Name;
    }

    h.advance(60000);
    EXPECT_EQ(h.ui().Label4.Caption, "0");
    EXPECT_FLOAT_EQ(h.ui().Label4.Top, 0);
    EXPECT_FLOAT_EQ(h.ui().Label2.Top, -5) << "the level message froze where it was";
    EXPECT_FLOAT_EQ(h.ui().Gegner[2].Left, 800);
    EXPECT_FALSE(h.ui().Gegner.exists(3)) << "nothing spawns any more";
    EXPECT_EQ(h.form1->Level, 4);
    EXPECT_FALSE(h.app.ended());
}

TEST_F(Contacts, AScoreBeyond16BitsIsHeldAtTheLargestInsteadOfEndingTheGame) {
    h.form1->Leben = 1;
    h.form1->Level = 3300;
    h.form1->gegnerbesiegt = 5;
    gegner(1, 290, 290);
    kollision();
    EXPECT_EQ(h.form1->gegnerbesiegt, 32767);
    EXPECT_FALSE(h.app.ended());
}

}  // namespace
