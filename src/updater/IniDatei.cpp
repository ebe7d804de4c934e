#include "updater/IniDatei.h"

#include <algorithm>

#include "platform/Files.h"

namespace game {

namespace {

std::string_view ohneRand(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view ohneAnfuehrung(std::string_view s) {
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

// The next line of `rest`, which then starts after it. CR, LF and NUL each end a line (so a
// CR LF leaves an empty line behind, which the reader skips like any other); NUL so that no
// name handed back can hold the separator of the key list.
std::string_view naechsteZeile(std::string_view& rest) {
    const size_t ende = std::min(rest.find_first_of(std::string_view("\r\n\0", 3)), rest.size());
    const std::string_view zeile = rest.substr(0, ende);
    rest.remove_prefix(std::min(ende + 1, rest.size()));
    return zeile;
}

}  // namespace

std::string iniWert(std::string_view inhalt, std::string_view sektion, const std::optional<std::string>& eintrag) {
    if (inhalt.substr(0, 3) == "\xEF\xBB\xBF") inhalt.remove_prefix(3);
    const std::string_view gesucht = ohneRand(sektion);
    bool drin = false, gefunden = false;
    std::string liste;
    while (!inhalt.empty()) {
        const std::string_view zeile = ohneRand(naechsteZeile(inhalt));
        if (zeile.empty() || zeile.front() == ';') continue;
        if (zeile.front() == '[') {
            // Only the first section of that name counts.
            if (gefunden) break;
            const size_t zu = zeile.find(']');
            drin = zu != std::string_view::npos && platform::sameIgnoringCase(ohneRand(zeile.substr(1, zu - 1)), gesucht);
            gefunden = drin;
            continue;
        }
        if (!drin) continue;
        const size_t gleich = zeile.find('=');
        if (gleich == std::string_view::npos) continue;
        const std::string_view name = ohneRand(zeile.substr(0, gleich));
        if (name.empty()) continue;
        if (!eintrag) {
            liste.append(name);
            liste.push_back('\0');
        } else if (platform::sameIgnoringCase(name, ohneRand(*eintrag))) {
            return std::string(ohneAnfuehrung(ohneRand(zeile.substr(gleich + 1))));
        }
    }
    return eintrag ? std::string() : liste;
}

}  // namespace game
