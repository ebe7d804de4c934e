// The level and lives numbers slide up out of the window, change while out of sight and slide
// back down, one unit every 10 ms. The label's Tag holds the phase: "u" up, "d" down.
#include "game/Form1Steuerelemente.h"
#include "game/Zahltext.h"

namespace game {

namespace {

constexpr int32_t Schrittzeit = 10;

void losschicken(forms::Timer& fader, forms::Label& zahl) {
    fader.Interval(Schrittzeit);
    zahl.Tag = "u";
    fader.Enabled(true);
}

// One step up; once out of sight the number takes its new value and turns down.
void hoch(forms::Label& zahl, Int16 neu) {
    zahl.Top = zahl.Top - 1;
    if (-zahl.Height >= zahl.Top) {
        zahl.Caption = zahltext(neu);
        zahl.Tag = "d";
    }
}

}  // namespace

// A level message under way is left to finish; the level progression waits for it.
void Form1::Label2_fade() {
    if (ui->Textfader2.Enabled()) return;
    losschicken(ui->Textfader2, ui->Label2);
}

// The lives may change again while their number slides: on the way up the new value is simply
// picked up at the top; on the way down the number turns round and then runs once more.
void Form1::Label4_fade() {
    if (ui->Label4.Tag == "d") nochmalfaden = forms::True;
    losschicken(ui->Textfader4, ui->Label4);
}

void Form1::Textfader2_Timer() {
    forms::Label& zahl = ui->Label2;
    if (zahl.Tag == "u") {
        hoch(zahl, neuesLevel);
    } else if (zahl.Tag == "d") {
        zahl.Top = zahl.Top + 1;
        if (zahl.Top >= 0) ui->Textfader2.Enabled(false);
    }
}

void Form1::Textfader4_Timer() {
    forms::Label& zahl = ui->Label4;
    if (zahl.Tag == "u") {
        hoch(zahl, neuesleben);
    } else if (zahl.Tag == "d") {
        zahl.Top = zahl.Top + 1;
        if (zahl.Top >= 0) {
            zahl.Tag = "u";
            ui->Textfader4.Enabled(false);
            if (nochmalfaden == forms::True) {
                nochmalfaden = forms::False;
                Label4_fade();
            }
        }
    }
}

}  // namespace game
