#include "highscore/Wendelwerk.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace game::Wendelwerk {

namespace {

[[noreturn]] void systemfehler(const std::string& was) { throw std::system_error(errno, std::generic_category(), was); }

#ifdef _WIN32
int öffnen(const std::string& pfad, int art) { return ::_wopen(platform::nativePath(pfad).c_str(), art | _O_BINARY, _S_IREAD | _S_IWRITE); }
int schreibeTeil(int fd, const char* daten, size_t n) { return ::_write(fd, daten, unsigned(std::min<size_t>(n, 1u << 30))); }
int aufDiePlatte(int fd) { return ::_commit(fd); }
int zumachen(int fd) { return ::_close(fd); }
constexpr int Schreiben = _O_WRONLY, Neu = _O_CREAT | _O_EXCL, Festhalten = _O_RDWR;  // _commit needs write access
#else
int öffnen(const std::string& pfad, int art) { return ::open(pfad.c_str(), art | O_CLOEXEC, 0666); }
ssize_t schreibeTeil(int fd, const char* daten, size_t n) { return ::write(fd, daten, n); }
int aufDiePlatte(int fd) { return ::fsync(fd); }
int zumachen(int fd) { return ::close(fd); }
constexpr int Schreiben = O_WRONLY, Neu = O_CREAT | O_EXCL, Festhalten = O_RDONLY;
#endif

// An open file, closed when it goes; every failure throws std::system_error naming it.
class Offen {
public:
    Offen(const std::string& pfad, int art) : pfad(pfad), fd(öffnen(pfad, art)) {
        if (fd < 0) systemfehler(pfad);
    }
    ~Offen() {
        if (fd >= 0) zumachen(fd);
    }
    void schreiben(std::string_view inhalt) {
        while (!inhalt.empty()) {
            const auto n = schreibeTeil(fd, inhalt.data(), inhalt.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) systemfehler(pfad);
            inhalt.remove_prefix(size_t(n));
        }
    }
    void festschreiben() {
        if (aufDiePlatte(fd) != 0) systemfehler(pfad);
    }
    void schließen() {
        const int f = fd;
        fd = -1;
        if (zumachen(f) != 0) systemfehler(pfad);
    }

private:
    std::string pfad;
    int fd;
};

// A short German reason for the failures a player can do something about.
std::string grund(const std::error_code& ec) {
    const std::error_condition c = ec.default_error_condition();
    if (c == std::errc::permission_denied || c == std::errc::operation_not_permitted) return "Zugriff verweigert";
    if (c == std::errc::no_space_on_device) return "kein Platz auf dem Datenträger";
    if (c == std::errc::read_only_file_system) return "Datenträger schreibgeschützt";
    if (c == std::errc::no_such_file_or_directory) return "Ordner nicht vorhanden";
    if (c == std::errc::is_a_directory) return "ein Ordner dieses Namens ist vorhanden";
    return ec.message();
}

forms::RuntimeError schreibfehler(const std::string& datei, const std::string& grund) {
    return forms::RuntimeError("Die Datei '" + datei + "' konnte nicht geschrieben werden (" + grund + ").");
}

// The folder refuses a new file, though the file already there may still take new records.
bool ordnerVoll(const std::error_code& ec) {
    const std::error_condition c = ec.default_error_condition();
    return c == std::errc::permission_denied || c == std::errc::operation_not_permitted ||
           c == std::errc::no_space_on_device
#ifdef EDQUOT
           || (ec.category() == std::generic_category() && ec.value() == EDQUOT)
#endif
        ;
}

// One random digit: the first digit of 10 * r.
char füllziffer(platform::RandomSource& zufall) {
    const float zehnfach = 10.0f * zufall.next();
    return char('0' + std::clamp(static_cast<int>(zehnfach), 0, 9));
}

std::string mitFüllung(const std::string& text, platform::RandomSource& zufall) {
    std::string s;
    for (int i = 0; i < Füllziffern; ++i) s += füllziffer(zufall);
    s += text;
    for (int i = 0; i < Füllziffern; ++i) s += füllziffer(zufall);
    return s;
}

size_t satzanfang(forms::Int16 nummer) {
    if (nummer < 1) throw forms::RuntimeError("Falsche Datensatznummer: " + std::to_string(nummer) + ".");
    return size_t(nummer - 1) * Satzlänge;
}

void einsetzen(std::string& inhalt, forms::Int16 nummer, const std::string& text) {
    if (text.size() > size_t(Textlänge))
        throw forms::RuntimeError("Falsche Datensatzlänge: " + std::to_string(text.size()) + " Zeichen passen nicht in einen Datensatz.");
    const size_t anfang = satzanfang(nummer);
    if (inhalt.size() < anfang + Satzlänge) inhalt.resize(anfang + Satzlänge, '\0');
    inhalt[anfang] = char(text.size() & 0xFF);
    inhalt[anfang + 1] = char((text.size() >> 8) & 0xFF);
    std::copy(text.begin(), text.end(), inhalt.begin() + std::ptrdiff_t(anfang + 2));
    std::fill(inhalt.begin() + std::ptrdiff_t(anfang + 2 + text.size()), inhalt.begin() + std::ptrdiff_t(anfang + Satzlänge), '\0');
}

// The file a save or a read of `datei` goes to: its name found whatever its case, its links
// followed.
std::string zieldatei(const std::string& datei) { return platform::followLinks(platform::resolvePath(datei)); }

// Up to `länge` bytes of `ziel` from byte `ab`; nothing when the file is missing or shorter.
std::string bytes(const std::string& datei, const std::string& ziel, size_t ab, size_t länge) {
    std::error_code ec;
    if (!fs::is_regular_file(platform::nativePath(ziel), ec)) return "";
    std::ifstream in(platform::nativePath(ziel), std::ios::binary);
    std::string gelesen(länge, '\0');
    if (in.is_open() && in.seekg(std::streamoff(ab))) in.read(gelesen.data(), std::streamsize(länge));
    if (!in.is_open() || in.bad()) throw forms::RuntimeError("Die Datei '" + datei + "' konnte nicht gelesen werden.");
    gelesen.resize(size_t(in.gcount()));
    return gelesen;
}

// Removes the temporary files "<name>.<number>.tmp" beside `ziel` whose process has died, and
// only those: a living process may be writing its own. One with our own number is a dead
// copy's too, as this one writes its own only after this.
void verwaisteEntfernen(const std::string& ziel) {
    const fs::path pfad = platform::nativePath(ziel);
    const std::string vorne = platform::utf8Path(pfad.filename()) + ".", hinten = ".tmp";
    std::error_code ec;
    for (fs::directory_iterator it(pfad.parent_path().empty() ? fs::path(".") : pfad.parent_path(), ec), ende; !ec && it != ende;
         it.increment(ec)) {
        const std::string name = platform::utf8Path(it->path().filename());
        if (name.size() <= vorne.size() + hinten.size() || !name.starts_with(vorne) || !name.ends_with(hinten)) continue;
        const std::string nummer = name.substr(vorne.size(), name.size() - vorne.size() - hinten.size());
        if (nummer.size() > 9 || !std::all_of(nummer.begin(), nummer.end(), [](char c) { return c >= '0' && c <= '9'; })) continue;
        if (std::stol(nummer) != platform::processId() && platform::processAlive(std::stol(nummer))) continue;
        std::error_code ignoriert;
        fs::remove(it->path(), ignoriert);
    }
}

// `bereich` in place of the old file `ziel` through a temporary file, or over its first bytes
// where that cannot be (see the top of the header).
void ersetzen(const std::string& ziel, const std::string& bereich, bool vorhanden) {
    const std::string neu = ziel + "." + std::to_string(platform::processId()) + ".tmp";
    std::error_code ignoriert;
    try {
        ablage().schreiben(neu, bereich);
    } catch (const std::system_error& e) {
        fs::remove(platform::nativePath(neu), ignoriert);
        if (!vorhanden || !ordnerVoll(e.code())) throw;
        ablage().überschreiben(ziel, bereich);
        return;
    }
    try {
        if (vorhanden && !platform::takeOverModeAndOwner(ziel, neu)) {
            fs::remove(platform::nativePath(neu), ignoriert);
            ablage().überschreiben(ziel, bereich);
            return;
        }
        ablage().festschreiben(neu);
        ablage().umbenennen(neu, ziel);
    } catch (...) {
        fs::remove(platform::nativePath(neu), ignoriert);
        throw;
    }
}

// Writes the records `sätze` (number, stored text) into `datei`.
void speichern(const std::string& datei, const std::vector<std::pair<forms::Int16, std::string>>& sätze) {
    size_t bis = 0;
    for (const auto& [nummer, text] : sätze) bis = std::max(bis, satzanfang(nummer) + Satzlänge);
    const std::string ziel = zieldatei(datei);
    const fs::path pfad = platform::nativePath(ziel);
    std::error_code ec, größeFehler, linkFehler;
    const fs::file_status art = fs::status(pfad, ec);
    const bool vorhanden = fs::is_regular_file(art);
    // A pipe or a device (a link to /dev/null) would be replaced by a plain file.
    if (fs::exists(art) && !vorhanden && !fs::is_directory(art)) throw schreibfehler(datei, "keine gewöhnliche Datei");
    if (vorhanden && !platform::writePermitted(ziel)) throw forms::RuntimeError("Die Datei '" + datei + "' ist schreibgeschützt.");
    // In place where further records stay as they are, or other names (hard links) share the file.
    const bool amOrt = vorhanden && ((fs::file_size(pfad, größeFehler) > bis && !größeFehler) ||
                                     (fs::hard_link_count(pfad, linkFehler) > 1 && !linkFehler));
    std::string bereich = bytes(datei, ziel, 0, bis);
    for (const auto& [nummer, text] : sätze) einsetzen(bereich, nummer, text);
    verwaisteEntfernen(ziel);
    try {
        if (amOrt) ablage().überschreiben(ziel, bereich);
        else ersetzen(ziel, bereich, vorhanden);
    } catch (const std::system_error& e) {
        throw schreibfehler(datei, grund(e.code()));
    }
}

Ablage& festplatte() {
    static Ablage platte;
    return platte;
}

Ablage*& ersatz() {
    static Ablage* andere = nullptr;
    return andere;
}

}  // namespace

