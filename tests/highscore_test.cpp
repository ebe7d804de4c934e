// The highscore file and the table at game over where an ordinary game does not lead: records
// of other writers, files edited, damaged or linked from outside, permissions, failing disks
// and devices, two copies of the game at once; the stored scores are never lost.
#include <gtest/gtest.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <fstream>
#include <optional>
#include <system_error>
#include <tuple>
#include <vector>

#include "highscore/Bestenliste.h"
#include "highscore/Wendelwerk.h"
#include "support/GameHarness.h"
#include "support/Schreibschutz.h"

namespace {

namespace fs = std::filesystem;
namespace W = game::Wendelwerk;
using Zeilen = std::vector<std::string>;

// One record as the file holds it, built here byte by byte rather than by our writer.
std::string satz(const std::string& text) {
    std::string s(128, '\0');
    s[0] = char(text.size() & 0xFF), s[1] = char(text.size() >> 8);
    return s.replace(2, text.size(), text);
}

// Records 1..3 with filler around each text, as any writer of the file would store them.
std::string datei(const Zeilen& texte, const std::string& füllung = "1234") {
    std::string bytes;
    for (const std::string& t : texte) bytes += satz(füllung + t + füllung);
    return bytes;
}

// The best three as we store them, with the filler the scripted 0.5 gives.
std::string gespeichert(const Zeilen& tabelle) { return datei({tabelle[0], tabelle[1], tabelle[2]}, "5555"); }

// Whether no temporary file of a save is left in `ordner`.
void keineResteIn(const std::string& ordner) {
    for (const std::string& name : folderTree(ordner)) EXPECT_FALSE(name.ends_with(".tmp")) << name;
}

TEST(HighscoreFile, ReadsAFileOfAnotherWriterAndWritesTheSameLayout) {
    TempFolder f;
    const std::string alt = f.write("data.hsc", satz("0172-124903") + "\x05\x01" + std::string(126, 'x'));  // record 2 damaged
    EXPECT_EQ(W::Datensatzlesen(alt, 1, true), "-12");
    EXPECT_EQ(W::Datensatzlesen(f.write("eins.hsc", satz("0172-124903")), 2, true), "") << "a record beyond the end is empty";
    W::Datensatzschreiben(alt, "zwei", 2, false);
    EXPECT_EQ(readFile(alt), satz("0172-124903") + satz("zwei")) << "one record written whole over a damaged one, the other kept";
    const std::string voll = satz(std::string(126, 'x'));  // the longest text a record holds
    W::Datensatzschreiben(f.file("voll.hsc"), std::string(126, 'x'), 1, false);
    EXPECT_EQ(readFile(f.file("voll.hsc")), voll);
    EXPECT_EQ(W::Datensatzlesen(f.file("voll.hsc"), 1, false), std::string(126, 'x'));
    try {
        W::Datensatzschreiben(f.file("voll.hsc"), std::string(127, 'x'), 1, false);
        ADD_FAILURE() << "a text too long for its record was written";
    } catch (const forms::RuntimeError& e) {
        EXPECT_STREQ(e.what(), "Falsche Datensatzlänge: 127 Zeichen passen nicht in einen Datensatz.");
    }
    EXPECT_EQ(readFile(f.file("voll.hsc")), voll) << "and the file is untouched";
    EXPECT_THROW(W::Datensatzlesen(f.write("kurz.hsc", voll.substr(0, 127)), 1, false), W::BeschädigterDatensatz) << "cut short";
    EXPECT_EQ(W::Datensatzlesen(f.write("leer.hsc", satz("12344321")), 1, true), "") << "nothing but filler";

    ScriptedRandom zufall;
    for (int i = 0; i < 3; ++i)
        for (float r : {0.0f, 0.15f, 0.99999994f, 0.5f, 0.31f, 0.7f, 0.05f, 0.96f}) zufall.push(r);
    W::Datensätzeschreiben(f.file("neu.hsc"), {"25", "0", "-7"}, true, zufall);
    EXPECT_EQ(readFile(f.file("neu.hsc")), satz("0195253709") + satz("019503709") + satz("0195-73709")) << "384 bytes, digit filler";
    EXPECT_EQ(zufall.reseeds, 0) << "filler digits never re-seed the shared source";
}

void spielende(GameHarness& h, int16_t punkte) { h.form1->allesstoppen(); h.form1->highscorezeigen(punkte); }

Zeilen zeilen(const GameHarness& h) {
    Zeilen z;
    h.ui().Platzcap.forEach([&](const forms::Label& l) { return z.push_back(l.Caption), false; });
    return z;
}

// Fails save step 0 (the writing, after half the bytes), 1 (the flush, refused as by a disk
// that turned read-only after an error) or 2 (the rename) of the `ab`-th save.
struct KaputteAblage : W::Ablage {
    int schritt, ab, speicherungen = 0;
    KaputteAblage(int s, int a) : schritt(s), ab(a) { W::ablageErsetzen(this); }
    ~KaputteAblage() override { W::ablageErsetzen(nullptr); }
    void scheitern(int bei, const std::string& p) const {
        const auto fehler = bei == 1 ? std::errc::read_only_file_system : std::errc::io_error;
        if (schritt == bei && speicherungen == ab) throw std::system_error(std::make_error_code(fehler), p);
    }
    void schreiben(const std::string& p, std::string_view b) override {
        ++speicherungen;
        Ablage::schreiben(p, b.substr(0, b.size() / (schritt == 0 && speicherungen == ab ? 2 : 1)));
        scheitern(0, p);
    }
    void festschreiben(const std::string& p) override { scheitern(1, p); Ablage::festschreiben(p); }
    void umbenennen(const std::string& von, const std::string& nach) override { scheitern(2, von); Ablage::umbenennen(von, nach); }
};

TEST(Table, MergesRanksMarksAndStoresTheBestThreeOrKeepsTheOldFileWhenTheSaveFails) {
    // zweitesUmbenennen: the rename of the second save; ordnerGesperrt: nobody may make a file in
    // the folder; fremdeDatei: the player may make files in the folder but not write the
    // superuser's file; dateiGesperrt: the file is read-only.
    enum Störung { keine = -1, schreiben, festschreiben, umbenennen, zweitesUmbenennen, ordnerGesperrt, fremdeDatei, dateiGesperrt };
    struct Fall {
        std::optional<std::string> datei;
        int16_t erreicht, platz;
        Zeilen tabelle;
        Störung störung = keine;
        std::optional<std::string> danach{};  // the file afterwards, when not the best three
        std::string name = "data.hsc";
    };
    const std::string alt = datei({"50", "30", "10"});
    const Zeilen ohneDatei = {"25", "0", "0", "25"}, mitDatei = {"50", "40", "30", "40"};
    std::vector<Fall> fälle = {
        {alt, 40, 2, mitDatei, keine, std::nullopt, "Data.HSC"},  // found and replaced whatever its case
        {datei({"50", "50", "10"}), 5, 3, {"50", "10", "5", "5"}},
        // Edited or cut short from outside: what cannot be read as a score counts as 0.
        {datei({"abc", "60", "99999"}), 7, 2, {"60", "7", "0", "7"}},
        {datei({"1x", "-2", "-3"}), -4, 4, {"0", "0", "0", "-4"}},  // no score below 0 takes a place
        {alt.substr(0, 128 + 6), 5, 2, {"50", "5", "0", "5"}},
        {"\xC8" + alt.substr(1), 5, 3, {"30", "10", "5", "5"}},  // length 200
        {satz("1234567") + datei({"60", "30"}), 7, 3, {"60", "30", "7", "7"}},  // too short for its filler
        // No file yet and the save fails: the three zeros written first are there; when those
        // could not be written, nothing more is tried.
        {std::nullopt, 25, 1, ohneDatei, zweitesUmbenennen, gespeichert({"0", "0", "0"})},
        {std::nullopt, 25, 1, ohneDatei, schreiben, ""},
        {std::nullopt, 25, 1, ohneDatei, ordnerGesperrt, ""},
    };
    for (Störung s : {schreiben, festschreiben, umbenennen, fremdeDatei, dateiGesperrt}) fälle.push_back({alt, 40, 2, mitDatei, s, alt});
    const float tops[] = {80, 125, 170, 235};  // the reached score stands apart
    const char* const gründe[] = {"(Input/output error).", "(Datenträger schreibgeschützt).", "(Input/output error).", "(Input/output error).",
                                  "(Zugriff verweigert).", "(Zugriff verweigert).", "' ist schreibgeschützt."};  // by Störung
    std::string nichtGelaufen;
    for (const Fall& fall : fälle) {
        const std::string nummer = "case " + std::to_string(&fall - fälle.data());
        SCOPED_TRACE(nummer);
        const bool alsSpielerNötig = fall.störung == ordnerGesperrt || fall.störung == fremdeDatei;
#ifdef _WIN32
        if (alsSpielerNötig) continue;  // Windows has neither folders closed to writing nor users to switch to
#else
        if (fall.störung == fremdeDatei && geteuid() != 0) {  // only the superuser can make a file of another
            nichtGelaufen += " " + nummer + " (a file of another user needs root)";
            continue;
        }
#endif
        GameHarness h;
        h.startGame();
        if (fall.datei) h.folder.write(fall.name, *fall.datei);
        KaputteAblage ablage(fall.störung == zweitesUmbenennen ? umbenennen : fall.störung, fall.störung == zweitesUmbenennen ? 2 : 1);
        if (fall.störung == dateiGesperrt) fs::permissions(h.file(fall.name), fs::perms(0444));  // read-only, also for the superuser
        if (fall.störung == ordnerGesperrt) fs::permissions(h.folder.path(), fs::perms(0222), fs::perm_options::remove);
        if (fall.störung == fremdeDatei) fs::permissions(h.folder.path(), fs::perms::all);
        const auto ende = [&] { spielende(h, fall.erreicht); };
        const bool gelaufen = alsSpielerNötig ? alsSpieler(ende) : (ende(), true);
        fs::permissions(h.folder.path(), fs::perms::owner_all);
        if (!gelaufen) {
            nichtGelaufen += " " + nummer + " (the superuser could not act as a player)";
            continue;
        }

        auto& zeile = h.ui().Platzcap;
        EXPECT_EQ(zeilen(h), fall.tabelle);
        EXPECT_FLOAT_EQ(h.ui().Platzierung.Top, tops[fall.platz - 1]) << "the marker";
        EXPECT_TRUE(h.ui().Highscore.Visible);
        EXPECT_NEAR(h.ui().Highscore.Left, 210.85f, 1e-3);
        EXPECT_NEAR(h.ui().Highscore.Top, 175.275f, 1e-3) << "centred";
        EXPECT_EQ(readFile(h.file(fall.name)), fall.danach.value_or(gespeichert(fall.tabelle))) << "the best three, saved whole";
        if (fall.störung == dateiGesperrt) { EXPECT_EQ(fs::status(h.file(fall.name)).permissions(), fs::perms(0444)); }
        keineResteIn(h.folder.path());
        EXPECT_EQ(h.backend.shownBoxes().size(), fall.störung == keine ? 0u : 1u);
        for (const auto& [box, antwort] : h.backend.shownBoxes()) {
            EXPECT_TRUE(box.text.starts_with("Die Highscores konnten nicht gespeichert werden.\n")) << box.text;
            EXPECT_NE(box.text.find("data.hsc"), std::string::npos) << "the file is named";
            EXPECT_TRUE(box.text.ends_with(gründe[fall.störung])) << box.text;
        }
        h.advance(800);  // the reached line blinks together with the player's own
        for (int16_t i = 0; i < 4; ++i) EXPECT_EQ(zeile[i].backStyle == forms::BackStyle::Opaque, i == fall.platz - 1 || i == 3) << "line " << i;
        h.advance(800);
        EXPECT_EQ(zeile[3].backStyle, forms::BackStyle::Transparent);

        h.click(h.ui().Command2);  // Restart, the second top, Start, the same score again
        h.click(h.ui().Command1[1]);
        h.click(h.ui().Command1[2]);
        spielende(h, fall.erreicht);
        EXPECT_EQ(zeilen(h), fall.tabelle);
        EXPECT_EQ(fs::path(h.ui().Platzierung.picture->path).filename(), "spieler2.gif");
        EXPECT_FALSE(h.app.ended());
    }
    if (!nichtGelaufen.empty()) GTEST_SKIP() << "the other cases ran; not run here:" << nichtGelaufen;
}

// A picture of the table that cannot be loaded ends the program with its error, but only
// after the score is stored.
TEST(Table, TheScoreIsStoredBeforeThePicturesAreLoaded) {
    for (const auto& [name, inhalt] : {std::pair("highscore.jpg", "kein Bild"), {"highscore.jpg", ""}, {"spieler1.gif", "GIF89a"}}) {
        GameHarness h;
        h.startGame();
        if (*inhalt) h.folder.write(name, inhalt);
        else fs::remove(h.file(name));
        EXPECT_FALSE(h.app.dispatch([&] { spielende(h, 40); }));
        EXPECT_NE(h.app.failure().find(name), std::string::npos) << h.app.failure();
        EXPECT_NE(h.app.exitCode(), 0);
        EXPECT_EQ(readFile(h.file("data.hsc")), gespeichert({"40", "0", "0"}));
    }
}

#ifndef _WIN32  // file identity, owners, links, processes and failing devices as POSIX has them
// Bytes read by this thread so far; where the system does not count them, the test fails.
long long gelesen() {
    std::ifstream io("/proc/thread-self/io");
    std::string feld;
    long long n = -1;
    while (io >> feld >> n && feld != "rchar:") {}
    EXPECT_TRUE(feld == "rchar:" && n >= 0) << "no count of the bytes read in /proc/thread-self/io";
    return n;
}

// What only a failing device shows: the test program's write, fsync and close stand in front of
// the C library's; fsync counts, and while told to, fsync or close fail with an I/O error, or
// write is interrupted once by a signal and then takes one byte a call, as a busy device may.
enum Gerät { heil, fsyncKaputt, closeKaputt, tröpfelt } gerät = heil;
int fsyncs = 0, unterbrechungen = 0;
}  // namespace
extern "C" ssize_t write(int fd, const void* daten, size_t n) {
    if (gerät == tröpfelt && unterbrechungen > 0) return --unterbrechungen, errno = EINTR, -1;
    return reinterpret_cast<ssize_t (*)(int, const void*, size_t)>(dlsym(RTLD_NEXT, "write"))(fd, daten, gerät == tröpfelt ? std::min<size_t>(n, 1) : n);
}
extern "C" int fsync(int fd) {
    ++fsyncs;
    if (gerät == fsyncKaputt) return errno = EIO, -1;
    return reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"))(fd);
}
extern "C" int close(int fd) {
    const int ergebnis = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "close"))(fd);
    return gerät == closeKaputt && ergebnis == 0 ? (errno = EIO, -1) : ergebnis;
}
namespace {

// 50, 30 and 10 stored, 40 reached. The save goes where the file is: through its link, with its
// mode and owner, in place when the folder takes no new file or the file holds further records
// (reading only the records in use); it is on the disk before it counts (the file, then the
// folder's entry for a new file). A failing device, a full disk (here: the file size limit) or a
// folder in the file's place fail it with their reason, and a new file that failed never
// replaces the old one; an interrupted or short write goes on where it stopped.
TEST(HighscoreFile, TheSaveGoesToTheFileThatIsThereReachesTheDiskAndKeepsWhatItHas) {
    signal(SIGXFSZ, SIG_IGN);
    constexpr uintmax_t groß = 300u << 20;
    const std::string drei = datei({"50", "30", "10"}), neu = gespeichert({"50", "40", "30"}), vierter = satz("fremd"), ende = "letzte Bytes";
    const bool root = geteuid() == 0;
    const auto weggeben = [root](const std::string& p) { if (root) { EXPECT_EQ(chown(p.c_str(), 65534, 65534), 0); } };  // to "nobody"
    const auto weitere = [&](TempFolder& f) {  // a fourth record of another writer, and 300 MiB
        std::fstream d(f.file("data.hsc"), std::ios::in | std::ios::out | std::ios::binary);
        d.seekp(384) << vierter;
        d.seekp(std::streamoff(groß - ende.size())) << ende;
    };
    rlimit grenze{};
    getrlimit(RLIMIT_FSIZE, &grenze);
    struct Fall {
        const char* was;
        std::function<void(TempFolder&)> vorher;  // once data.hsc holds 50, 30, 10
        std::string danach;                       // the first bytes of `ziel` afterwards
        int flushes;
        const char* grund = nullptr;  // why the save fails
        Gerät gerät = heil;
        std::string ziel = "data.hsc";  // the file that holds the scores
        bool amOrt = false;             // written in place: the same file, not a new one
        bool spieler = false;           // saved by a player, not by the superuser
    };
    const Fall fälle[] = {
        {"mode and owner", [&](TempFolder& f) { fs::permissions(f.file("data.hsc"), fs::perms(0640)), weggeben(f.file("data.hsc")); }, neu, 2},
        {"link", [](TempFolder& f) { fs::rename(f.file("data.hsc"), f.write("echt/scores", "")), fs::create_symlink("echt/scores", f.file("data.hsc")); },
         neu, 2, nullptr, heil, "echt/scores"},
        {"link to nothing yet", [](TempFolder& f) { fs::remove(f.file("data.hsc")), fs::create_symlink("neu", f.file("data.hsc")); },
         gespeichert({"40", "0", "0"}), 4, nullptr, heil, "neu"},  // the zeros first
        {"folder takes no new file", [&](TempFolder& f) { weggeben(f.file("data.hsc")), fs::permissions(f.path(), fs::perms(0555)); },
         neu, 1, nullptr, heil, "data.hsc", true, true},
        {"further records", weitere, neu + vierter, 1, nullptr, heil, "data.hsc", true},
        {"interrupted and short writes", [](TempFolder&) {}, neu, 2, nullptr, tröpfelt},
        {"the flush fails", [](TempFolder&) {}, drei, 1, "Input/output error", fsyncKaputt},
        {"closing the new file fails", [](TempFolder&) {}, drei, 0, "Input/output error", closeKaputt},
        {"closing fails in place", weitere, neu + vierter, 1, "Input/output error", closeKaputt, "data.hsc", true},
        {"file size limit", [&](TempFolder&) { const rlimit eng{200, grenze.rlim_max}; ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &eng), 0); },
         drei, 0, "File too large"},
        {"a folder of that name", [](TempFolder& f) { fs::remove(f.file("data.hsc")), f.write("data.hsc/eigenes", "x"); },
         "x", 1, "ein Ordner dieses Namens ist vorhanden", heil, "data.hsc/eigenes"},  // the new file is flushed, the rename fails
    };
    const auto offen = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()); };
    const auto offenVorher = offen();
    std::string nichtGelaufen = root ? "" : " the owner kept in \"mode and owner\" (giving a file away needs root)";
    for (const Fall& fall : fälle) {
        SCOPED_TRACE(fall.was);
        TempFolder f;
        const std::string pfad = f.write("data.hsc", drei), ziel = f.file(fall.ziel);
        fall.vorher(f);
        struct stat vor {}, nach {};
        const bool dawar = stat(ziel.c_str(), &vor) == 0, riesig = fall.danach.ends_with(vierter);
        if (riesig) { ASSERT_EQ(vor.st_size, off_t(groß)) << "the 300 MiB file could not be made"; }
        ScriptedRandom zufall;
        game::Bestenliste liste;
        const long long gelesenVorher = gelesen();
        fsyncs = 0, unterbrechungen = 1, gerät = fall.gerät;
        const auto speichern = [&] { liste = game::bestenlisteEintragen(pfad, 40, zufall); };
        const bool gelaufen = fall.spieler ? alsSpieler(speichern) : (speichern(), true);
        gerät = heil;
        setrlimit(RLIMIT_FSIZE, &grenze);
        fs::permissions(f.path(), fs::perms::owner_all);
        if (!gelaufen) {
            nichtGelaufen += std::string(" \"") + fall.was + "\" (the superuser could not act as a player)";
            continue;
        }

        EXPECT_LT(gelesen() - gelesenVorher, 64 << 10) << "only the records in use are read";
        EXPECT_EQ(liste.fehler, fall.grund ? "Die Datei '" + pfad + "' konnte nicht geschrieben werden (" + fall.grund + ")." : "");
        EXPECT_EQ(fsyncs, fall.flushes);
        EXPECT_EQ(readFile(ziel, riesig ? fall.danach.size() : SIZE_MAX), fall.danach);
        keineResteIn(f.path());
        ASSERT_EQ(stat(ziel.c_str(), &nach), 0);
        if (fall.ziel != "data.hsc" && !fall.grund) { EXPECT_EQ(fs::read_symlink(pfad), fall.ziel) << "the link stays"; }
        if (dawar) { EXPECT_EQ(std::tuple(nach.st_mode, nach.st_uid, nach.st_gid), std::tuple(vor.st_mode, vor.st_uid, vor.st_gid)); }
        if (fall.amOrt) { EXPECT_EQ(nach.st_ino, vor.st_ino); }
        if (riesig) {
            EXPECT_EQ(nach.st_size, off_t(groß));
            EXPECT_LT(nach.st_blocks, 1024) << "not written out at full size";
            std::ifstream d(ziel, std::ios::binary);
            std::string schluss(ende.size(), '\0');
            d.seekg(std::streamoff(groß - ende.size())).read(schluss.data(), std::streamsize(schluss.size()));
            EXPECT_EQ(schluss, ende) << "records of others survive";
        }
    }
    EXPECT_EQ(offen(), offenVorher) << "no file is left open, not even after a failure";
    if (!nichtGelaufen.empty()) GTEST_SKIP() << "the other cases ran; not run here:" << nichtGelaufen;
}

