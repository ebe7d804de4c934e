#pragma once
// What the update window's source files share.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/Label.h"
#include "forms/Shape.h"
#include "forms/Timer.h"
#include "updater/Form3.h"

namespace game {

struct Form3::Steuerelemente {
    forms::Timer Timer2;
    forms::Timer Timer1;
    forms::Label Label2;
    forms::Shape Shape1;
    forms::Shape Shape2;
    forms::Label Label1;
};

namespace updater {

// The version text of the version file's content: its last line after a nine-character label;
// "" when that line is shorter.
std::string versionstext(std::string_view inhalt);
// A version written with a decimal comma ("1,260"), read the same whatever the locale.
// Anything else is no version.
std::optional<float> versionsnummer(std::string text);

// Where a listed file is saved and where it goes then.
struct Ablage {
    std::string geladen;     // in the program folder
    std::string ziel;        // program folder + Pfad + name
    std::string zielordner;  // the folder that holds ziel
    bool verschieben = false;
};

// Nothing when the list points outside the program folder or at a file the update must leave
// alone (`geschützt`, in the program folder).
std::optional<Ablage> ablageFuer(const std::string& ordner, const std::string& name, const std::string& pfad,
                                 const std::vector<std::string>& geschützt);

}  // namespace updater
}  // namespace game
