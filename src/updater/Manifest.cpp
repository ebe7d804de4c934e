#include "updater/Manifest.h"

#include <cctype>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/Files.h"
#include "platform/Signature.h"
#include "updater/Form3Intern.h"
#include "updater/IniDatei.h"

namespace game::updater {

namespace {

bool nurAus(std::string_view s, std::string_view zeichen) { return s.find_first_not_of(zeichen) == std::string_view::npos; }

// YYYY-MM-DD, digits where digits belong, so that two dates compare as text.
bool datum(std::string_view s) {
    constexpr std::string_view muster = "0000-00-00";
    if (s.size() != muster.size()) return false;
    for (size_t i = 0; i < s.size(); ++i)
        if (muster[i] == '-' ? s[i] != '-' : !std::isdigit((unsigned char)s[i])) return false;
    return true;
}

}  // namespace

std::string diesePlattform() {
#if defined(_WIN32)
    return "windows-x64";
#elif defined(__x86_64__)
    return "linux-x86_64";
#elif defined(__aarch64__)
    return "linux-aarch64";
#else
    return "linux-unbekannt";
#endif
}

std::string heuteUtc() {
    const std::chrono::year_month_day tag{std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", int(tag.year()), unsigned(tag.month()), unsigned(tag.day()));
    return text;
}

bool manifestGilt(std::string_view manifest, const ManifestErwartung& erwartung) {
    const auto wert = [&](const char* schluessel) { return iniWert(manifest, "Update", std::string(schluessel)); };
    const std::string plattform = erwartung.plattform.empty() ? diesePlattform() : erwartung.plattform;
    const std::string ablauf = wert("Ablauf");
    const std::optional<float> version = versionsnummer(wert("Version")), eigene = versionsnummer(erwartung.eigeneVersion),
                               angeboten = versionsnummer(erwartung.angeboteneVersion);
    return wert("Produkt") == erwartung.produkt && wert("Plattform") == plattform && datum(ablauf) &&
           datum(erwartung.heute) && erwartung.heute <= ablauf && version && eigene && angeboten &&
           *version > *eigene && *version == *angeboten;
}

std::optional<Dateiangabe> dateiangabe(std::string_view manifest, const std::string& name) {
    const std::string zeile = iniWert(manifest, "Dateien", name);
    const size_t blank = zeile.find(' ');
    if (blank == std::string::npos) return std::nullopt;
    const std::string_view groesse = std::string_view(zeile).substr(0, blank);
    const std::string_view hash = std::string_view(zeile).substr(zeile.find_first_not_of(' ', blank));
    Dateiangabe angabe;
    const auto [ende, fehler] = std::from_chars(groesse.data(), groesse.data() + groesse.size(), angabe.groesse);
    if (groesse.empty() || fehler != std::errc() || ende != groesse.data() + groesse.size() || hash.size() != 64 ||
        !nurAus(hash, "0123456789abcdef"))
        return std::nullopt;
    angabe.sha256 = hash;
    return angabe;
}

bool dateiPasst(const std::string& pfad, const Dateiangabe& angabe) {
    std::error_code ec;
    const std::uintmax_t groesse = std::filesystem::file_size(platform::nativePath(platform::resolvePath(pfad)), ec);
    return !ec && groesse == angabe.groesse && platform::sha256OfFile(pfad) == angabe.sha256;
}

}  // namespace game::updater
