// The highscore file and the table where an ordinary game does not lead: files edited, damaged
// or linked from outside, permissions, failing disks and devices, two copies of the game at once.
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
std::string satz(const std::string& text) { return std::string{char(text.size()), '\0'} + text + std::string(126 - text.size(), '\0'); }

// Records 1..3 with filler around each text, as any writer of the file would store them.
std::string datei(const Zeilen& texte, const std::string& füllung = "1234") {
    std::string bytes;
    for (const std::string& t : texte) bytes += satz(füllung + t + füllung);
    return bytes;
}

// The best three as we store them, with the filler the scripted 0.5 gives.
std::string gespeichert(const Zeilen& tabelle) { return datei({tabelle[0], tabelle[1], tabelle[2]}, "5555"); }

TEST(HighscoreFile, ReadsAFileOfAnotherWriterAndWritesTheSameLayout) {
    TempFolder f;
    const std::string x126(126, 'x'), pfad = f.write("data.hsc", satz("0172-124903") + "\x05\x01" + x126);  // record 2 damaged
    EXPECT_EQ(W::Datensatzlesen(pfad, 3, true), "") << "a record beyond the end is empty";
    W::Datensatzschreiben(pfad, "zwei", 2, false);
    EXPECT_EQ(readFile(pfad), satz("0172-124903") + satz("zwei")) << "one record written whole over a damaged one, the other kept";
    W::Datensatzschreiben(pfad, x126, 1, false);
    EXPECT_THROW(W::Datensatzschreiben(pfad, x126 + "x", 1, false), forms::RuntimeError);
    EXPECT_EQ(readFile(pfad), satz(x126) + satz("zwei")) << "126 characters fill a record, 127 are refused";
    EXPECT_EQ(W::Datensatzlesen(pfad, 1, false), x126);
    EXPECT_THROW(W::Datensatzlesen(f.write("kurz.hsc", satz(x126).substr(0, 127)), 1, false), W::BeschädigterDatensatz) << "cut short";
    EXPECT_EQ(W::Datensatzlesen(f.write("leer.hsc", satz("12344321")), 1, true), "") << "nothing but filler";

    ScriptedRandom zufall;
    for (int i = 0; i < 3; ++i)
        for (float r : {0.0f, 0.15f, 0.99999994f, 0.5f, 0.31f, 0.7f, 0.05f, 0.96f}) zufall.push(r);
    W::Datensätzeschreiben(f.file("neu.hsc"), {"25", "0", "-7"}, true, zufall);
    EXPECT_EQ(readFile(f.file("neu.hsc")), satz("0195253709") + satz("019503709") + satz("0195-73709")) << "384 bytes, digit filler";
    EXPECT_EQ(zufall.reseeds, 0) << "filler digits never re-seed the shared source";
}

// Ends the game with `punkte`: the lines of the table then shown.
Zeilen spielende(GameHarness& h, int16_t punkte) {
    h.form1->allesstoppen(), h.form1->highscorezeigen(punkte);
    Zeilen z;
    h.ui().Platzcap.forEach([&](const forms::Label& l) { return z.push_back(l.Caption), false; });
    return z;
}