// Two copies of the game ending a game at the same moment: both scores arrive.
TEST(HighscoreFile, TwoCopiesSavingAtOnceLoseNoScore) {
    TempFolder f;
    const std::string pfad = f.file("data.hsc");
    int verloren = 0;
    for (int runde = 0; runde < 25; ++runde) {
        fs::remove(pfad);  // each round from no file: the zeros are written first
        int startschuss[2];
        ASSERT_EQ(pipe(startschuss), 0);
        pid_t kinder[2];
        for (int i = 0; i < 2; ++i)
            if ((kinder[i] = fork()) == 0) {
                close(startschuss[1]);
                char c;
                while (read(startschuss[0], &c, 1) < 0) {}  // until the parent closes the pipe
                ScriptedRandom zufall;
                _exit(game::bestenlisteEintragen(pfad, int16_t(10 + i), zufall).fehler.empty() ? 0 : 1);
            }
        close(startschuss[0]);
        close(startschuss[1]);
        for (pid_t kind : kinder) {
            int status = -1;
            waitpid(kind, &status, 0);
            ASSERT_EQ(status, 0);
        }
        verloren += readFile(pfad) != gespeichert({"11", "10", "0"});
    }
    EXPECT_EQ(verloren, 0) << "rounds of 25 that lost a score";
}

