// The start panel, the sprite and the highscore panel stay centred in the window.
#include "game/Form1Steuerelemente.h"

namespace game {

void Form1::Form_Resize() {
    Steuerelemente& c = *ui;
    c.Splash.Top = ScaleHeight() / 2 - c.Splash.Height / 2;
    c.Splash.Left = ScaleWidth() / 2 - c.Splash.Width / 2;
    c.Splash.picture = LoadPicture("\\Splash.jpg");
    c.Spieler.Top = ScaleHeight() / 2 - c.Spieler.Height / 2;
    c.Spieler.Left = ScaleWidth() / 2 - c.Spieler.Width / 2;
    c.Highscore.Top = ScaleHeight() / 2 - c.Highscore.Height / 2;
    c.Highscore.Left = ScaleWidth() / 2 - c.Highscore.Width / 2;
}

}  // namespace game
