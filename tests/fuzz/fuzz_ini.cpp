// The INI reader over any text: the sections the update list uses, their key lists and every
// key's value, looked up as listed and in other spellings.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Check.h"
#include "updater/IniDatei.h"

namespace {

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

bool hasLineEnd(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view inhalt(reinterpret_cast<const char*>(data), size);
    for (const char* sektion : {"Namen", "URL", "Pfad"}) {
        const std::string liste = game::iniWert(inhalt, sektion, std::nullopt);
        FUZZ_CHECK(liste.empty() || liste.back() == '\0');
        FUZZ_CHECK(liste == game::iniWert(inhalt, " " + upper(sektion) + "\t", std::nullopt));
        size_t anfang = 0;
        while (anfang < liste.size()) {
            const size_t ende = liste.find('\0', anfang);
            const std::string name = liste.substr(anfang, ende - anfang);
            anfang = ende + 1;
            // A listed name is one whole key: never empty, no blanks around it, no '=', no line.
            FUZZ_CHECK(!name.empty() && name.front() != ' ' && name.back() != ' ' && name.front() != '\t' &&
                       name.back() != '\t');
            FUZZ_CHECK(name.find('=') == std::string::npos && !hasLineEnd(name));
            const std::string wert = game::iniWert(inhalt, sektion, name);
            FUZZ_CHECK(!hasLineEnd(wert));
            FUZZ_CHECK(wert == game::iniWert(inhalt, sektion, upper(name)));
            FUZZ_CHECK(wert == game::iniWert(inhalt, sektion, " " + name + " "));
        }
    }
    return 0;
}
