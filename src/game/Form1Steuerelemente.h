#pragma once
// The controls of the game window, in creation order. Made on every load of the window with
// the design values; geometry on the window in points, inside the two panels in pixels.
#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "forms/Shape.h"
#include "forms/Timer.h"
#include "game/Form1.h"

namespace game {

struct Form1::Steuerelemente {
    explicit Steuerelemente(Form1& f);

    forms::Timer Highscoreblinker;
    forms::PictureBox Highscore;
    forms::CommandButton Command2;
    forms::Image Platzierung;
    forms::ControlArray<forms::Label> Platzcap;
    forms::Timer Textfader4;
    forms::Timer Textfader2;
    forms::Timer AvoidTimer;
    forms::PictureBox Splash;
    forms::ControlArray<forms::CommandButton> Command1;
    forms::Image Gegnerbox;
    forms::Image Spielerbox;
    forms::ControlArray<forms::Timer> Powertimer;
    forms::Timer Powerspawner;
    forms::Timer Timer1;
    forms::Timer Leveluptimer;
    forms::ControlArray<forms::Timer> Spawner;
    forms::ControlArray<forms::Timer> Gegnertimer;
    forms::Label version;
    forms::ControlArray<forms::Image> Gegner;
    forms::ControlArray<forms::Shape> Power;
    forms::Image Spieler;
    forms::Label Label1;
    forms::Label Label2;
    forms::Label Label3;
    forms::Label Label4;
    forms::Label Label6;
    forms::Label Label5;
};

}  // namespace game
