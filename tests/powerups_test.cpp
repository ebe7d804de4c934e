// Power-up items: their kinds and colours, the pacing, the drift off the left edge, the countdown.
#include <gtest/gtest.h>

#include "support/GameHarness.h"

namespace {

struct Items : ::testing::Test {
    GameHarness h;
    void SetUp() override {
        h.startGame();
        h.ui().Spawner[0].Enabled(false);  // only the items move: no enemies, no level-ups
        h.ui().Leveluptimer.Enabled(false);
    }
    void nächstesItem(int art, int top = 1, int intervall = 50) {
        h.random.pushResult(1, 12, art);
        h.random.pushResult(1, h.form1->ScaleHeight() - 40, top);
        h.random.pushResult(50, 100, intervall);
    }
};

TEST_F(Items, EveryKindDrawGivesItsKindAndColour) {
    const std::pair<std::string, forms::Color> health{"health", 0x00FF80FF}, shrink{"shrink", 0x0000FF00}, speeed{"speeed", 0x0000FFFF},
        levelu{"levelu", 0x00800080}, erwartet[] = {health, health, health, health, shrink, shrink, shrink, shrink, speeed, speeed, speeed, levelu};
    for (int16_t k = 1; k <= 12; ++k) {
        nächstesItem(k);
        h.form1->Powerspawn();
        const forms::Shape& item = h.ui().Power[k];
        EXPECT_EQ(std::tuple(item.Tag, item.BackColor, item.Top, item.Width, item.Height, h.ui().Powertimer[k].Interval()),
                  std::tuple(erwartet[k - 1].first, erwartet[k - 1].second, 1.0f, 40.0f, 40.0f, 50)) << "draw " << k;
    }
}

TEST_F(Items, TheFirstComesAfterTenSecondsAndLeavesAtTheLeftEdge) {
    h.random.pushResult(10, 20, 20);  // the longest pause
    const int unten = static_cast<int>(h.form1->ScaleHeight()) - 40;  // the lowest place and the slowest pace
    nächstesItem(9, unten, 100);
    h.advance(9999);
    EXPECT_FALSE(h.ui().Power.exists(1));
    h.advance(1);
    ASSERT_TRUE(h.ui().Power.exists(1));
    forms::Shape& item = h.ui().Power[1];
    EXPECT_EQ(h.ui().Powerspawner.Interval(), 20000) << "the next after a fresh pause";
    EXPECT_EQ(std::tuple(item.Visible, item.Left, item.Top, h.ui().Powertimer[1].Interval()), std::tuple(true, h.form1->ScaleWidth() + 10.0f, static_cast<float>(unten), 100));
    item.Left = -28;
    h.form1->Gegnergeschwindigkeit = 12;  // items step at the enemies' speed of the moment
    h.advance(100);
    ASSERT_TRUE(h.ui().Power.exists(1) && item.Left == -40) << "its right edge on the window's edge: still there";
    h.advance(100);
    EXPECT_FALSE(h.ui().Power.exists(1) || h.ui().Powertimer.exists(1));
    h.random.pushResult(10, 20, 10);  // and the shortest pause after the next
    nächstesItem(9);
    h.advance(19800);
    EXPECT_EQ(std::pair(h.ui().Power.exists(1), h.ui().Powerspawner.Interval()), std::pair(true, 10000));
}

// A player standing still picks up an item that steps into it.
TEST_F(Items, AnItemPicksItselfUpOnTheStepThatReachesThePlayer) {
    nächstesItem(9, 200);
    h.form1->Powerspawn();
    forms::Image& spieler = h.ui().Spieler;
    spieler.Left = h.ui().Power[1].Left - spieler.Width - 1, spieler.Top = 190;
    h.advance(49);
    ASSERT_TRUE(h.ui().Power.exists(1));
    h.advance(1);
    EXPECT_FALSE(h.ui().Power.exists(1));
    EXPECT_EQ(h.form1->Geschwindigkeit, 10) << "twice the speed";
}

TEST_F(Items, PickupsDuringTheCountdown) {
    h.ui().Powerspawner.Enabled(false);
    // ms since the step before, the kind picked up, then the countdown shown ("-" none), speed and size.
    const std::tuple<int, const char*, const char*, double, float> schritte[] = {  // kind nullptr: no pickup
        {0, "speeed", "10", 10, 48.75f},
        {6000, "speeed", "10", 20, 48.75f},  // at 4: one second off, then ten again
        {9000, "speeed", "10", 10, 49},      // at 1: the running effects end first
        {4000, "health", "5", 10, 49},       // at 6: one second off, no fresh countdown
        {0, "shrink", "10", 10, 24.5f},
        {0, "shrink", "10", 10, 12.25f},  // a second one halves again
        {4500, "speeed", "10", 20, 12.25f},  // between two ticks: at 6, one second off, then ten again
        {500, nullptr, "9", 20, 12.25f},     // the countdown keeps its rhythm: the next second ends on time
        {10000, "levelu", "-", 5, 49},    // all undone at 0; "levelu" acts at once, without a countdown
    };
    for (const auto& [nach, art, zeit, tempo, größe] : schritte) {
        SCOPED_TRACE(::testing::Message() << (art ? art : "nothing") << " after " << nach << " ms");
        h.advance(nach);
        if (art) h.form1->Powerup(art);
        EXPECT_EQ(h.ui().Label5.Visible && h.ui().Label6.Visible ? h.ui().Label5.Caption : "-", zeit);
        EXPECT_EQ(h.form1->Geschwindigkeit, tempo);
        EXPECT_EQ(std::pair(h.ui().Spieler.Width, h.ui().Spieler.Height), std::pair(größe, größe));
    }
    EXPECT_EQ(h.form1->Level, 6);
}

}  // namespace
