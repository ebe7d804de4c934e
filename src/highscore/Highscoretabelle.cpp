// The highscore table at game over. (Coming with the highscore table.)
#include "game/Form1Steuerelemente.h"

namespace game {

void Form1::highscorezeigen(const Int16&) {}
void Form1::Highscoreblinker_Timer() {}

}  // namespace game