void Ablage::schreiben(const std::string& pfad, std::string_view inhalt) {
    Offen datei(pfad, Schreiben | Neu);
    datei.schreiben(inhalt);
    datei.schließen();
}

void Ablage::festschreiben(const std::string& pfad) {
    Offen datei(pfad, Festhalten);
    datei.festschreiben();
}

void Ablage::umbenennen(const std::string& von, const std::string& nach) {
    std::error_code ec;
    fs::rename(platform::nativePath(von), platform::nativePath(nach), ec);
    if (ec) throw std::system_error(ec, von);
#ifndef _WIN32
    // The rename itself is only lasting once the folder's entry is on the disk too.
    const std::string ordner = fs::path(nach).parent_path().string();
    const int fd = ::open(ordner.empty() ? "." : ordner.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

void Ablage::überschreiben(const std::string& pfad, std::string_view inhalt) {
    Offen datei(pfad, Schreiben);
    datei.schreiben(inhalt);
    datei.festschreiben();
    datei.schließen();
}

Ablage& ablage() { return ersatz() ? *ersatz() : festplatte(); }
void ablageErsetzen(Ablage* andere) { ersatz() = andere; }

Sperre::Sperre(const std::string& datei) {
    const std::string ziel = zieldatei(datei);
#ifdef _WIN32
    // Windows locks no folder: a lock file beside the file, or the file itself.
    schloss.emplace(ziel + ".lock", true);
    if (!schloss->held() && !schloss->busy()) {
        schloss.reset();
        schloss.emplace(ziel, false);
    }
#else
    // The folder: it is there before the file, is never replaced, opens when it is read-only and
    // leaves nothing behind.
    const fs::path ordner = platform::nativePath(ziel).parent_path();
    schloss.emplace(ordner.empty() ? "." : platform::utf8Path(ordner), false);
#endif
    if (schloss->busy()) fehler = schreibfehler(datei, "Datei gesperrt").what();
}

void Verwaisteentfernen(const std::string& datei) { verwaisteEntfernen(zieldatei(datei)); }

void Datensatzschreiben(const std::string& datei, const std::string& text, forms::Int16 nummer, bool füllziffern,
                        platform::RandomSource& zufall) {
    speichern(datei, {{nummer, füllziffern ? mitFüllung(text, zufall) : text}});
}

void Datensätzeschreiben(const std::string& datei, const std::vector<std::string>& texte, bool füllziffern,
                         platform::RandomSource& zufall) {
    std::vector<std::pair<forms::Int16, std::string>> sätze;
    for (size_t i = 0; i < texte.size(); ++i)
        sätze.emplace_back(forms::Int16::checked(static_cast<long long>(i) + 1), füllziffern ? mitFüllung(texte[i], zufall) : texte[i]);
    speichern(datei, sätze);
}

std::string Datensatzlesen(const std::string& datei, forms::Int16 nummer, bool füllziffern) {
    const std::string satz = bytes(datei, zieldatei(datei), satzanfang(nummer), Satzlänge);
    if (satz.empty()) return "";
    const auto beschädigt = [&] {
        return BeschädigterDatensatz("Datensatz " + std::to_string(nummer) + " der Datei '" + datei + "' ist beschädigt.");
    };
    if (satz.size() < 2) throw beschädigt();
    const size_t länge = size_t(uint8_t(satz[0])) | size_t(uint8_t(satz[1])) << 8;
    if (länge > size_t(Textlänge) || satz.size() < 2 + länge) throw beschädigt();
    std::string text = satz.substr(2, länge);
    if (füllziffern && !text.empty()) {
        if (text.size() < 2 * size_t(Füllziffern)) throw beschädigt();
        text = text.substr(Füllziffern, text.size() - 2 * Füllziffern);
    }
    return text;
}

}  // namespace game::Wendelwerk
