// The highscore table at game over: the score reached merged into the best three of
// "data.hsc", the reached line marked with the player's picture and blinking, the best three
// stored again.
#include <cmath>
#include <string>

#include "forms/Application.h"
#include "game/Form1Steuerelemente.h"
#include "highscore/Bestenliste.h"

namespace game {

void Form1::highscorezeigen(const Int16& erreicht) {
    Steuerelemente& c = *ui;
    // Stored before any picture is loaded: a missing picture ends the program, but this game's
    // score is kept.
    const Bestenliste liste = bestenlisteEintragen(datei("\\data.hsc"), erreicht, zufallsquelle());
    const Int16* platz = liste.platz;

    for (int k = 0; k < 4; ++k)
        if (platz[k] == erreicht) {
            bildplatzierung = Int16(k + 1);
            break;
        }

    c.Platzcap[0].Caption = std::to_string(platz[0]);
    Int16 T = Int16::checked(std::llrint(c.Platzcap[0].Top));
    for (int16_t zeile = 1; zeile <= 3; ++zeile) {
        forms::Label& l = c.Platzcap.Load(zeile);
        // The reached score stands apart from the best three.
        l.Top = static_cast<float>(T) + l.Height + (zeile == 3 ? 40.0f : 20.0f);
        l.Caption = std::to_string(platz[zeile]);
        l.Visible = true;
        T = Int16::checked(std::llrint(l.Top));
    }

    c.Platzierung.picture = LoadPicture("\\spieler" + std::to_string(ausgewähltespielergrafik) + ".gif");
    c.Platzierung.Top = c.Platzcap[bildplatzierung - 1].Top;

    c.Highscore.Top = ScaleHeight() / 2 - c.Highscore.Height / 2;
    c.Highscore.Left = ScaleWidth() / 2 - c.Highscore.Width / 2;
    c.Highscore.background = LoadPicture("\\highscore.jpg");
    c.Highscoreblinker.Enabled(true);
    c.Highscore.Visible = true;

    if (!liste.fehler.empty())
        // The table stays up and the old file stays whole; the player only learns that this
        // game's scores are not kept.
        app().MsgBox({"Die Highscores konnten nicht gespeichert werden.\n" + liste.fehler, "Kreiselsturm", forms::MsgButtons::Ok,
                      forms::MsgIcon::Error},
                     this);
}

// The reached line and the player's own line blink together.
void Form1::Highscoreblinker_Timer() {
    Steuerelemente& c = *ui;
    const forms::BackStyle neu =
        c.Platzcap[3].backStyle == forms::BackStyle::Transparent ? forms::BackStyle::Opaque : forms::BackStyle::Transparent;
    c.Platzcap[bildplatzierung - 1].backStyle = neu;
    c.Platzcap[3].backStyle = neu;
}

}  // namespace game
