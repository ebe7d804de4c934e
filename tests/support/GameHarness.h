#pragma once
// The game in a test: a temporary program folder with small generated pictures, the headless
// backend, the manual clock, a scripted random source and scripted message-box answers.
// Tests press keys and click buttons like a player, advance the clock and read any control.
#include <map>
#include <memory>
#include <string>

#include "ScriptedRandom.h"
#include "TempFolder.h"
#include "UpdateServer.h"
#include "forms/Application.h"
#include "forms/Clock.h"
#include "forms/Keys.h"
#include "forms/headless/HeadlessBackend.h"
#include "game/Form1.h"
#include "game/Form1Steuerelemente.h"
#include "updater/Form3.h"

struct PictureSet {
    int enemies = 3;
    int players = 3;
};

class GameHarness {
public:
    // With `serverFiles` (name → content, e.g. "version.txt") the update window asks a loopback
    // server (`server`) that serves them.
    explicit GameHarness(PictureSet pictures = {}, const std::map<std::string, std::string>& serverFiles = {});
    ~GameHarness();

    // Starts the program: loads and shows the game window, as main() does.
    void start();
    // start() and a click on "Start".
    void startGame();

    game::Form1::Steuerelemente& ui() const { return form1->steuerelemente(); }
    void press(int16_t key) { app.keyDown(*form1, key); }
    void release(int16_t key) { app.keyUp(*form1, key); }
    void tap(int16_t key) { press(key), release(key); }
    void click(forms::CommandButton& button) { app.click(button); }
    void advance(int64_t ms) { app.advance(ms); }
    std::string file(const std::string& name) const { return folder.file(name); }

    TempFolder folder;
    ScriptedRandom random;
    forms::ManualClock clock;
    forms::HeadlessBackend backend;
    forms::Application app{clock, backend};
    std::unique_ptr<UpdateServer> server;
    std::unique_ptr<game::Form3> form3;
    std::unique_ptr<game::Form1> form1;
};

// Fills `folder` with gegner1..N.gif, spieler1..M.gif, gegner_touched.gif, Splash.jpg and
// highscore.jpg.
void writeGamePictures(const TempFolder& folder, PictureSet pictures);
