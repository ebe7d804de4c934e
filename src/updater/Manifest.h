#pragma once
// The signed update manifest (update.manifest), INI-style text:
//   [Update]   Produkt, Plattform, Version (as in version.txt), Ablauf (UTC date, YYYY-MM-DD)
//   [Dateien]  NAME=SIZE SHA256 for the program file, the list and each listed file
// It says which files make up one update, so that a server that was broken into cannot hand the
// player a program of its own.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace game::updater {

// What the manifest must say to be taken for this program, now.
struct ManifestErwartung {
    std::string eigeneVersion;      // the running program's
    std::string angeboteneVersion;  // the one version.txt offered and the player agreed to
    std::string heute;              // today's UTC date, YYYY-MM-DD
    std::string produkt = "Kreiselsturm";
    std::string plattform = "";     // "": this program's own
};

// Whether the manifest is for this product and platform, not expired, and offers exactly the
// agreed version, which must be newer than the running one (an old manifest replayed is not).
bool manifestGilt(std::string_view manifest, const ManifestErwartung& erwartung);

// A file's line in [Dateien] (names compared without regard to case); nothing when there is no
// line or it is not exactly "SIZE SHA256" (decimal bytes, 64 lower-case hex digits).
struct Dateiangabe {
    std::uint64_t groesse = 0;
    std::string sha256;
};
std::optional<Dateiangabe> dateiangabe(std::string_view manifest, const std::string& name);

// Whether the file at `pfad` has exactly that size and SHA-256.
bool dateiPasst(const std::string& pfad, const Dateiangabe& angabe);

// This program's platform as manifests name it ("linux-x86_64", "windows-x64").
std::string diesePlattform();
// Today's date in UTC, YYYY-MM-DD.
std::string heuteUtc();

}  // namespace game::updater
