#pragma once
// The best three scores of "data.hsc" with a reached score merged into them.
#include <string>

#include "forms/Int16.h"
#include "platform/Random.h"

namespace game {

struct Bestenliste {
    forms::Int16 platz[4];  // the three best distinct scores (0 where nobody reached one), then the score reached
    std::string fehler;     // why the new best three are not stored; empty when they are
};

// Reads the best three from `datei` (a missing file first gets three zeros), merges `erreicht`
// into them and stores the new best three. The file stays locked from the first read to the
// last write, so a game ending at the same moment in another copy of the game is not lost; a
// copy that keeps the lock beyond the wait leaves the file unsaved. A failing save is not
// raised but told in `fehler`; a file that cannot be read is raised.
Bestenliste bestenlisteEintragen(const std::string& datei, forms::Int16 erreicht, platform::RandomSource& zufall);

}  // namespace game
