// The game window where the whole games of game_trace_test do not go: pictures missing or
// broken, the update at start-up, a single player picture, steps at the window's edges.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "platform/Script.h"
#include "support/GameHarness.h"

namespace {

TEST(StartUp, CountsPicturesUpToTheFirstGapAndIgnoresCase) {
    GameHarness h({5, 2});
    std::filesystem::remove(h.file("gegner4.gif"));
    std::filesystem::rename(h.file("gegner1.gif"), h.file("zwischen.gif"));  // in two steps: Windows keeps
    std::filesystem::rename(h.file("zwischen.gif"), h.file("Gegner1.GIF"));   // a name that differs in case only
    h.start();
    EXPECT_EQ(h.form1->gegnergrafiken, 3);
    EXPECT_EQ(h.form1->spielergrafiken, 2);
    EXPECT_EQ(std::filesystem::path(h.ui().Gegnerbox.picture->path).filename(), "Gegner1.GIF");
    for (int bilder : {1, 2}) {  // one picture: ">" would ask for one that does not exist
        GameHarness g({2, bilder});
        g.start();
        EXPECT_EQ(g.ui().Command1[1].Enabled, bilder == 2);
    }
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
    GameHarness h, g;
    std::filesystem::remove(h.file("Splash.jpg"));
    h.start();
    EXPECT_EQ(h.app.exitCode(), 1);
    EXPECT_NE(h.app.failure().find("Splash.jpg"), std::string::npos);
    g.folder.write("gegner2.gif", std::string_view("GIF89a, but nothing else"));
    g.start();
    g.advance(1000);  // the preview asks for picture 2
    EXPECT_EQ(g.app.exitCode(), 1);
    EXPECT_NE(g.app.failure().find("gegner2.gif"), std::string::npos);
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

TEST(Steering, AStepThatWouldReachAnEdgeIsSkippedWhole) {
    GameHarness h;
    h.startGame();
    forms::Image& s = h.ui().Spieler;
    const float rechts = h.form1->ScaleWidth() - s.Width, unten = h.form1->ScaleHeight() - s.Height;
    using namespace forms::Key;
    const std::tuple<int16_t, float, float> fälle[] = {  // key, place before, after (left or top)
        {Left, 6, 1}, {Left, 5, 5}, {Right, rechts - 6, rechts - 1}, {Right, rechts - 5, rechts - 5},
        {Up, 6, 1}, {Up, 5, 5}, {Down, unten - 6, unten - 1}, {Down, unten - 5, unten - 5}};
    for (auto [key, vorher, nachher] : fälle) {
        float& ort = key == Left || key == Right ? s.Left : s.Top;
        ort = vorher;
        h.tap(key);
        EXPECT_EQ(ort, nachher) << "key " << key << " from " << vorher;
    }
}

}  // namespace