// Records edited, damaged or cut short from outside count as 0 where they cannot be read as a
// score. The reached score is merged, ranked and marked, its line blinks, and the best three are
// stored; a read-only file is not written, which the player is told.
TEST(Table, MergesRanksMarksAndStoresTheBestThreeOrTellsWhyNot) {
    struct Fall {
        std::string datei;
        int16_t erreicht, platz;
        Zeilen tabelle;
        std::string name = "data.hsc";
        bool gesperrt = false;  // read-only, also for the superuser
    };
    const std::string alt = datei({"50", "30", "10"});
    const Fall fälle[] = {
        {datei({"abc", "60", "99999"}), 70, 1, {"70", "60", "0", "70"}},
        {alt, 40, 2, {"50", "40", "30", "40"}, "Data.HSC"},  // found and replaced whatever its case
        {alt, 40, 2, {"50", "40", "30", "40"}, "data.hsc", true},
        {datei({"50", "50", "10"}), 5, 3, {"50", "10", "5", "5"}},
        {datei({"50", "0", "0"}), 0, 2, {"50", "0", "0", "0"}},  // 0 takes no place but is marked on the first empty one
        {datei({"1x", "-2", "-3"}), -4, 4, {"0", "0", "0", "-4"}},  // no score below 0 takes a place
        {alt.substr(0, 128 + 6), 5, 2, {"50", "5", "0", "5"}},
        {"\xC8" + alt.substr(1), 5, 3, {"30", "10", "5", "5"}},  // length 200
        {satz("1234567") + datei({"60", "30"}), 7, 3, {"60", "30", "7", "7"}},  // too short for its filler
    };
    const float tops[] = {80, 125, 170, 235};  // the reached score stands apart
    for (const Fall& fall : fälle) {
        SCOPED_TRACE(::testing::Message() << "case " << &fall - fälle);
        GameHarness h;
        h.startGame();
        const std::string pfad = h.folder.write(fall.name, fall.datei);
        if (fall.gesperrt) fs::permissions(pfad, fs::perms(0444));
        EXPECT_EQ(spielende(h, fall.erreicht), fall.tabelle);
        auto& zeile = h.ui().Platzcap;
        EXPECT_FLOAT_EQ(h.ui().Platzierung.Top, tops[fall.platz - 1]) << "the marker";
        EXPECT_EQ(readFile(pfad), fall.gesperrt ? alt : gespeichert(fall.tabelle)) << "the best three, saved whole";
        if (fall.gesperrt) { EXPECT_EQ(fs::status(pfad).permissions(), fs::perms(0444)); }
        EXPECT_EQ(h.backend.shownBoxes().size(), fall.gesperrt ? 1u : 0u);
        for (const auto& [box, antwort] : h.backend.shownBoxes())
            EXPECT_EQ(box.text, "Die Highscores konnten nicht gespeichert werden.\nDie Datei '" + h.file("data.hsc") + "' ist schreibgeschützt.");
        h.advance(800);  // the reached line blinks together with the player's own
        for (int16_t i = 0; i < 4; ++i) EXPECT_EQ(zeile[i].backStyle == forms::BackStyle::Opaque, i == fall.platz - 1 || i == 3) << "line " << i;
        h.advance(800);
        EXPECT_EQ(zeile[3].backStyle, forms::BackStyle::Transparent);

        EXPECT_EQ(fs::path(h.ui().Platzierung.picture->path).filename(), "spieler1.gif");
        EXPECT_FALSE(h.app.ended());
    }
}

