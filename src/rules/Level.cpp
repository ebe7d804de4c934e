// Level progression. (Coming with the enemy waves.)
#include "game/Form1Steuerelemente.h"

namespace game {

void Form1::Levelup(Int16) {}
void Form1::Leveluptimer_Timer() {}

}  // namespace game
