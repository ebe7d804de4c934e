// The sliding level and lives numbers. (Coming with the enemy waves.)
#include "game/Form1Steuerelemente.h"

namespace game {

void Form1::Label2_fade() {}
void Form1::Label4_fade() {}
void Form1::Textfader2_Timer() {}
void Form1::Textfader4_Timer() {}

}  // namespace game
