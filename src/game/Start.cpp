// Loading the game window: on the first load the temporary files of dead copies removed and the
// update check, then fresh game state, the counted picture sets and the start screen.
#include <cmath>

#include "forms/Application.h"
#include "forms/Errors.h"
#include "game/Form1Steuerelemente.h"
#include "highscore/Wendelwerk.h"
#include "platform/Files.h"

namespace game {

void Form1::Form_Load() {
    if (reloadflag == forms::False) {
        Wendelwerk::Verwaisteentfernen(datei("\\data.hsc"));
        if (umgebung_.updatetest && umgebung_.updatetest()) {
            Hide();
            return;
        }
    }
    ui->AvoidTimer.Enabled(true);

    neuesLevel = 0;
    neuesleben = 0;
    nochmalfaden = forms::False;
    gegnerbesiegt = 0;
    bildplatzierung = 0;
    Geschwindigkeit = 5;
    Gegnergeschwindigkeit = 10;
    Level = 1;
    Leben = 3;
    sublevel = 0;
    altegröße = Int16::checked(std::llrint(ui->Spieler.Height));  // ties to even

    gegnergrafiken = gegnerzählen("gegner");
    spielergrafiken = gegnerzählen("spieler");
    // With a single player picture ">" would ask for one that does not exist.
    ui->Command1[0].Enabled = false;
    ui->Command1[1].Enabled = spielergrafiken > 1;

    ausgewähltespielergrafik = 1;
    ui->Spielerbox.picture = LoadPicture("\\Spieler1.gif");
    ui->Gegnerbox.picture = LoadPicture("\\Gegner1.gif");
    ui->Gegnerbox.Tag = "1";

    ui->Spieler.Top = ScaleHeight() / 2 - ui->Spieler.Height / 2;
    ui->Spieler.Left = ScaleWidth() / 2 - ui->Spieler.Width / 2;
}

Int16 Form1::gegnerzählen(const std::string& name) {
    Int16 n = 1;
    while (platform::fileExists(datei("\\" + name + std::to_string(n) + ".gif"))) n += 1;
    const Int16 anzahl = n - 1;
    if (anzahl < 1) {
        allesstoppen();
        app().MsgBox({"Gegnergrafiken wurden nicht gefunden!", "Error!", forms::MsgButtons::Ok, forms::MsgIcon::Error}, this);
        forms::End(1);  // a launcher or script must not take this for success
    }
    return anzahl;
}

}  // namespace game
