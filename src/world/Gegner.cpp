// Enemies: each spawner tick sends one ball in from beyond the right edge; each tick of its own
// timer moves it, counts it once it has passed the player and removes it, then checks contacts.
#include <cmath>

#include "game/Form1Steuerelemente.h"
#include "game/Zahltext.h"

namespace game {

void Form1::Gegnerspawn() {
    Steuerelemente& c = *ui;
    // A freed index is reused only once nothing above it lives; gaps below stay open.
    const Int16 n = Int16(c.Gegner.UBound()) + 1;
    forms::Image& g = c.Gegner.Load(n);

    // The draws are made in this order: size, height, waving, direction, picture, distance, pace.
    const float größe = static_cast<float>(Zufallszahl(35, 120));
    g.Width = größe;
    g.Height = größe;
    g.Top = static_cast<float>(Zufallszahl(1, ScaleHeight() - größe));

    if (Zufallszahl(1, 5) < 3) g.Tag = Zufallszahl(1, 2) == 1 ? "min" : "plu";

    // Spelt as start-up counts the pictures, so the very file that was counted is shown (names
    // match without regard to case) and the lookup finds it at once instead of listing the folder.
    const Int16 bild = Int16::checked(std::llround(Zufallszahl(1, gegnergrafiken)));
    g.picture = LoadPicture("\\gegner" + std::to_string(bild) + ".gif");
    g.Visible = true;
    g.Left = static_cast<float>(ScaleWidth() + Zufallszahl(10, 50));

    forms::Timer& t = c.Gegnertimer.Load(n);
    t.Interval(static_cast<int32_t>(Zufallszahl(40, 90)));
    t.Enabled(true);
}

void Form1::Spawner_Timer(Int16) { Gegnerspawn(); }

void Form1::Gegnertimer_Timer(Int16 Index) {
    Steuerelemente& c = *ui;
    forms::Image& g = c.Gegner[Index];
    forms::Timer& t = c.Gegnertimer[Index];

    // A touched enemy lingers for six ticks and goes on the seventh, uncounted.
    bool entfernen = false;
    if (!t.Tag.empty()) {
        const double rest = zahlwert(t.Tag);
        if (rest == 0)
            entfernen = true;
        else
            t.Tag = zahltext(rest - 1);
    }

    if (!entfernen) {
        if (t.Tag.empty() && g.Tag == "ex") t.Tag = "5";
        // The swing follows the position before this tick's step.
        if (g.Tag == "min") g.Top = static_cast<float>(g.Top + std::sin(g.Left * 0.01) * -8);
        if (g.Tag == "plu") g.Top = static_cast<float>(g.Top + std::sin(g.Left * 0.01) * 8);
        g.Left = g.Left - static_cast<float>(Gegnergeschwindigkeit);
        if (g.Left + g.Width < 0) {
            gegnerbesiegt = gegnerbesiegt + 1;
            entfernen = true;
        }
    }

    if (entfernen) {
        c.Gegner.Unload(Index);
        c.Gegnertimer.Unload(Index);  // this very timer: the runtime frees it after the tick
    }
    Kollision();
}

}  // namespace game
