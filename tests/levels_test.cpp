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
    h.advance(15000 + 300);
    EXPECT_EQ(h.form1->Level, 2);
    EXPECT_EQ(ui->Spawner[0].Interval(), 2917);
    EXPECT_EQ(ui->Label2.Caption, "1");
    h.advance(10);
    EXPECT_EQ(ui->Label2.Caption, "2");  // out of sight on the 31st tick
    h.advance(310);
    EXPECT_EQ(ui->Label2.Top, 0);
    EXPECT_FALSE(ui->Textfader2.Enabled());
    for (int intervall : {2333, 1750, 1167}) {
        h.advance(15000);
        EXPECT_EQ(ui->Spawner[0].Interval(), intervall);
    }
    h.advance(15000 - 621);
    h.random.pushResult(500, 2000, 1234);
    h.advance(1);
    EXPECT_EQ(h.form1->Level, 6);
    EXPECT_EQ(h.form1->sublevel, 0);
    EXPECT_EQ(h.form1->Gegnergeschwindigkeit, 11);
    EXPECT_EQ(ui->Spawner[0].Interval(), 3500);
    EXPECT_EQ(ui->Spawner[6].Interval(), 1234);
    EXPECT_TRUE(ui->Spawner[6].Enabled());
    EXPECT_EQ(ui->Spawner.count(), 2u);
}

TEST_F(Levels, FiveAtOnceAreDroppedWhileTheNumberSlidesAndOtherwiseRestartTheClock) {
    h.advance(15000);
    levelup(5);
    EXPECT_EQ(h.form1->Level, 2);
    EXPECT_EQ(h.form1->sublevel, 1);
    EXPECT_EQ(ui->Spawner.count(), 1u);
    h.advance(1000);
    levelup(5);  // level 7, sublevel 6: a spawner at 7, sublevel 1
    EXPECT_EQ(h.form1->Level, 7);
    EXPECT_EQ(h.form1->sublevel, 1);
    EXPECT_EQ(h.form1->Gegnergeschwindigkeit, 11);
    h.advance(14999);
    EXPECT_EQ(h.form1->Level, 7);
    h.advance(1);
    EXPECT_EQ(h.form1->Level, 8);
    EXPECT_EQ(ui->Spawner[0].Interval(), 2333);
    EXPECT_EQ(ui->Spawner[7].Interval(), 2333);
}

TEST_F(Levels, LivesLostOnTheWayUpShowTheLastNumberOnTheWayDownRunOnceMore) {
    h.form1->neuesleben = 2;
    h.form1->Label4_fade();
    h.advance(50);
    h.form1->neuesleben = 1;
    h.form1->Label4_fade();
    EXPECT_EQ(ui->Label4.Top, -5);
    h.advance(570);
    EXPECT_EQ(ui->Label4.Caption, "1");
    EXPECT_EQ(ui->Label4.Top, 0);
    EXPECT_FALSE(ui->Textfader4.Enabled());

    h.form1->neuesleben = 2;
    h.form1->Label4_fade();
    h.advance(320);  // changed on the 31st tick, one tick down since
    EXPECT_EQ(ui->Label4.Caption, "2");
    h.form1->neuesleben = 4;
    h.form1->Label4_fade();
    h.advance(10);
    EXPECT_EQ(ui->Label4.Caption, "4");  // out of sight again at once
    h.advance(310 + 610);
    EXPECT_TRUE(ui->Textfader4.Enabled());  // the extra run
    h.advance(10);
    EXPECT_EQ(ui->Label4.Top, 0);
    EXPECT_FALSE(ui->Textfader4.Enabled());
    EXPECT_EQ(ui->Label4.Tag, "u");
    EXPECT_EQ(h.form1->nochmalfaden, forms::False);
}

}  // namespace
