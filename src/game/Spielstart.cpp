// Choosing the player picture, starting and stopping a game, and the restart.
#include "forms/Application.h"
#include "forms/Errors.h"
#include "game/Form1Steuerelemente.h"

namespace game {

void Form1::Command1_Click(Int16 Index) {
    if (Index == 0 || Index == 1) {
        ausgewähltespielergrafik = Index == 0 ? ausgewähltespielergrafik - 1 : ausgewähltespielergrafik + 1;
        ui->Spielerbox.picture = LoadPicture("\\spieler" + std::to_string(ausgewähltespielergrafik) + ".gif");
        ui->Command1[0].Enabled = true;
        ui->Command1[1].Enabled = true;
        if (ausgewähltespielergrafik == 1) ui->Command1[0].Enabled = false;
        if (ausgewähltespielergrafik == spielergrafiken) ui->Command1[1].Enabled = false;
    } else if (Index == 2) {
        ui->Spieler.picture = LoadPicture("\\spieler" + std::to_string(ausgewähltespielergrafik) + ".gif");
        ui->AvoidTimer.Enabled(false);
        ui->Splash.Visible = false;
        BorderStyle(forms::BorderStyle::FixedSingle);
        Timerstarten();
    }
}

void Form1::Timerstarten() {
    ui->Spawner.forEach([](forms::Timer& t) {
        t.Enabled(true);
        return false;
    });
    ui->Leveluptimer.Enabled(true);
    ui->Powerspawner.Enabled(true);
}

void Form1::allesstoppen() {
    for (forms::Control* c : controls())
        if (c->kind() == forms::ControlKind::Timer) static_cast<forms::Timer*>(c)->Enabled(false);
}

void Form1::Command2_Click() { reload(); }

void Form1::reload() {
    reloadflag = forms::True;
    Unload();
    app().DoEvents();
    Load();
    Show();
    reloadflag = forms::False;
}

void Form1::Form_Unload() {
    if (reloadflag == forms::False) forms::End();
}

}  // namespace game
