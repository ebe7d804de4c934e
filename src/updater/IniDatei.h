#pragma once
// Reading INI-style text: "[Sektion]" lines open a section, "Name=Wert" lines give its keys.
// Section and key names are compared without regard to case; blanks around names and values
// are dropped, and a value in matching quotes loses them. Lines starting with ';' are comments.
#include <optional>
#include <string>
#include <string_view>

namespace game {

// The value of `eintrag` in `sektion` of the INI text `inhalt`; "" when there is none. Without
// `eintrag`: the key names of the section, each followed by a NUL character.
std::string iniWert(std::string_view inhalt, std::string_view sektion, const std::optional<std::string>& eintrag);

}  // namespace game
