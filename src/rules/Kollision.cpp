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

// The player's rectangle; right and bottom summed in single precision, as the sprite holds them.
struct Rechteck {
    double links, oben, rechts, unten;
};

Rechteck rechteck(const forms::Image& p) { return {p.Left, p.Top, p.Left + p.Width, p.Top + p.Height}; }

// The midpoints of the top and left edges of `s` inside the player, or a player corner inside
// the circle that fills `s`. All comparisons are strict: touching edges are no contact.
bool berührt(const Rechteck& p, const forms::Control& s) {
    const double cx = s.Left + s.Width / 2.0;
    const double cy = s.Top + s.Height / 2.0;
    const double r = s.Height / 2.0;

    if (p.oben < s.Top && s.Top < p.unten && p.links < cx && cx < p.rechts) return true;
    if (p.links < s.Left && s.Left < p.rechts && p.oben < cy && cy < p.unten) return true;
    auto imKreis = [&](double x, double y) {
        const double dx = x - cx, dy = y - cy;
        // Most sprites are far away: one coordinate alone at least r away settles it without
        // the root, with the same result, as sqrt(dx * dx) is exactly |dx|.
        if (std::fabs(dx) >= r || std::fabs(dy) >= r) return false;
        return std::sqrt(dx * dx + dy * dy) < r;
    };
    return imKreis(p.rechts, p.oben) || imKreis(p.links, p.oben) || imKreis(p.links, p.unten) ||
           imKreis(p.rechts, p.unten);
}

}  // namespace

bool Form1::Kontakttest(const forms::Control& s) const { return berührt(rechteck(ui->Spieler), s); }

void Form1::Kollision() {
    Steuerelemente& c = *ui;
    const Rechteck spieler = rechteck(c.Spieler);  // nothing in the scan moves the player

    int16_t gegner = -1;
    c.Gegner.forEach([&](const forms::Image& g) {
        if (!g.Visible || !berührt(spieler, g) || g.Tag == "ex") return false;  // touched ones never again
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
        if (!p.Visible || !berührt(spieler, p)) return false;
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
