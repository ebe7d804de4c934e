// Level progression: every 15 s the spawners come faster; every fifth level they slow down
// again, another spawner joins and all enemies get one step faster.
#include <cmath>

#include "game/Form1Steuerelemente.h"

namespace game {

namespace {

void alleSpawner(forms::ControlArray<forms::Timer>& spawner, int32_t intervall) {
    spawner.forEach([intervall](forms::Timer& t) {
        t.Interval(intervall);
        return false;
    });
}

}  // namespace

void Form1::Levelup(Int16 Levelanzahl) {
    Steuerelemente& c = *ui;
    // While the level number still slides, a request is dropped whole, a "levelu" item's too.
    if (c.Textfader2.Enabled()) return;

    sublevel = sublevel + Levelanzahl;
    Level = Level + Levelanzahl;
    if (sublevel <= 4) {
        alleSpawner(c.Spawner, static_cast<int32_t>(std::nearbyint(3500 - (3500.0 / 6) * sublevel.value())));
    } else {
        alleSpawner(c.Spawner, 3500);
        forms::Timer& neu = c.Spawner.Load(Level);
        neu.Interval(static_cast<int32_t>(Zufallszahl(500, 2000)));
        neu.Enabled(true);
        sublevel = sublevel - 5;
        Gegnergeschwindigkeit = Gegnergeschwindigkeit + 1;
    }
    neuesLevel = Level;

    // Off and on again: the next level comes a full 15 s after this one.
    c.Leveluptimer.Enabled(false);
    Label2_fade();
    c.Leveluptimer.Enabled(true);
}

void Form1::Leveluptimer_Timer() { Levelup(1); }

}  // namespace game
