// The INI reader over any text: the sections the update list uses, their key lists and every
// key's value, looked up as listed and in other spellings.
#include "Check.h"
#include "updater/IniDatei.h"

static bool hasLineEnd(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

FUZZ_TARGET(inhalt) {
    for (const std::string sektion : {"Namen", "URL", "Pfad"}) {
        const std::string liste = game::iniWert(inhalt, sektion, std::nullopt);
        FUZZ_CHECK(liste.empty() || liste.back() == '\0');
        FUZZ_CHECK(liste == game::iniWert(inhalt, " " + fuzz::lower(sektion) + "\t", std::nullopt));
        for (const std::string& name : fuzz::pieces(liste, '\0')) {
            // A listed name is one whole key: never empty, no blanks around it, no '=', no line.
            FUZZ_CHECK(!name.empty() && name.find_first_of(" \t") != 0 && name.find_last_of(" \t") != name.size() - 1);
            FUZZ_CHECK(name.find('=') == std::string::npos && !hasLineEnd(name));
            const std::string wert = game::iniWert(inhalt, sektion, name);
            FUZZ_CHECK(!hasLineEnd(wert));
            FUZZ_CHECK(wert == game::iniWert(inhalt, sektion, fuzz::lower(name)));
            FUZZ_CHECK(wert == game::iniWert(inhalt, sektion, " " + name + " "));
        }
    }
}