// A picture of the table that cannot be loaded ends the program with its error, but only
// after the score is stored.
TEST(Table, TheScoreIsStoredBeforeThePicturesAreLoaded) {
    GameHarness h;
    h.startGame();
    h.folder.write("spieler1.gif", "GIF89a");
    EXPECT_FALSE(h.app.dispatch([&] { spielende(h, 40); }));
    EXPECT_NE(h.app.failure().find("spieler1.gif"), std::string::npos) << h.app.failure();
    EXPECT_NE(h.app.exitCode(), 0);
    EXPECT_EQ(readFile(h.file("data.hsc")), gespeichert({"40", "0", "0"}));
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

// What only a failing device shows: the test program's write, fsync, close and rename stand in
// front of the C library's. fsync counts; while told to, fsync fails as on a disk that turned
// read-only after an error, close or the second rename with an I/O error, or write is
// interrupted once by a signal and then takes one byte a call, as a busy device may.
enum Gerät { heil, fsyncKaputt, closeKaputt, renameKaputt, tröpfelt } gerät = heil;
int fsyncs = 0, renames = 0, unterbrechungen = 0;
}  // namespace
extern "C" ssize_t write(int fd, const void* daten, size_t n) {
    if (gerät == tröpfelt && unterbrechungen > 0) return --unterbrechungen, errno = EINTR, -1;
    return reinterpret_cast<ssize_t (*)(int, const void*, size_t)>(dlsym(RTLD_NEXT, "write"))(fd, daten, gerät == tröpfelt ? std::min<size_t>(n, 1) : n);
}
extern "C" int fsync(int fd) {
    ++fsyncs;
    if (gerät == fsyncKaputt) return errno = EROFS, -1;
    return reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"))(fd);
}
extern "C" int close(int fd) {
    const int ergebnis = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "close"))(fd);
    return gerät == closeKaputt && ergebnis == 0 ? (errno = EIO, -1) : ergebnis;
}
extern "C" int rename(const char* von, const char* nach) {
    if (gerät == renameKaputt && ++renames == 2) return errno = EIO, -1;
    return reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"))(von, nach);
}
namespace {

// A copy of the game that took the lock on `datei` and then stopped (SIGSTOP) holding it.
pid_t hänger = 0;
pid_t gesperrtAnhalten(const std::string& datei) {
    int bereit[2];
    if (pipe(bereit) != 0) return -1;
    const pid_t kind = fork();
    if (kind == 0) {
        const W::Sperre sperre(datei);
        close(bereit[1]), raise(SIGSTOP), _exit(0);
    }
    close(bereit[1]);
    for (char c; read(bereit[0], &c, 1) < 0;) {}  // until the child has the lock
    close(bereit[0]);
    return kind;
}

// 50, 30 and 10 stored, 40 reached. The save goes where the file is: through its link, with its
// mode and owner, in place when the folder takes no new file, the file holds further records
// (reading only the records in use) or has another name; it is on the disk (the file, then the folder's entry)
// before it counts, leaving nothing beside it. A failing device, a full disk (here: the file size
// limit), a folder or a pipe in the file's place, a missing permission or a copy that hangs
// holding the lock fail it with their reason, and what was there stays.
TEST(HighscoreFile, TheSaveGoesToTheFileThatIsThereReachesTheDiskAndKeepsWhatItHas) {
    signal(SIGXFSZ, SIG_IGN);
    constexpr uintmax_t groß = 300u << 20;
    const std::string drei = datei({"50", "30", "10"}), neu = gespeichert({"50", "40", "30"}), vierter = satz("fremd");
    const bool root = geteuid() == 0;
    const auto weggeben = [root](const std::string& p) { if (root) { EXPECT_EQ(chown(p.c_str(), 65534, 65534), 0); } };  // to "nobody"
    const auto weitere = [&](TempFolder& f) {  // a fourth record of another writer, and 300 MiB
        std::fstream d(f.file("data.hsc"), std::ios::in | std::ios::out | std::ios::binary);
        d.seekp(384) << vierter;
        d.seekp(std::streamoff(groß - 1)) << 'x';
    };
    rlimit grenze{};
    getrlimit(RLIMIT_FSIZE, &grenze);
    const auto platteVoll = [&](TempFolder&) { const rlimit eng{200, grenze.rlim_max}; ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &eng), 0); };
    struct Fall {
        const char* was;
        std::function<void(TempFolder&)> vorher;  // once data.hsc holds 50, 30, 10
        std::string danach;                       // the first bytes of `ziel` afterwards
        int flushes;
        const char* grund = nullptr;  // why the save fails
        Gerät gerät = heil;
        std::string ziel = "data.hsc";  // the file that holds the scores
        bool amOrt = false;             // written in place: the same file, not a new one
        bool spieler = false, fremd = false;  // saved by a player; in a file of the superuser, which only he can arrange
    };
    const Fall fälle[] = {
        {"mode and owner", [&](TempFolder& f) { fs::permissions(f.file("data.hsc"), fs::perms(0640)), weggeben(f.file("data.hsc")); }, neu, 2},
        {"link", [](TempFolder& f) { fs::rename(f.file("data.hsc"), f.write("echt/scores", "")), fs::create_symlink("echt/scores", f.file("data.hsc")); },
         neu, 2, nullptr, heil, "echt/scores"},
        {"link to nothing yet", [](TempFolder& f) { fs::remove(f.file("data.hsc")), fs::create_symlink("neu", f.file("data.hsc")); },
         gespeichert({"40", "0", "0"}), 4, nullptr, heil, "neu"},  // the zeros first
        {"folder takes no new file", [&](TempFolder& f) { weggeben(f.file("data.hsc")), fs::permissions(f.path(), fs::perms(0555)); },
         neu, 1, nullptr, heil, "data.hsc", true, true},
        {"folder closed, no file yet", [](TempFolder& f) { fs::remove(f.file("data.hsc")), fs::permissions(f.path(), fs::perms(0555)); },
         "", 0, "Zugriff verweigert", heil, "data.hsc", false, true},  // the zeros cannot be written: nothing more is tried
        {"the superuser's file", [](TempFolder& f) { fs::permissions(f.path(), fs::perms::all); },
         drei, 0, "Zugriff verweigert", heil, "data.hsc", false, true, true},  // the new file cannot be his: in place, refused
        {"further records", weitere, neu + vierter, 1, nullptr, heil, "data.hsc", true},
        {"interrupted and short writes", [](TempFolder&) {}, neu, 2, nullptr, tröpfelt},
        {"the flush fails", [](TempFolder&) {}, drei, 1, "Datenträger schreibgeschützt", fsyncKaputt},
        {"closing the new file fails", [](TempFolder&) {}, drei, 0, "Input/output error", closeKaputt},
        {"closing fails in place", weitere, neu + vierter, 1, "Input/output error", closeKaputt, "data.hsc", true},
        {"file size limit", platteVoll, drei, 0, "File too large"},
        {"no file yet, the second rename fails", [](TempFolder& f) { fs::remove(f.file("data.hsc")); },
         gespeichert({"0", "0", "0"}), 3, "Input/output error", renameKaputt},  // the zeros written first stay
        {"a folder of that name", [](TempFolder& f) { fs::remove(f.file("data.hsc")), f.write("data.hsc/eigenes", "x"); },
         "x", 1, "ein Ordner dieses Namens ist vorhanden", heil, "data.hsc/eigenes"},  // the new file is flushed, the rename fails
        {"hard link", [](TempFolder& f) { fs::create_hard_link(f.file("data.hsc"), f.file("zweiter Name")); }, neu, 1, nullptr, heil, "data.hsc", true},
        {"link to a pipe", [](TempFolder& f) { fs::remove(f.file("data.hsc")), mkfifo(f.file("rohr").c_str(), 0666), fs::create_symlink("rohr", f.file("data.hsc")); },
         "", 0, "keine gewöhnliche Datei", heil, "rohr"},
        {"another copy hangs holding the lock", [](TempFolder& f) { hänger = gesperrtAnhalten(f.file("data.hsc")); }, drei, 0, "Datei gesperrt"},
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
        fsyncs = 0, renames = 0, unterbrechungen = 1, gerät = fall.gerät;
        bool gelaufen = true;
        if (!fall.spieler) liste = game::bestenlisteEintragen(pfad, 40, zufall);
        else if (AlsSpieler spieler; (gelaufen = (!fall.fremd || root) && spieler.wirkt())) liste = game::bestenlisteEintragen(pfad, 40, zufall);
        gerät = heil;
        if (hänger > 0) kill(hänger, SIGKILL), waitpid(hänger, nullptr, 0), hänger = 0;
        setrlimit(RLIMIT_FSIZE, &grenze);
        fs::permissions(f.path(), fs::perms::owner_all);
        if (!gelaufen) {
            nichtGelaufen += std::string(" \"") + fall.was + (root ? "\" (the superuser could not act as a player)" : "\" (a file of another user needs root)");
            continue;
        }

        EXPECT_LT(gelesen() - gelesenVorher, 64 << 10) << "only the records in use are read";
        EXPECT_EQ(liste.fehler, fall.grund ? "Die Datei '" + pfad + "' konnte nicht geschrieben werden (" + fall.grund + ")." : "");
        EXPECT_EQ(fsyncs, fall.flushes);
        for (const std::string& name : folderTree(f.path())) EXPECT_FALSE(name.ends_with(".tmp") || name.ends_with(".lock")) << "left behind: " << name;
        ASSERT_EQ(stat(ziel.c_str(), &nach) == 0, !fall.danach.empty() || S_ISFIFO(vor.st_mode)) << "the file is there";
        EXPECT_EQ(S_ISFIFO(nach.st_mode) ? "" : readFile(ziel, riesig ? fall.danach.size() : SIZE_MAX), fall.danach);  // a pipe is not read
        if (fs::is_symlink(fs::symlink_status(pfad))) { EXPECT_EQ(fs::read_symlink(pfad), fall.ziel) << "the link stays"; }
        if (dawar) { EXPECT_TRUE(nach.st_mode == vor.st_mode && nach.st_uid == vor.st_uid && nach.st_gid == vor.st_gid) << "mode and owner kept"; }
        if (fall.amOrt) { EXPECT_TRUE(nach.st_ino == vor.st_ino && nach.st_nlink == vor.st_nlink); }
        if (riesig) { EXPECT_TRUE(nach.st_size == off_t(groß) && nach.st_blocks < 1024) << "not written out at full size"; }
    }
    EXPECT_EQ(offen(), offenVorher) << "no file is left open, not even after a failure";
    if (!nichtGelaufen.empty()) GTEST_SKIP() << "the other cases ran; not run here:" << nichtGelaufen;
}

