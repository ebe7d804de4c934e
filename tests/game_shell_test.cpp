// The game window as a player meets it: start-up, the start screen, starting, stopping and
// restarting a game, steering the sprite and the layout on resize.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <vector>

#include "Programmversion.h"
#include "platform/Script.h"
#include "support/Aufbau.h"
#include "support/GameHarness.h"
#include "support/Schreibschutz.h"

namespace {

using forms::Key::Down;
using forms::Key::Escape;
using forms::Key::Left;
using forms::Key::Right;
using forms::Key::Up;

std::string fileName(const forms::PictureRef& p) { return p ? std::filesystem::path(p->path).filename().string() : ""; }

TEST(StartUp, CountsPicturesUpToTheFirstGapAndIgnoresCase) {
    GameHarness h({5, 2});
    std::filesystem::remove(h.file("gegner4.gif"));
    std::filesystem::rename(h.file("gegner1.gif"), h.file("zwischen.gif"));  // in two steps: Windows keeps
    std::filesystem::rename(h.file("zwischen.gif"), h.file("Gegner1.GIF"));   // a name that differs in case only
    h.start();
    EXPECT_EQ(h.form1->gegnergrafiken, 3);
    EXPECT_EQ(h.form1->spielergrafiken, 2);
    EXPECT_EQ(fileName(h.ui().Gegnerbox.picture), "Gegner1.GIF");
    EXPECT_EQ(h.ui().Gegnerbox.Tag, "1");
    EXPECT_EQ(h.form1->Leben, 3);
    EXPECT_EQ(h.form1->Level, 1);
    EXPECT_EQ(h.form1->altegröße, 49) << "48.75 points, rounded";
    EXPECT_TRUE(h.ui().AvoidTimer.Enabled());
    EXPECT_TRUE(h.form1->Visible());
    EXPECT_FALSE(h.app.ended());
}

TEST(StartUp, AMissingPictureSetEndsTheProgramWithItsMessage) {
    for (PictureSet set : {PictureSet{0, 3}, PictureSet{3, 0}}) {
        GameHarness h(set);
        h.start();
        ASSERT_EQ(h.backend.shownBoxes().size(), 1u);
        EXPECT_EQ(h.backend.shownBoxes()[0].box.text, "Gegnergrafiken wurden nicht gefunden!");
        EXPECT_EQ(h.backend.shownBoxes()[0].box.title, "Error!");
        EXPECT_EQ(h.app.exitCode(), 1) << "not a success";
        EXPECT_FALSE(h.form1->Visible());
    }
}

TEST(StartUp, AMissingOrBrokenPictureEndsThroughTheRunTimeErrorNamingTheFile) {
    {
        GameHarness h;
        std::filesystem::remove(h.file("Splash.jpg"));
        h.start();
        EXPECT_EQ(h.app.exitCode(), 1);
        ASSERT_EQ(h.backend.shownBoxes().size(), 1u);
        EXPECT_NE(h.backend.shownBoxes()[0].box.text.find("Splash.jpg"), std::string::npos);
    }
    {
        GameHarness h;
        h.folder.write("gegner2.gif", std::string_view("GIF89a, but nothing else"));
        h.start();
        h.advance(1000);  // the preview asks for picture 2
        EXPECT_EQ(h.app.exitCode(), 1);
        EXPECT_NE(h.app.failure().find("gegner2.gif"), std::string::npos);
    }
}

// An update the player agrees to: the update window shows, the game window stays hidden.
TEST(StartUp, TheGameWindowStaysHiddenWhileTheUpdateRuns) {
    const std::string programm = platform::executableSuffix().empty() ? "#!/bin/sh\n" : "MZ";  // as this system's programs start
    GameHarness h({}, {{"version.txt", "Version: 9,000"}, {"Kreiselsturm.txt", programm}});
    h.backend.answerNext(forms::MsgResult::Yes);
    h.start();
    EXPECT_TRUE(h.form3->Visible());
    EXPECT_FALSE(h.form1->Visible());
}

// A leftover update script is deleted; one that cannot be (a read-only folder) stays, and the
// game starts all the same.
TEST(StartUp, DeletesALeftoverUpdateScriptOrPlaysWithIt) {
    for (const bool schreibgeschützt : {false, true}) {
        GameHarness h;
        const std::string skript = h.folder.write("Update.CMD", std::string_view("del x\r\n"));
        {
            Schreibschutz schutz(schreibgeschützt ? std::vector{h.folder.path(), skript} : std::vector<std::string>{});
            ASSERT_TRUE(schutz.wirkt());
            h.start();
        }
        EXPECT_EQ(std::filesystem::exists(skript), schreibgeschützt);
        EXPECT_FALSE(h.app.ended());
        EXPECT_TRUE(h.form1->Visible());
    }
}

TEST(StartScreen, ArrowButtonsChooseThePlayerPicture) {
    GameHarness h({3, 3});
    h.start();
    auto& left = h.ui().Command1[0];
    auto& right = h.ui().Command1[1];
    std::string order;  // as designed: "Start", ">", "<"
    for (forms::Control* c : h.form1->controls())
        if (c->Name == "Command1") order += std::to_string(c->Index);
    EXPECT_EQ(order, "210");
    EXPECT_FALSE(left.Enabled);
    EXPECT_TRUE(right.Enabled);
    h.click(right);
    h.click(right);
    EXPECT_EQ(fileName(h.ui().Spielerbox.picture), "spieler3.gif");
    EXPECT_FALSE(right.Enabled);
    EXPECT_TRUE(left.Enabled);
    h.click(right);  // disabled: nothing happens
    h.click(h.ui().Command2);  // on the hidden table: nothing either
    EXPECT_EQ(h.form1->ausgewähltespielergrafik, 3);
    h.click(left);
    EXPECT_EQ(fileName(h.ui().Spielerbox.picture), "spieler2.gif");
    EXPECT_TRUE(right.Enabled) << "back from the last one";
    h.click(left);
    EXPECT_EQ(h.form1->ausgewähltespielergrafik, 1);
    EXPECT_FALSE(left.Enabled);

    for (int bilder : {1, 2}) {  // one picture: ">" would ask for one that does not exist
        GameHarness g({2, bilder});
        g.start();
        EXPECT_FALSE(g.ui().Command1[0].Enabled);
        EXPECT_EQ(g.ui().Command1[1].Enabled, bilder == 2);
    }
}

TEST(StartScreen, ThePreviewCyclesThroughTheEnemyPicturesOncePerSecond) {
    GameHarness h({3, 1});
    h.start();
    std::string seen;
    for (int i = 0; i < 5; ++i) {
        h.advance(1000);
        seen += h.ui().Gegnerbox.Tag;
    }
    EXPECT_EQ(seen, "23123");
    EXPECT_EQ(fileName(h.ui().Gegnerbox.picture), "gegner3.gif");
}

TEST(Game, StartShowsTheChosenSpriteFixesTheBorderAndRunsTheGameTimers) {
    GameHarness h;
    h.start();
    h.click(h.ui().Command1[1]);
    h.click(h.ui().Command1[2]);
    auto& ui = h.ui();
    EXPECT_EQ(fileName(ui.Spieler.picture), "spieler2.gif");
    EXPECT_FALSE(ui.Splash.Visible);
    EXPECT_EQ(h.form1->BorderStyle(), forms::BorderStyle::FixedSingle);
    EXPECT_FALSE(ui.AvoidTimer.Enabled());
    EXPECT_TRUE(ui.Spawner[0].Enabled());
    EXPECT_TRUE(ui.Leveluptimer.Enabled());
    EXPECT_TRUE(ui.Powerspawner.Enabled());
    EXPECT_EQ(ui.Label2.Caption, "1");
    EXPECT_EQ(ui.Label4.Caption, "3");

    h.form1->allesstoppen();
    for (forms::Control* c : h.form1->controls())
        if (c->kind() == forms::ControlKind::Timer) EXPECT_FALSE(static_cast<forms::Timer*>(c)->Enabled()) << c->Name;
    EXPECT_TRUE(ui.Powertimer.exists(0));
}

TEST(Game, RestartBringsBackAFreshStartScreenWithoutAskingForUpdates) {
    GameHarness h({}, {{"version.txt", "Version: 9,000\r\n"}});  // a newer version on the server
    h.start();
    ASSERT_EQ(h.backend.shownBoxes().size(), 1u) << "the update question at start-up, answered No";
    const int anfragen = h.server->requests();
    h.folder.write("update.cmd", std::string_view("del x\r\n"));
    h.click(h.ui().Command1[1]);
    h.click(h.ui().Command1[2]);
    h.form1->Leben = 1, h.form1->Level = 7, h.form1->gegnerbesiegt = 12;
    h.form1->Geschwindigkeit = 20, h.form1->Gegnergeschwindigkeit = 12, h.form1->sublevel = 3;
    h.ui().Spawner.Load(6);
    h.ui().Highscore.Visible = true;
    h.click(h.ui().Command2);

    auto& ui = h.ui();
    EXPECT_EQ(h.backend.shownBoxes().size(), 1u) << "no second question";
    EXPECT_EQ(h.server->requests(), anfragen);
    EXPECT_TRUE(std::filesystem::exists(h.file("update.cmd")));
    EXPECT_TRUE(ui.Splash.Visible);
    EXPECT_FALSE(ui.Highscore.Visible);
    EXPECT_FALSE(ui.Spawner.exists(6));
    const auto z = [](forms::Int16 n) { return n.value(); };
    EXPECT_EQ((std::vector{z(h.form1->Leben), z(h.form1->Level), z(h.form1->gegnerbesiegt), z(h.form1->Geschwindigkeit),
                           z(h.form1->Gegnergeschwindigkeit), z(h.form1->sublevel), z(h.form1->ausgewähltespielergrafik)}),
              (std::vector<int16_t>{3, 1, 0, 5, 10, 0, 1}));
    EXPECT_EQ(h.form1->reloadflag, forms::False);
    EXPECT_EQ(h.form1->BorderStyle(), forms::BorderStyle::Sizable);
    EXPECT_TRUE(h.form1->Visible());
    h.advance(1000);
    EXPECT_EQ(ui.Gegnerbox.Tag, "2") << "the preview runs again";
    EXPECT_FALSE(h.app.ended());

    h.app.closeRequested(*h.form1);  // closing the window ends the program
    EXPECT_TRUE(h.app.ended());
    EXPECT_EQ(h.app.exitCode(), 0);
}

class Steering : public ::testing::Test {
protected:
    GameHarness h;
    void SetUp() override { h.startGame(); }
    forms::Image& sprite() { return h.ui().Spieler; }
};

TEST_F(Steering, OneStepPerKeyEventInTheDirectionTheHeldKeysName) {
    enum Act { Press, Release, Hold };
    struct Step {
        Act act;
        int16_t key;  // Hold: milliseconds held instead
        float dx, dy;  // where the sprite stands now, from where it started
    };
    const Step steps[] = {
        {Press, Left, -5, 0},       // "l"
        {Hold, 566, -20, 0},        // repeats after 500 ms, then every 33 ms
        {Press, 16, -20, 0},        // Shift is no steering key
        {Release, 16, -20, 0},
        {Press, Up, -25, -5},       // "lu": left, then up
        {Release, Left, -25, -10},  // "u": one step at the release
        {Release, Up, -25, -10},    // "": only a contact check
        {Press, Left, -30, -10},
        {Press, Right, -30, -10},   // "lr": no step
        {Release, Left, -25, -10},  // "r"
        {Release, Right, -25, -10},
        {Release, Down, -25, -10},  // never pressed: nothing changes
        {Press, Down, -25, -5},
        {Press, Right, -20, 0},     // "dr": right, then down
        {Release, Down, -15, 0},
        {Press, Up, -10, -5},       // "ru": up, then right
        {Release, Right, -10, -10},
        {Press, Left, -15, -15},    // "ul"
        {Release, Up, -20, -15},
        {Press, Down, -25, -10},    // "ld": down, then left
        {Release, Left, -25, -5},
        {Press, Left, -30, 0},      // "dl"
        {Release, Down, -35, 0},
        {Release, Left, -35, 0},
        {Press, Up, -35, -5},
        {Press, Right, -30, -10},   // "ur"
        {Release, Up, -25, -10},
        {Press, Down, -20, -5},     // "rd"
        {Release, Down, -15, -5},
        {Press, Down, -10, 0},      // the same key again: "rd"
        {Release, Right, -10, 5},   // "d"
        {Hold, 520, -10, 10},       // Down, pressed last, still repeats
    };
    const float x = sprite().Left, y = sprite().Top;
    for (const Step& s : steps) {
        if (s.act == Press) h.press(s.key);
        if (s.act == Release) h.release(s.key);
        if (s.act == Hold) h.advance(s.key);
        SCOPED_TRACE(testing::Message() << "step " << (&s - steps));
        EXPECT_FLOAT_EQ(sprite().Left, x + s.dx);
        EXPECT_FLOAT_EQ(sprite().Top, y + s.dy);
    }
}

TEST_F(Steering, StepsNeverReachAnEdge) {
    sprite().Left = 6;
    h.tap(Left);
    EXPECT_FLOAT_EQ(sprite().Left, 1);
    h.tap(Left);
    EXPECT_FLOAT_EQ(sprite().Left, 1) << "1 - 5 is not above 0";
    sprite().Left = 5;
    h.tap(Left);
    EXPECT_FLOAT_EQ(sprite().Left, 5) << "5 - 5 = 0 is not above 0";

    const float width = h.form1->ScaleWidth();
    sprite().Left = width - sprite().Width - 5;  // one step would touch the edge exactly
    h.tap(Right);
    EXPECT_FLOAT_EQ(sprite().Left, width - sprite().Width - 5);
    sprite().Top = 5;
    h.tap(Up);
    EXPECT_FLOAT_EQ(sprite().Top, 5);
    sprite().Top = h.form1->ScaleHeight() - sprite().Height - 5;
    h.tap(Down);
    EXPECT_FLOAT_EQ(sprite().Top, h.form1->ScaleHeight() - sprite().Height - 5);
    sprite().Top = 7;
    h.press(Left);
    h.press(Up);  // at the top edge a diagonal slides along it
    EXPECT_FLOAT_EQ(sprite().Top, 2);
    h.press(Up);
    EXPECT_FLOAT_EQ(sprite().Top, 2);
}

TEST_F(Steering, EscapeEndsOnlyOnTheHighscorePanelAndOnlyWhenHeldAlone) {
    h.tap(Escape);
    EXPECT_FALSE(h.app.ended());
    h.ui().Highscore.Visible = true;
    const float x = sprite().Left;
    h.press(Left);
    EXPECT_FLOAT_EQ(sprite().Left, x) << "no steering while the table is shown";
    h.press(Escape);  // "le"
    EXPECT_FALSE(h.app.ended());
    h.release(Left);  // "e"
    EXPECT_TRUE(h.app.ended());
    EXPECT_EQ(h.app.exitCode(), 0);
}

TEST_F(Steering, ThePowerUpCountdownRestoresSpeedAndSizeAndPushesTheSpriteInside) {
    auto& ui = h.ui();
    const float w = h.form1->ScaleWidth(), hoch = h.form1->ScaleHeight();
    // Small in the right-hand or the bottom corner: the grown sprite is pushed in on that side only.
    for (const auto& [x, y, xDanach, yDanach] : {std::array{w - 13, 3.f, w - 49, 3.f}, std::array{3.f, hoch - 13, 3.f, hoch - 49}}) {
        ui.Label5.Caption = "10";
        ui.Label5.Visible = ui.Label6.Visible = true;
        ui.Timer1.Enabled(true);
        h.form1->Geschwindigkeit = 20;
        ui.Spieler.Width = ui.Spieler.Height = 12.25f;
        ui.Spieler.Left = x, ui.Spieler.Top = y;
        h.advance(9000);
        EXPECT_EQ(ui.Label5.Caption, "1");
        EXPECT_EQ(h.form1->Geschwindigkeit, 20);
        h.advance(1000);
        EXPECT_EQ(ui.Label5.Caption, "0");
        EXPECT_FALSE(ui.Label5.Visible || ui.Label6.Visible || ui.Timer1.Enabled());
        EXPECT_EQ(h.form1->Geschwindigkeit, 5);
        EXPECT_EQ((std::array{ui.Spieler.Width, ui.Spieler.Height, ui.Spieler.Left, ui.Spieler.Top}), (std::array{49.f, 49.f, xDanach, yDanach}));
    }
}

TEST(Layout, EveryControlStartsAtItsDesignPlaceSizeAndLook) {
    GameHarness h;
    h.start();
    EXPECT_EQ(h.ui().version.Caption, game::Programmversion);
    h.ui().version.Caption = "v";  // the build's own number
    EXPECT_EQ("\n" + aufbau(*h.form1), R"(
Form1 'Kreiselsturm' 680.25x591 border 2
Highscoreblinker(-1) 0,0 0x0 every 800
Highscore(-1) 210.85,175.275 258.55x240.45 hidden
Command2(-1) 108,280 129x25 'Restart' 9.75b
Platzierung(-1) 32,80 25x25 stretch
Platzcap(0) 64,80 241x25 'Platz 1' 13.5b 0/8000000d centred
Textfader4(-1) 0,0 0x0 every 0
Textfader2(-1) 0,0 0x0 every 0
AvoidTimer(-1) 0,0 0x0 every 1000 on
Splash(-1) 85.125,108.375 510x374.25
Command1(2) 230,455 190x29 'Start' 13.5b
Command1(1) 217,129 29x29 '>' 13.5b
Command1(0) 65,130 29x29 '<' 13.5b off
Gegnerbox(-1) 455,98 90x90 stretch
Spielerbox(-1) 109,97 92x92 stretch
Powertimer(0) 0,0 0x0 every 0 on
Powerspawner(-1) 0,0 0x0 every 10000
Timer1(-1) 0,0 0x0 every 1000
Leveluptimer(-1) 0,0 0x0 every 15000
Spawner(0) 0,0 0x0 every 3000
Gegnertimer(0) 0,0 0x0 every 0
version(-1) 516,552 66.75x18.75 hidden 'v' 24 80000012/8000000f opaque
Gegner(0) 282,498 78.75x78.75 hidden stretch
Power(0) 180,366 37.5x37.5 hidden ffff circle
Spieler(-1) 315.75,271.125 48.75x48.75 stretch
Label1(-1) 0,0 66.75x24.75 'Level:' 24 80000012/8000000f opaque
Label2(-1) 60,0 30.75x30.75 '1' 24 80000012/8000000f opaque centred
Label3(-1) 120,0 72.75x24.75 'Leben:' 24 80000012/8000000f opaque
Label4(-1) 198,0 30.75x30.75 '3' 24 80000012/8000000f opaque
Label6(-1) 252,0 156.75x24.75 hidden 'PowerUp-Zeit:' 24 80000012/8000000f opaque
Label5(-1) 408,0 30.75x30.75 hidden '3' 24 80000012/8000000f opaque
)");
}

TEST(Layout, PanelsAndSpriteStayCentredOnResize) {
    GameHarness h;
    h.start();
    auto& ui = h.ui();
    EXPECT_FLOAT_EQ(ui.Splash.Left, 85.125f);
    EXPECT_FLOAT_EQ(ui.Splash.Top, 108.375f);
    EXPECT_NEAR(ui.Highscore.Left, 210.85f, 1e-3);
    EXPECT_NEAR(ui.Highscore.Top, 175.275f, 1e-3);

    h.app.resized(*h.form1, 400, 300);  // smaller than the start panel: cut equally
    EXPECT_FLOAT_EQ(ui.Splash.Left, 200 - 255);
    EXPECT_FLOAT_EQ(ui.Splash.Top, 150 - 374.25f / 2);
    EXPECT_FLOAT_EQ(ui.Spieler.Left + ui.Spieler.Width / 2, 200);
    EXPECT_FLOAT_EQ(ui.Highscore.Top + ui.Highscore.Height / 2, 150);

    h.click(ui.Command1[2]);
    ui.Spieler.Left = 3;
    h.app.resized(*h.form1, 800, 600);
    EXPECT_FLOAT_EQ(ui.Spieler.Left, 400 - 48.75f / 2) << "a size change during a game re-centres the sprite";
    ui.Spieler.Left = 3;
    h.app.resized(*h.form1, 800, 600);
    EXPECT_FLOAT_EQ(ui.Spieler.Left, 3) << "a size event that changes nothing is no resize";
    for (bool gezeigt : {true, false}) {  // minimised or restored by the player, or hidden by the program
        if (!gezeigt) h.form1->Hide();
        ui.Spieler.Left = 3, ui.Spieler.Top = 4;
        h.app.minimisedOrRestored(*h.form1);
        EXPECT_EQ(std::pair(ui.Spieler.Left, ui.Spieler.Top), gezeigt ? std::pair(400 - 48.75f / 2, 300 - 48.75f / 2) : std::pair(3.f, 4.f));
    }
}

}  // namespace
