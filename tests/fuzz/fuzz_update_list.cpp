// The update list over any list text: for every listed file the updater accepts, the place it
// is saved, the place it goes and the folder made for it lie inside the program folder, step by
// step, and none of them is, or passes through, a file the update must leave alone.
#include <algorithm>
#include <optional>

#include "Check.h"
#include "updater/Form3Intern.h"
#include "updater/IniDatei.h"

static const std::string ordner = "/spiele/Kreiselsturm";
static const std::vector<std::string> geschützt{"update.cmd", "updatedata.txt", "Kreiselsturm", "Kreiselsturm.dxe", "data.hsc"};

// Inside the program folder, at least `mindestens` steps down, walked one by one as the system
// would, and not through a protected file: as Windows matches names, without regard to case and
// to trailing dots and blanks.
static bool erlaubt(const std::string& pfad, size_t mindestens) {
    if (!pfad.starts_with(ordner + "/") && pfad != ordner) return false;
    std::vector<std::string> unten;
    for (const std::string& schritt : fuzz::pieces(std::string_view(pfad).substr(ordner.size()), '/')) {
        if (schritt.empty() || schritt == ".") continue;
        if (schritt != "..") unten.push_back(schritt);
        else if (unten.empty()) return false;  // out of the program folder on the way
        else unten.pop_back();
    }
    if (unten.size() < mindestens) return false;
    if (unten.empty()) return true;
    const std::string erster = fuzz::lower(unten.front().substr(0, unten.front().find_last_not_of(". ") + 1));
    return std::ranges::none_of(geschützt, [&](const std::string& g) { return fuzz::lower(g) == erster; });
}

FUZZ_TARGET(liste) {
    // Every key of [Namen] with its Pfad, as the updater looks them up.
    for (const std::string& key : fuzz::pieces(game::iniWert(liste, "Namen", std::nullopt), '\0')) {
        const std::string name = game::iniWert(liste, "Namen", key), pfad = game::iniWert(liste, "Pfad", key);
        const auto ablage = game::updater::ablageFuer(ordner, name, pfad, geschützt);
        if (!ablage) continue;
        FUZZ_CHECK(erlaubt(ablage->geladen, 1) && erlaubt(ablage->ziel, 1));
        FUZZ_CHECK(erlaubt(ablage->zielordner, 0));  // the target folder may be the program folder itself
    }
}
