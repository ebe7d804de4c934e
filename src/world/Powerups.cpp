// Power-up items drifting through the playfield. (Coming with the power-ups.)
#include "game/Form1Steuerelemente.h"

namespace game {

void Form1::Powerspawner_Timer() {}
void Form1::Powerspawn() {}
void Form1::Powertimer_Timer(Int16) {}

}  // namespace game
