// Power-up items and their effects: the kinds and colours, the pacing, the drift to the left
// edge, and the countdown of the timed kinds.
#include <gtest/gtest.h>

#include "support/GameHarness.h"

namespace {

class Items : public ::testing::Test {
protected:
    GameHarness h;
    void SetUp() override {
        h.startGame();
        // Only the items move: no enemies, no level-ups.
        h.ui().Spawner[0].Enabled(false);
        h.ui().Leveluptimer.Enabled(false);
    }
    // The random draws of one item: its kind, its height and its timer's interval.
    void nächstesItem(int art, int top = 1, int intervall = 50) {
        h.random.pushResult(1, 12, art);
        h.random.pushResult(1, h.form1->ScaleHeight() - 40, top);
        h.random.pushResult(50, 100, intervall);
    }
};

TEST_F(Items, EveryKindDrawGivesItsKindAndColour) {
    using Art = std::pair<std::string, forms::Color>;
    const Art health{"health", 0x00FF80FF}, shrink{"shrink", 0x0000FF00}, speeed{"speeed", 0x0000FFFF}, levelu{"levelu", 0x00800080};
    const Art erwartet[] = {health, health, health, health, shrink, shrink, shrink, shrink, speeed, speeed, speeed, levelu};
    for (int16_t k = 1; k <= 12; ++k) {
        nächstesItem(k);
        h.form1->Powerspawn();
        EXPECT_EQ(Art(h.ui().Power[k].Tag, h.ui().Power[k].BackColor), erwartet[k - 1]) << "draw " << k;
    }
}

TEST_F(Items, TheFirstComesAfterTenSecondsAndLeavesAtTheLeftEdge) {
    h.random.pushResult(10, 20, 14);
    nächstesItem(9, 100, 60);
    h.advance(9999);
    EXPECT_FALSE(h.ui().Power.exists(1));
    h.advance(1);
    ASSERT_TRUE(h.ui().Power.exists(1));
    forms::Shape& item = h.ui().Power[1];
    EXPECT_EQ(h.ui().Powerspawner.Interval(), 14000);
    EXPECT_TRUE(item.Visible);
    EXPECT_FLOAT_EQ(item.Left, h.form1->ScaleWidth() + 10);
    EXPECT_FLOAT_EQ(item.Top, 100);
    EXPECT_FLOAT_EQ(item.Width, 40);
    EXPECT_EQ(h.ui().Powertimer[1].Interval(), 60);

    item.Left = -30;
    h.advance(60);
    EXPECT_FLOAT_EQ(item.Left, -40) << "its right edge on the window's edge: still there";
    h.advance(60);
    EXPECT_FALSE(h.ui().Power.exists(1));
    EXPECT_FALSE(h.ui().Powertimer.exists(1));
}

TEST_F(Items, PickupsDuringTheCountdown) {
    game::Form1& f = *h.form1;
    auto& ui = h.ui();
    ui.Powerspawner.Enabled(false);
    auto zeit = [&] { return ui.Label5.Visible ? ui.Label5.Caption : "-"; };

    f.Powerup("speeed");
    EXPECT_EQ(zeit(), "10");
    EXPECT_TRUE(ui.Label6.Visible);
    EXPECT_EQ(f.Geschwindigkeit, 10);
    h.advance(6000);
    f.Powerup("speeed");  // at 4: one second off, then ten again
    EXPECT_EQ(zeit(), "10");
    EXPECT_EQ(f.Geschwindigkeit, 20);
    h.advance(9000);
    f.Powerup("speeed");  // at 1: the running effect ends first
    EXPECT_EQ(zeit(), "10");
    EXPECT_EQ(f.Geschwindigkeit, 10);

    h.advance(4000);
    f.Powerup("health");  // at 6: one second off, no fresh countdown
    EXPECT_EQ(zeit(), "5");
    EXPECT_EQ(f.Leben, 4);
    EXPECT_EQ(f.neuesleben, 4);

    f.Powerup("shrink");
    f.Powerup("shrink");
    EXPECT_FLOAT_EQ(ui.Spieler.Width, 49.0f / 4);
    EXPECT_FLOAT_EQ(ui.Spieler.Height, 49.0f / 4);
    EXPECT_EQ(zeit(), "10");
    h.advance(10000);
    EXPECT_EQ(zeit(), "-");
    EXPECT_FALSE(ui.Label6.Visible || ui.Timer1.Enabled());
    EXPECT_EQ(f.Geschwindigkeit, 5);
    EXPECT_FLOAT_EQ(ui.Spieler.Width, 49);

    f.Powerup("levelu");
    EXPECT_EQ(zeit(), "-");
    f.Powerup("");  // no kind: just the countdown
    EXPECT_EQ(zeit(), "10");
    EXPECT_EQ(f.Geschwindigkeit, 5);
    EXPECT_EQ(f.Leben, 4);
}

}  // namespace
