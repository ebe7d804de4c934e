#include "GameHarness.h"

#include "TestPictures.h"

void writeGamePictures(const TempFolder& folder, PictureSet pictures) {
    for (int i = 1; i <= pictures.enemies; ++i) writeTestGif(folder.file("gegner" + std::to_string(i) + ".gif"), 8, 8, 200, 40 * i, 0);
    for (int i = 1; i <= pictures.players; ++i) writeTestGif(folder.file("spieler" + std::to_string(i) + ".gif"), 8, 8, 0, 40 * i, 200);
    writeTestGif(folder.file("gegner_touched.gif"), 8, 8, 128, 128, 128);
    writeTestJpeg(folder.file("Splash.jpg"), 16, 12);
    writeTestJpeg(folder.file("highscore.jpg"), 16, 12);
}

GameHarness::GameHarness(PictureSet pictures, const std::map<std::string, std::string>& serverFiles) {
    writeGamePictures(folder, pictures);
    std::map<std::string, std::string> auswirbel;
    for (const auto& [name, inhalt] : serverFiles) auswirbel["/spielhof/wirbel/" + name] = inhalt;
    if (!serverFiles.empty()) server = std::make_unique<UpdateServer>(auswirbel);
    const auto keinSkript = [](const std::string&, const std::string&) {};  // the game tests start no update script
    form3 = std::make_unique<game::Form3>(app, game::Form3::Einstellungen{folder.path(), server ? server->base() : "", "Kreiselsturm", keinSkript});
    form1 = std::make_unique<game::Form1>(app, *form3, game::Form1::Umgebung{folder.path(), &random});
}

GameHarness::~GameHarness() = default;

void GameHarness::start() { app.start(*form1); }

void GameHarness::startGame() {
    start();
    click(ui().Command1[2]);
}
