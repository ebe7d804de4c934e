// Random whole numbers for every decision of the game play.
#include <cmath>

#include "game/Form1.h"
#include "platform/Random.h"

namespace game {

// A whole number from min to max, both included: min + floor((max - min + 1) * r).
platform::RandomSource& Form1::zufallsquelle() const {
    return umgebung_.zufall ? *umgebung_.zufall : platform::processRandom();
}

double Form1::Zufallszahl(double min, double max) {
    platform::RandomSource& zufall = zufallsquelle();
    zufall.reseedFromClock();
    const float r = zufall.next();
    double d = max - min;
    d = d + 1;
    const double p = d * static_cast<double>(r);
    const double v = min + p;
    return std::floor(v);
}

}  // namespace game
