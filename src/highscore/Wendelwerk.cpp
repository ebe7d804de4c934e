#include "highscore/Wendelwerk.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "platform/Files.h"

namespace fs = std::filesystem;

namespace game::Wendelwerk {

namespace {

[[noreturn]] void systemfehler(const std::string& was) { throw std::system_error(errno, std::generic_category(), was); }

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

// The whole file; empty when there is none.
std::string dateiinhalt(const std::string& datei) {
    if (!platform::fileExists(datei)) return "";
    const std::string pfad = platform::resolvePath(datei);
    std::ifstream in(platform::nativePath(pfad), std::ios::binary);
    if (!in.is_open()) throw forms::RuntimeError("Die Datei '" + datei + "' konnte nicht gelesen werden.");
    std::string inhalt((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw forms::RuntimeError("Die Datei '" + datei + "' konnte nicht gelesen werden.");
    return inhalt;
}

long prozessnummer() {
#ifdef _WIN32
    return long(_getpid());
#else
    return long(getpid());
#endif
}

// Temporary file, flushed, renamed over the old one. On failure the old file is untouched and
// the temporary file is gone.
void speichern(const std::string& datei, const std::string& inhalt) {
    const std::string ziel = platform::resolvePath(datei);
    const std::string neu = ziel + "." + std::to_string(prozessnummer()) + ".tmp";
    try {
        ablage().schreiben(neu, inhalt);
        ablage().festschreiben(neu);
        ablage().umbenennen(neu, ziel);
    } catch (const std::system_error& e) {
        std::error_code ignoriert;
        fs::remove(platform::nativePath(neu), ignoriert);
        throw forms::RuntimeError("Die Datei '" + datei + "' konnte nicht geschrieben werden (" + grund(e.code()) + ").");
    } catch (...) {
        std::error_code ignoriert;
        fs::remove(platform::nativePath(neu), ignoriert);
        throw;
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
#ifdef _WIN32
    std::FILE* f = _wfopen(platform::nativePath(pfad).c_str(), L"wb");
#else
    std::FILE* f = std::fopen(pfad.c_str(), "wb");
#endif
    if (!f) systemfehler(pfad);
    if (std::fwrite(inhalt.data(), 1, inhalt.size(), f) != inhalt.size() || std::fflush(f) != 0) {
        const int fehler = errno;
        std::fclose(f);
        errno = fehler;
        systemfehler(pfad);
    }
    if (std::fclose(f) != 0) systemfehler(pfad);
}

void Ablage::festschreiben(const std::string& pfad) {
#ifdef _WIN32
    const int fd = _wopen(platform::nativePath(pfad).c_str(), _O_RDWR | _O_BINARY);
    if (fd < 0) systemfehler(pfad);
    if (_commit(fd) != 0) {
        const int fehler = errno;
        _close(fd);
        errno = fehler;
        systemfehler(pfad);
    }
    _close(fd);
#else
    const int fd = ::open(pfad.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) systemfehler(pfad);
    if (::fsync(fd) != 0) {
        const int fehler = errno;
        ::close(fd);
        errno = fehler;
        systemfehler(pfad);
    }
    ::close(fd);
#endif
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

Ablage& ablage() { return ersatz() ? *ersatz() : festplatte(); }
void ablageErsetzen(Ablage* andere) { ersatz() = andere; }

void Datensatzschreiben(const std::string& datei, const std::string& text, forms::Int16 nummer, bool füllziffern,
                        platform::RandomSource& zufall) {
    std::string inhalt = dateiinhalt(datei);
    einsetzen(inhalt, nummer, füllziffern ? mitFüllung(text, zufall) : text);
    speichern(datei, inhalt);
}

void Datensätzeschreiben(const std::string& datei, const std::vector<std::string>& texte, bool füllziffern,
                         platform::RandomSource& zufall) {
    std::string inhalt = dateiinhalt(datei);
    for (size_t i = 0; i < texte.size(); ++i)
        einsetzen(inhalt, forms::Int16::checked(static_cast<long long>(i) + 1), füllziffern ? mitFüllung(texte[i], zufall) : texte[i]);
    speichern(datei, inhalt);
}

std::string Datensatzlesen(const std::string& datei, forms::Int16 nummer, bool füllziffern) {
    const size_t anfang = satzanfang(nummer);
    const std::string inhalt = dateiinhalt(datei);
    if (inhalt.size() <= anfang) return "";
    const auto beschädigt = [&] {
        return BeschädigterDatensatz("Datensatz " + std::to_string(nummer) + " der Datei '" + datei + "' ist beschädigt.");
    };
    if (inhalt.size() < anfang + 2) throw beschädigt();
    const size_t länge = size_t(uint8_t(inhalt[anfang])) | size_t(uint8_t(inhalt[anfang + 1])) << 8;
    if (länge > size_t(Textlänge) || inhalt.size() < anfang + 2 + länge) throw beschädigt();
    std::string text = inhalt.substr(anfang + 2, länge);
    if (füllziffern && !text.empty()) {
        if (text.size() < 2 * size_t(Füllziffern)) throw beschädigt();
        text = text.substr(Füllziffern, text.size() - 2 * Füllziffern);
    }
    return text;
}

}  // namespace game::Wendelwerk