// Two copies of the game ending a game at the same moment: both scores arrive.
TEST(HighscoreFile, TwoCopiesSavingAtOnceLoseNoScore) {
    TempFolder f;
    const std::string pfad = f.file("data.hsc");
    for (int runde = 0; runde < 25; ++runde) {
        fs::remove(pfad);  // each round from no file: the zeros are written first
        int startschuss[2];
        ASSERT_EQ(pipe(startschuss), 0);
        pid_t kinder[2];
        for (int i = 0; i < 2; ++i)
            if ((kinder[i] = fork()) == 0) {
                char c;
                close(startschuss[1]);
                while (read(startschuss[0], &c, 1) < 0) {}  // until the parent closes the pipe
                ScriptedRandom zufall;
                _exit(game::bestenlisteEintragen(pfad, int16_t(10 + i), zufall).fehler.empty() ? 0 : 1);
            }
        close(startschuss[0]), close(startschuss[1]);
        for (int status = -1; pid_t kind : kinder) ASSERT_TRUE(waitpid(kind, &status, 0) == kind && status == 0);
        ASSERT_EQ(readFile(pfad), gespeichert({"11", "10", "0"})) << "round " << runde << " lost a score";
    }
}

// Start-up and a save remove the temporary files that copies of the game left when they died
// while saving, and no other file.
TEST(HighscoreFile, StartUpAndSavesRemoveTheTemporaryFilesOfDeadCopiesOnly) {
    const pid_t tot = fork();
    if (tot == 0) _exit(0);
    waitpid(tot, nullptr, 0);
    const std::string t = std::to_string(tot), lebt = std::to_string(getppid());
    const std::vector<std::pair<std::string, bool>> dateien = {  // name, remains
        {"data.hsc." + t + ".tmp", false}, {"data.hsc." + lebt + ".tmp", true}, {"data.hsc.tmp", true},
        {"data.hsc." + t + ".tmp.alt", true}, {"data.hsc.x" + t + ".tmp", true}, {"andere.hsc." + t + ".tmp", true},
        {"data.hsc.900000009.tmp", false}, {"data.hsc.9999999999.tmp", true},  // no process has ten digits
        {"data.hsc..tmp", true}, {"data.hsc." + std::to_string(getpid()) + ".tmp", false}};  // a dead copy had our number
    GameHarness h;
    for (bool start : {true, false}) {
        SCOPED_TRACE(start ? "start-up" : "save");
        for (const auto& [name, bleibt] : dateien) h.folder.write(name, "halb");
        if (start) h.start();
        else W::Datensatzschreiben(h.file("data.hsc"), "7", 1, false);
        for (const auto& [name, bleibt] : dateien) EXPECT_EQ(fs::exists(h.file(name)), bleibt) << name;
    }
}

#endif

}  // namespace
