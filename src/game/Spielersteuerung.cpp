// The arrow keys steer the sprite: one step per key event, in the direction the held keys name.
#include "forms/Errors.h"
#include "forms/Keys.h"
#include "game/Form1Steuerelemente.h"
#include "game/Zahltext.h"

namespace game {

namespace {

char buchstabe(int16_t key) {
    switch (key) {
        case forms::Key::Escape: return 'e';
        case forms::Key::Left: return 'l';
        case forms::Key::Up: return 'u';
        case forms::Key::Right: return 'r';
        case forms::Key::Down: return 'd';
        default: return 0;
    }
}

}  // namespace

void Form1::Form_KeyDown(int16_t KeyCode, int16_t) {
    const char b = buchstabe(KeyCode);
    if (!b) return;
    if (KeyCode != letztetaste) gedrücktetasten += b;
    letztetaste = KeyCode;
    Spielerbewegen(gedrücktetasten);
}

void Form1::Form_KeyUp(int16_t KeyCode, int16_t) {
    const char b = buchstabe(KeyCode);
    if (!b) return;
    // A release whose press we never saw (held before the window had the focus) changes nothing.
    if (auto pos = gedrücktetasten.find(b); pos != std::string::npos) gedrücktetasten.erase(pos, 1);
    if (KeyCode == letztetaste) letztetaste = -1;
    Spielerbewegen(gedrücktetasten);
}

void Form1::Spielerbewegen(const std::string& tasten) {
    if (ui->Highscore.Visible && tasten != "e") return;
    if (tasten == "l" || tasten == "u" || tasten == "r" || tasten == "d") {
        schritt(tasten[0]);
    } else if (tasten == "lu" || tasten == "ul") {
        schritt('l');
        schritt('u');
    } else if (tasten == "ru" || tasten == "ur") {
        schritt('u');
        schritt('r');
    } else if (tasten == "rd" || tasten == "dr") {
        schritt('r');
        schritt('d');
    } else if (tasten == "ld" || tasten == "dl") {
        schritt('d');
        schritt('l');
    } else if (tasten == "e" && ui->Highscore.Visible) {
        forms::End();
    } else {
        Kollision();
    }
}

// One step; a step that would reach or pass an edge is skipped whole.
void Form1::schritt(char richtung) {
    forms::Image& s = ui->Spieler;
    const float g = static_cast<float>(Geschwindigkeit);
    switch (richtung) {
        case 'l':
            if (s.Left - g > 0) s.Left = s.Left - g;
            break;
        case 'u':
            if (s.Top - g > 0) s.Top = s.Top - g;
            break;
        case 'r':
            if (s.Width + s.Left + g < ScaleWidth()) s.Left = s.Left + g;
            break;
        case 'd':
            if (s.Height + s.Top + g < ScaleHeight()) s.Top = s.Top + g;
            break;
    }
}

// The power-up countdown: one second per tick; at 0 speed and size are back to normal.
void Form1::Timer1_Timer() {
    ui->Label5.Caption = zahltext(zahlwert(ui->Label5.Caption) - 1);
    if (zahlwert(ui->Label5.Caption) == 0) {
        ui->Label5.Visible = false;
        ui->Label6.Visible = false;
        Geschwindigkeit = 5;
        forms::Image& s = ui->Spieler;
        s.Width = altegröße;
        s.Height = altegröße;
        if (s.Width + s.Left > ScaleWidth()) s.Left = ScaleWidth() - s.Width;
        if (s.Height + s.Top > ScaleHeight()) s.Top = ScaleHeight() - s.Height;
        ui->Timer1.Enabled(false);
    }
}

// The start screen's enemy preview shows the next picture every second.
void Form1::AvoidTimer_Timer() {
    ui->Gegnerbox.Tag = zahltext(zahlwert(ui->Gegnerbox.Tag) + 1);
    if (zahlwert(ui->Gegnerbox.Tag) > gegnergrafiken) ui->Gegnerbox.Tag = "1";
    ui->Gegnerbox.picture = LoadPicture("\\gegner" + ui->Gegnerbox.Tag + ".gif");
}

}  // namespace game
