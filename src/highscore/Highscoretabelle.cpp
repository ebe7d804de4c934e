// The highscore table at game over: the score reached merged into the best three of
// "data.hsc", the reached line marked with the player's picture and blinking, the best three
// stored again.
#include <charconv>
#include <cmath>
#include <string>

#include "forms/Application.h"
#include "game/Form1Steuerelemente.h"
#include "highscore/Wendelwerk.h"
#include "platform/Files.h"

namespace game {

namespace {

// A stored score; a record edited or damaged from outside counts as 0 rather than ending the
// game at its very last moment.
Int16 punktzahl(const std::string& datei, Int16 nummer) {
    std::string text;
    try {
        text = Wendelwerk::Datensatzlesen(datei, nummer, true);
    } catch (const Wendelwerk::BeschädigterDatensatz&) {
        return 0;
    }
    int16_t wert = 0;
    const char* ende = text.data() + text.size();
    auto [bis, fehler] = std::from_chars(text.data(), ende, wert);
    return fehler == std::errc() && bis == ende ? Int16(wert) : Int16(0);
}

}  // namespace

void Form1::highscorezeigen(const Int16& erreicht) {
    Steuerelemente& c = *ui;
    const std::string datei = this->datei("\\data.hsc");

    // A missing file holds three zeros; any plain file of that name, hidden or not, is read.
    Int16 punkte[4] = {0, 0, 0, erreicht};
    if (platform::fileExists(datei))
        for (int k = 0; k < 3; ++k) punkte[k] = punktzahl(datei, Int16(k + 1));

    // The three best distinct scores; a place nobody reached is 0.
    Int16 platz[4] = {0, 0, 0, erreicht};
    for (Int16 p : punkte)
        if (p > platz[0]) platz[0] = p;
    for (Int16 p : punkte)
        if (p > platz[1] && p < platz[0]) platz[1] = p;
    for (Int16 p : punkte)
        if (p > platz[2] && p < platz[1]) platz[2] = p;

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

    try {
        Wendelwerk::Datensätzeschreiben(datei, {std::to_string(platz[0]), std::to_string(platz[1]), std::to_string(platz[2])}, true, zufallsquelle());
    } catch (const forms::RuntimeError& e) {
        // The table stays up and the old file stays whole; the player only learns that this
        // game's scores are not kept.
        app().MsgBox({"Die Highscores konnten nicht gespeichert werden.\n" + std::string(e.what()), "Kreiselsturm",
                      forms::MsgButtons::Ok, forms::MsgIcon::Error},
                     this);
    }
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
