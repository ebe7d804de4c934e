// The update list over any list text: for every listed file the updater accepts, the place it
// is saved, the place it goes and the folder made for it lie inside the program folder, step by
// step, and none of them is, or passes through, a file the update must leave alone.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Check.h"
#include "updater/Form3Intern.h"
#include "updater/IniDatei.h"

namespace {

const std::string ordner = "/spiele/Kreiselsturm";
const std::vector<std::string> geschützt{"update.cmd", "updatedata.txt", "Kreiselsturm", "Kreiselsturm.dxe", "data.hsc"};

// The steps below the program folder `pfad` ends at, walked one by one as the system would;
// nothing when it leaves the program folder on the way or does not start in it.
std::optional<std::vector<std::string>> schritte(const std::string& pfad) {
    if (pfad.rfind(ordner + "/", 0) != 0 && pfad != ordner) return std::nullopt;
    std::vector<std::string> unten;
    size_t anfang = ordner.size();
    while (anfang < pfad.size()) {
        size_t ende = pfad.find('/', anfang + 1);
        if (ende == std::string::npos) ende = pfad.size();
        const std::string schritt = pfad.substr(anfang + 1, ende - anfang - 1);
        anfang = ende;
        if (schritt.empty() || schritt == ".") continue;
        if (schritt != "..") unten.push_back(schritt);
        else if (unten.empty()) return std::nullopt;
        else unten.pop_back();
    }
    return unten;
}

// A name in the program folder that stands for a protected file, as Windows matches names:
// without regard to case and to trailing dots and blanks.
bool geschützterName(std::string name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    for (char& c : name)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    for (std::string g : geschützt) {
        for (char& c : g)
            if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (name == g) return true;
    }
    return false;
}

// Inside the program folder, at least `mindestens` steps down, not through a protected file.
bool erlaubt(const std::string& pfad, size_t mindestens) {
    const std::optional<std::vector<std::string>> unten = schritte(pfad);
    return unten && unten->size() >= mindestens && (unten->empty() || !geschützterName(unten->front()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view liste(reinterpret_cast<const char*>(data), size);
    // Every key of [Namen] with its Pfad, as the updater looks them up.
    const std::string schluessel = game::iniWert(liste, "Namen", std::nullopt);
    size_t anfang = 0;
    while (anfang < schluessel.size()) {
        const size_t ende = schluessel.find('\0', anfang);
        const std::string key = schluessel.substr(anfang, ende - anfang);
        anfang = ende + 1;
        const std::string name = game::iniWert(liste, "Namen", key);
        const std::string pfad = game::iniWert(liste, "Pfad", key);
        const std::optional<game::updater::Ablage> ablage = game::updater::ablageFuer(ordner, name, pfad, geschützt);
        if (!ablage) continue;
        // The target folder may be the program folder itself.
        FUZZ_CHECK(erlaubt(ablage->geladen, 1));
        FUZZ_CHECK(erlaubt(ablage->ziel, 1));
        FUZZ_CHECK(erlaubt(ablage->zielordner, 0));
    }
    return 0;
}
