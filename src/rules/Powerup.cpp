// What a collected item does. "health" and "levelu" act at once; every other kind runs for the
// ten-second countdown, after which Timer1_Timer undoes all of them together.
#include "game/Form1Steuerelemente.h"

namespace game {

void Form1::Powerup(const std::string& typ) {
    Steuerelemente& c = *ui;
    // Any pickup during a countdown costs it a second; at 0 the running effects end first.
    if (c.Timer1.Enabled()) Timer1_Timer();
    if (typ != "levelu" && typ != "health") {
        c.Label5.Visible = true;
        c.Label6.Visible = true;
        c.Label5.Caption = "10";
        c.Timer1.Enabled(true);
    }
    if (typ == "health") {
        Leben = Leben + 1;
        neuesleben = Leben;
        Label4_fade();
    } else if (typ == "speeed") {
        Geschwindigkeit = Geschwindigkeit * 2;
    } else if (typ == "shrink") {
        c.Spieler.Width = c.Spieler.Width / 2;
        c.Spieler.Height = c.Spieler.Height / 2;
    } else if (typ == "levelu") {
        Levelup(5);
    }
}

}  // namespace game
