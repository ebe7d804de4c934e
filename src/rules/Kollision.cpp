// Contacts between the player and enemies or items. Every enemy and item tick asks again, so a
// call settles at most one contact and leaves the rest to the next one.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "game/Form1Steuerelemente.h"

namespace game {

namespace {

// The score at game over: the enemies that got past plus 10 for every level above the first.
// Held at 32767 when it would not fit, so a very long game still ends with its result.
Int16 endstand(Int16 Level, Int16 gegnerbesiegt) {
    const long long summe = (Level.value() - 1LL) * 10 + gegnerbesiegt.value();
    return Int16(static_cast<int16_t>(std::clamp<long long>(summe, INT16_MIN, INT16_MAX)));
}

}  // namespace

// The midpoints of the top and left edges of `s` inside the player, or a player corner inside
// the circle that fills `s`. All comparisons are strict: touching edges are no contact.
bool Form1::Kontakttest(const forms::Control& s) const {
    const forms::Image& p = ui->Spieler;
    const double cx = s.Left + s.Width / 2.0;
    const double cy = s.Top + s.Height / 2.0;
    const double r = s.Height / 2.0;
    const double links = p.Left, oben = p.Top;
    const double rechts = p.Left + p.Width;  // sums in single precision, as the sprite holds them
    const double unten = p.Top + p.Height;

    if (oben < s.Top && s.Top < unten && links < cx && cx < rechts) return true;
    if (links < s.Left && s.Left < rechts && oben < cy && cy < unten) return true;
    auto imKreis = [&](double x, double y) { return std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) < r; };
    return imKreis(rechts, oben) || imKreis(links, oben) || imKreis(links, unten) || imKreis(rechts, unten);
}

void Form1::Kollision() {
    Steuerelemente& c = *ui;

    int16_t gegner = -1;
    c.Gegner.forEach([&](const forms::Image& g) {
        if (g.Tag == "ex" || !g.Visible || !Kontakttest(g)) return false;
        gegner = g.Index;
        return true;
    });
    if (gegner >= 0) {
        Leben = Leben - 1;
        neuesleben = Leben;
        if (Leben == 0) {
            allesstoppen();
            gegnerbesiegt = endstand(Level, gegnerbesiegt);
            highscorezeigen(gegnerbesiegt);
        }
        forms::Image& g = c.Gegner[gegner];
        g.picture = LoadPicture("\\gegner_touched.gif");
        g.Tag = "ex";
        Label4_fade();
        return;
    }

    int16_t item = -1;
    c.Power.forEach([&](const forms::Shape& p) {
        if (!p.Visible || !Kontakttest(p)) return false;
        item = p.Index;
        return true;
    });
    if (item >= 0) {
        const std::string art = c.Power[item].Tag;  // a copy: the item goes first
        c.Power.Unload(item);
        c.Powertimer.Unload(item);
        Powerup(art);
    }
}

}  // namespace game
