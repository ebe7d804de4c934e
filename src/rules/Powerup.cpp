// Power-up effects. (Coming with the power-ups.)
#include "game/Form1Steuerelemente.h"

namespace game {

void Form1::Powerup(const std::string&) {}

}  // namespace game
