// Contacts between the player and enemies or items. (Coming with the enemy waves.)
#include "game/Form1Steuerelemente.h"

namespace game {

void Form1::Kollision() {}
bool Form1::Kontakttest(const forms::Control&) const { return false; }

}  // namespace game