// A save removes the temporary files that copies of the game left when they died while saving,
// and no other file.
TEST(HighscoreFile, ASaveRemovesTheTemporaryFilesOfDeadCopiesOnly) {
    const pid_t tot = fork();
    if (tot == 0) _exit(0);
    waitpid(tot, nullptr, 0);
    const std::string t = std::to_string(tot), lebt = std::to_string(getppid());
    TempFolder f;
    const std::vector<std::pair<std::string, bool>> dateien = {  // name, remains
        {"data.hsc." + t + ".tmp", false}, {"data.hsc." + lebt + ".tmp", true}, {"data.hsc.tmp", true},
        {"data.hsc." + t + ".tmp.alt", true}, {"data.hsc.x" + t + ".tmp", true}, {"andere.hsc." + t + ".tmp", true},
        {"data.hsc.900000009.tmp", false}, {"data.hsc.9999999999.tmp", true},  // no process has ten digits
        {"data.hsc..tmp", true}, {"data.hsc." + std::to_string(getpid()) + ".tmp", false}};  // a dead copy had our number
    for (const auto& [name, bleibt] : dateien) f.write(name, "halb");
    W::Datensatzschreiben(f.file("data.hsc"), "7", 1, false);
    for (const auto& [name, bleibt] : dateien) EXPECT_EQ(fs::exists(f.file(name)), bleibt) << name;
}

#endif

}  // namespace
