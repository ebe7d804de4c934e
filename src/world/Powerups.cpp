// Power-up items: coloured discs that drift in from the right every 10 to 20 seconds.
#include "game/Form1Steuerelemente.h"

namespace game {

namespace {

struct Sorte {
    const char* tag;
    forms::Color farbe;
};

// A kind draw of 1..12: "health" 4 times in 12, "shrink" 4, "speeed" 3, "levelu" once.
Sorte sorte(Int16 k) {
    if (k <= 4) return {"health", 0x00FF80FF};  // pink
    if (k <= 8) return {"shrink", 0x0000FF00};  // green
    if (k <= 11) return {"speeed", 0x0000FFFF};  // yellow
    return {"levelu", 0x00800080};  // purple
}

}  // namespace

// Re-arms itself with a fresh pause, counted from this tick, then sends an item.
void Form1::Powerspawner_Timer() {
    ui->Powerspawner.Interval(static_cast<int32_t>(Zufallszahl(10, 20) * 1000));
    Powerspawn();
}

void Form1::Powerspawn() {
    const Sorte s = sorte(Int16::checked(static_cast<long long>(Zufallszahl(1, 12))));
    const Int16 n = Int16(ui->Power.UBound()) + 1;
    forms::Shape& item = ui->Power.Load(n);
    item.Width = 40;
    item.Height = 40;
    item.Visible = true;
    item.Left = ScaleWidth() + 10;
    item.Top = static_cast<float>(Zufallszahl(1, ScaleHeight() - 40));
    item.BackColor = s.farbe;
    item.Tag = s.tag;
    forms::Timer& t = ui->Powertimer.Load(n);
    t.Interval(static_cast<int32_t>(Zufallszahl(50, 100)));
    t.Enabled(true);
}

// One step to the left at the enemies' speed; an item that has left the window goes.
void Form1::Powertimer_Timer(Int16 Index) {
    forms::Shape& item = ui->Power[Index];
    item.Left = item.Left - static_cast<float>(Gegnergeschwindigkeit);
    if (item.Left + item.Width < 0) {
        ui->Power.Unload(Index);
        ui->Powertimer.Unload(Index);
    }
    Kollision();
}

}  // namespace game
