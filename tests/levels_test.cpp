// The level clock and the sliding status numbers.
#include <gtest/gtest.h>

#include "support/GameHarness.h"

namespace {

class Levels : public ::testing::Test {
protected:
    GameHarness h;
    game::Form1::Steuerelemente* ui = nullptr;
    void SetUp() override {
        h.startGame();
        ui = &h.ui();
        ui->Spieler.Top = 10;  // the scripted enemies all come in lower down
    }
    void levelup(int anzahl) { h.app.dispatch([&] { h.form1->Levelup(anzahl); }); }
};

TEST_F(Levels, EveryFifteenSecondsFasterSpawnersEveryFifthANewSpawnerAndFasterEnemies) {
    h.advance(15000);
    EXPECT_EQ(h.form1->Level, 2);
    EXPECT_EQ(h.form1->sublevel, 1);
    EXPECT_EQ(ui->Spawner[0].Interval(), 2917);
    h.advance(300);
    EXPECT_EQ(ui->Label2.Caption, "1");
    EXPECT_FLOAT_EQ(ui->Label2.Top, -30);
    h.advance(10);
    EXPECT_EQ(ui->Label2.Caption, "2") << "changed on the 31st tick, out of sight";
    h.advance(300);
    EXPECT_TRUE(ui->Textfader2.Enabled());
    h.advance(10);
    EXPECT_FLOAT_EQ(ui->Label2.Top, 0);
    EXPECT_FALSE(ui->Textfader2.Enabled());

    int erwartet[] = {2333, 1750, 1167};
    for (int i : erwartet) {
        h.advance(15000 - 620);
        EXPECT_EQ(ui->Spawner[0].Interval(), i);
        h.advance(620);
    }
    h.advance(15000 - 620 - 1);
    h.random.pushResult(500, 2000, 1234);
    h.advance(1);
    EXPECT_EQ(h.form1->Level, 6);
    EXPECT_EQ(h.form1->sublevel, 0);
    EXPECT_EQ(h.form1->Gegnergeschwindigkeit, 11);
    EXPECT_EQ(ui->Spawner[0].Interval(), 3500);
    ASSERT_TRUE(ui->Spawner.exists(6));
    EXPECT_EQ(ui->Spawner[6].Interval(), 1234);
    EXPECT_TRUE(ui->Spawner[6].Enabled());
    EXPECT_EQ(ui->Spawner.count(), 2u);
    EXPECT_EQ(h.form1->Leben, 3);
}

TEST_F(Levels, FiveLevelsAtOnceAreDroppedWhileTheNumberSlidesAndRestartTheClockOtherwise) {
    h.advance(15000);
    levelup(5);
    EXPECT_EQ(h.form1->Level, 2) << "dropped: the level message still slides";
    EXPECT_EQ(h.form1->sublevel, 1);
    EXPECT_FALSE(ui->Spawner.exists(7));
    EXPECT_EQ(h.form1->Gegnergeschwindigkeit, 10);

    h.advance(1000);
    levelup(5);  // at 16 s: level 7, sublevel 6
    EXPECT_EQ(h.form1->Level, 7);
    EXPECT_EQ(h.form1->sublevel, 1);
    EXPECT_TRUE(ui->Spawner.exists(7));
    EXPECT_EQ(ui->Spawner[0].Interval(), 3500);
    EXPECT_EQ(h.form1->Gegnergeschwindigkeit, 11);

    h.advance(14999);
    EXPECT_EQ(h.form1->Level, 7) << "the clock restarted with the jump";
    h.advance(1);
    EXPECT_EQ(h.form1->Level, 8);
    EXPECT_EQ(ui->Spawner[0].Interval(), 2333);
    EXPECT_EQ(ui->Spawner[7].Interval(), 2333) << "the new spawner is retimed with the others";
}

TEST_F(Levels, LevelMessageIgnoresARestartWhileItRuns) {
    h.form1->neuesLevel = 5;
    h.form1->Label2_fade();
    h.advance(400);  // on the way down
    const float top = ui->Label2.Top;
    h.form1->Label2_fade();
    EXPECT_EQ(ui->Label2.Tag, "d");
    h.advance(10);
    EXPECT_FLOAT_EQ(ui->Label2.Top, top + 1);
}

TEST_F(Levels, TwoLivesLostOnTheWayUpGiveOneAnimationWithTheLastNumber) {
    h.form1->neuesleben = 2;
    h.form1->Label4_fade();
    h.advance(50);
    h.form1->neuesleben = 1;
    h.form1->Label4_fade();
    EXPECT_FLOAT_EQ(ui->Label4.Top, -5) << "keeps going up from where it is";
    h.advance(260);
    EXPECT_EQ(ui->Label4.Caption, "1");
    h.advance(310);
    EXPECT_FLOAT_EQ(ui->Label4.Top, 0);
    EXPECT_FALSE(ui->Textfader4.Enabled());
    EXPECT_EQ(ui->Label4.Tag, "u");
    EXPECT_EQ(h.form1->nochmalfaden, forms::False);
}

TEST_F(Levels, ALifeLostOnTheWayDownTurnsTheNumberRoundAndRunsItOnceMore) {
    h.form1->neuesleben = 2;
    h.form1->Label4_fade();
    h.advance(320);  // exchanged at the 31st tick, one tick down since
    EXPECT_EQ(ui->Label4.Caption, "2");
    EXPECT_EQ(ui->Label4.Tag, "d");
    h.form1->neuesleben = 4;
    h.form1->Label4_fade();
    h.advance(10);
    EXPECT_EQ(ui->Label4.Caption, "4") << "out of sight again at once";
    h.advance(310);
    EXPECT_FLOAT_EQ(ui->Label4.Top, 0);
    EXPECT_TRUE(ui->Textfader4.Enabled()) << "and off once more";
    EXPECT_EQ(h.form1->nochmalfaden, forms::False);
    h.advance(10);
    EXPECT_FLOAT_EQ(ui->Label4.Top, -1);
    h.advance(610);
    EXPECT_FLOAT_EQ(ui->Label4.Top, 0);
    EXPECT_FALSE(ui->Textfader4.Enabled());
}

}  // namespace
