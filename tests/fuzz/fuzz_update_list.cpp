// The update list over any list text: for every listed file the updater accepts, the place it
// is saved and the place it goes both lie inside the program folder, step by step.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Check.h"
#include "updater/Form3Intern.h"
#include "updater/IniDatei.h"

namespace {

const std::string ordner = "/spiele/Kreiselsturm";

// How many folders below the program folder `pfad` ends, walking its steps one by one as the
// system would; nothing when it leaves the program folder on the way or does not start in it.
std::optional<int> tiefe(const std::string& pfad) {
    if (pfad.rfind(ordner + "/", 0) != 0 && pfad != ordner) return std::nullopt;
    int t = 0;
    size_t anfang = ordner.size();
    while (anfang < pfad.size()) {
        size_t ende = pfad.find('/', anfang + 1);
        if (ende == std::string::npos) ende = pfad.size();
        const std::string_view schritt = std::string_view(pfad).substr(anfang + 1, ende - anfang - 1);
        anfang = ende;
        if (schritt.empty() || schritt == ".") continue;
        if (schritt == ".." && --t < 0) return std::nullopt;
        if (schritt != "..") ++t;
    }
    return t;
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
        const std::optional<game::updater::Ablage> ablage = game::updater::ablageFuer(ordner, name, pfad);
        if (!ablage) continue;
        // The files lie inside; the target folder may be the program folder itself.
        const std::optional<int> geladen = tiefe(ablage->geladen), ziel = tiefe(ablage->ziel),
                                 zielordner = tiefe(ablage->zielordner);
        FUZZ_CHECK(geladen && *geladen >= 1);
        FUZZ_CHECK(ziel && *ziel >= 1);
        FUZZ_CHECK(zielordner && *zielordner >= 0);
    }
    return 0;
}
