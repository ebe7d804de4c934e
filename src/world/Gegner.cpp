// Enemies: spawning and motion. (Coming with the enemy waves.)
#include "game/Form1Steuerelemente.h"

namespace game {

void Form1::Gegnerspawn() {}
void Form1::Spawner_Timer(Int16) {}
void Form1::Gegnertimer_Timer(Int16) {}

}  // namespace game
