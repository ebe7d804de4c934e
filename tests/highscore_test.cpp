// The highscore file and the table at game over: the byte layout of "data.hsc", merging and
// ranking, the marker and blinking, and saves that fail without losing the stored scores.
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
#include <utility>
#include <vector>

#include "highscore/Bestenliste.h"
#include "highscore/Wendelwerk.h"
#include "support/GameHarness.h"

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

// The first `höchstens` bytes of the file.
std::string lies(const std::string& pfad, size_t höchstens = 1 << 20) {
    std::ifstream in(pfad, std::ios::binary);
    std::string s(höchstens, '\0');
    in.read(s.data(), std::streamsize(höchstens));
    return s.substr(0, size_t(in.gcount()));
}

TEST(HighscoreFile, ReadsAFileOfAnotherWriterAndWritesTheSameLayout) {
    TempFolder f;
    const std::string alt = f.write("data.hsc", satz("0172-124903") + "\x05\x01" + std::string(126, 'x'));  // record 2 damaged
    EXPECT_EQ(W::Datensatzlesen(alt, 1, true), "-12");
    EXPECT_EQ(W::Datensatzlesen(f.write("eins.hsc", satz("0172-124903")), 2, true), "") << "a record beyond the end is empty";
    W::Datensatzschreiben(alt, "zwei", 2, false);
    EXPECT_EQ(lies(alt), satz("0172-124903") + satz("zwei")) << "one record written whole over a damaged one, the other kept";
    const std::string voll = satz(std::string(126, 'x'));  // the longest text a record holds
    W::Datensatzschreiben(f.file("voll.hsc"), std::string(126, 'x'), 1, false);
    EXPECT_EQ(lies(f.file("voll.hsc")), voll);
    EXPECT_EQ(W::Datensatzlesen(f.file("voll.hsc"), 1, false), std::string(126, 'x'));
    try {
        W::Datensatzschreiben(f.file("voll.hsc"), std::string(127, 'x'), 1, false);
        ADD_FAILURE() << "a text too long for its record was written";
    } catch (const forms::RuntimeError& e) {
        EXPECT_STREQ(e.what(), "Falsche Datensatzlänge: 127 Zeichen passen nicht in einen Datensatz.");
    }
    EXPECT_EQ(lies(f.file("voll.hsc")), voll) << "and the file is untouched";
    EXPECT_THROW(W::Datensatzlesen(f.write("kurz.hsc", voll.substr(0, 127)), 1, false), W::BeschädigterDatensatz) << "cut short";
    EXPECT_EQ(W::Datensatzlesen(f.write("leer.hsc", satz("12344321")), 1, true), "") << "nothing but filler";

    ScriptedRandom zufall;
    for (int i = 0; i < 3; ++i)
        for (float r : {0.0f, 0.15f, 0.99999994f, 0.5f, 0.31f, 0.7f, 0.05f, 0.96f}) zufall.push(r);
    W::Datensätzeschreiben(f.file("neu.hsc"), {"25", "0", "-7"}, true, zufall);
    EXPECT_EQ(lies(f.file("neu.hsc")), satz("0195253709") + satz("019503709") + satz("0195-73709")) << "384 bytes, digit filler";
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

#ifdef _WIN32
// Windows has neither folders closed to writing nor users to switch to: those cases are left out.
template <typename Tun>
bool alsSpieler(Tun) {
    return false;
}
int geteuid() { return 1; }
#else
// Runs `tun` as a player would: the superuser, who may write anywhere, becomes "nobody" for it.
template <typename Tun>
bool alsSpieler(Tun tun) {
    const bool root = geteuid() == 0;
    if (root && seteuid(65534) != 0) return false;
    tun();
    if (root) { EXPECT_EQ(seteuid(0), 0); }
    return true;
}
#endif

std::string gespeichert(const Zeilen& tabelle) { return datei(Zeilen(tabelle.begin(), tabelle.begin() + 3), "5555"); }  // filler from the scripted 0.5

TEST(Table, MergesRanksMarksAndStoresTheBestThreeOrKeepsTheOldFileWhenTheSaveFails) {
    // ordnerGesperrt: nobody may make a file in the folder; fremdeDatei: the player may make
    // files in the folder but not write the superuser's file; dateiGesperrt: the file is read-only.
    enum Störung { keine = -1, schreiben, festschreiben, umbenennen, ordnerGesperrt, fremdeDatei, dateiGesperrt };
    struct Fall {
        std::optional<std::string> datei;
        int16_t erreicht, platz;
        Zeilen tabelle;
        Störung störung = keine;
        std::string name = "data.hsc";
        int ab = 1;                            // the failing save
        std::optional<std::string> danach{};  // the file afterwards, when not the best three
    };
    const std::string alt = datei({"50", "30", "10"});
    std::vector<Fall> fälle = {
        {std::nullopt, 25, 1, {"25", "0", "0", "25"}},
        {alt, 40, 2, {"50", "40", "30", "40"}},
        {alt, 40, 2, {"50", "40", "30", "40"}, keine, "Data.HSC"},  // found and replaced whatever its case
        {alt, 50, 1, {"50", "30", "10", "50"}},
        {alt, 5, 4, {"50", "30", "10", "5"}},
        {datei({"0", "0", "0"}), 0, 1, {"0", "0", "0", "0"}},
        {datei({"50", "0", "0"}), 0, 2, {"50", "0", "0", "0"}},
        {datei({"50", "50", "10"}), 5, 3, {"50", "10", "5", "5"}},
        // Edited or cut short from outside: what cannot be read as a score counts as 0.
        {datei({"abc", "60", "99999"}), 7, 2, {"60", "7", "0", "7"}},
        {datei({"abc", "", "1x"}), -5, 4, {"0", "0", "0", "-5"}},
        {datei({"-1", "-2", "-3"}), -4, 4, {"0", "0", "0", "-4"}},  // no score below 0 takes a place
        {alt.substr(0, 128 + 6), 5, 2, {"50", "5", "0", "5"}},
        {"\xC8" + alt.substr(1), 5, 3, {"30", "10", "5", "5"}},  // length 200
        {satz("1234567") + datei({"60", "30"}), 7, 3, {"60", "30", "7", "7"}},  // too short for its filler
        // No file yet and the save fails: the three zeros written first are there; when those
        // could not be written, nothing more is tried.
        {std::nullopt, 25, 1, {"25", "0", "0", "25"}, umbenennen, "data.hsc", 2, gespeichert({"0", "0", "0"})},
        {std::nullopt, 25, 1, {"25", "0", "0", "25"}, schreiben, "data.hsc", 1, ""},
        {std::nullopt, 25, 1, {"25", "0", "0", "25"}, ordnerGesperrt, "data.hsc", 1, ""},
    };
    for (Störung s : {schreiben, festschreiben, umbenennen, fremdeDatei, dateiGesperrt})
        fälle.push_back({alt, 40, 2, {"50", "40", "30", "40"}, s, "data.hsc", 1, alt});
    const float tops[] = {80, 125, 170, 235};  // the reached score stands apart
    const char* const gründe[] = {"(Input/output error).", "(Datenträger schreibgeschützt).", "(Input/output error).",
                                  "(Zugriff verweigert).", "(Zugriff verweigert).", "' ist schreibgeschützt."};  // by Störung
    for (const Fall& fall : fälle) {
        SCOPED_TRACE(::testing::Message() << "case " << &fall - fälle.data());
        if (fall.störung == fremdeDatei && geteuid() != 0) continue;  // only the superuser can make a file of another
#ifdef _WIN32
        if (fall.störung == ordnerGesperrt) continue;
#endif
        GameHarness h;
        h.startGame();
        if (fall.datei) h.folder.write(fall.name, *fall.datei);
        KaputteAblage ablage(fall.störung, fall.ab);
        if (fall.störung == dateiGesperrt) fs::permissions(h.file(fall.name), fs::perms(0444));  // read-only, also for the superuser
        if (fall.störung == ordnerGesperrt) fs::permissions(h.folder.path(), fs::perms(0222), fs::perm_options::remove);
        if (fall.störung == fremdeDatei) fs::permissions(h.folder.path(), fs::perms::all);
        const auto ende = [&] { spielende(h, fall.erreicht); };
        if (fall.störung != ordnerGesperrt && fall.störung != fremdeDatei) ende();
        else if (!alsSpieler(ende)) GTEST_SKIP() << "cannot drop privileges";
        fs::permissions(h.folder.path(), fs::perms::owner_all);

        auto& zeile = h.ui().Platzcap;
        EXPECT_EQ(zeilen(h), fall.tabelle);
        EXPECT_FLOAT_EQ(h.ui().Platzierung.Top, tops[fall.platz - 1]) << "the marker";
        EXPECT_TRUE(h.ui().Highscore.Visible);
        EXPECT_NEAR(h.ui().Highscore.Left, 210.85f, 1e-3);
        EXPECT_NEAR(h.ui().Highscore.Top, 175.275f, 1e-3) << "centred";
        EXPECT_EQ(lies(h.file(fall.name)), fall.danach.value_or(gespeichert(fall.tabelle))) << "the best three, saved whole";
        if (fall.störung == dateiGesperrt) { EXPECT_EQ(fs::status(h.file(fall.name)).permissions(), fs::perms(0444)); }
        for (const fs::directory_entry& e : fs::directory_iterator(h.folder.path())) EXPECT_NE(e.path().extension(), ".tmp");
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
        EXPECT_EQ(lies(h.file("data.hsc")), gespeichert({"40", "0", "0"}));
    }
}

#ifndef _WIN32  // file identity, owners, links and processes as POSIX has them
struct stat kennung(const std::string& pfad) {
    struct stat st {};
    EXPECT_EQ(stat(pfad.c_str(), &st), 0) << pfad;
    return st;
}

// Bytes read by this thread so far.
long long gelesen() {
    std::ifstream io("/proc/thread-self/io");
    std::string feld;
    long long n = -1;
    while (io >> feld >> n && feld != "rchar:") {}
    return n;
}

// 50, 30, 10 and 40 reached, saved where the file is: through its link, with its mode and
// owner, in place when the folder takes no new file or the file holds further records.
TEST(HighscoreFile, TheSaveGoesToTheFileThatIsThereAndKeepsWhatItHas) {
    constexpr uintmax_t groß = 300u << 20;
    const std::string vierter = satz("fremd"), ende = "letzte Bytes";
    struct Fall {
        const char* was;
        std::string ziel;  // the file that holds the scores
        std::function<void(TempFolder&)> vorher;
        bool amOrt = false;    // written in place: the same file, not a new one
        bool spieler = false;  // saved by a player, not by the superuser
        Zeilen tabelle = {"50", "40", "30"};
    };
    const std::vector<Fall> fälle = {
        {"mode and owner", "data.hsc",
         [](TempFolder& f) {
             fs::permissions(f.file("data.hsc"), fs::perms(0640));
             if (geteuid() == 0) { EXPECT_EQ(chown(f.file("data.hsc").c_str(), 65534, 65534), 0); }
         }},
        {"link", "echt/scores",
         [](TempFolder& f) { fs::rename(f.file("data.hsc"), f.write("echt/scores", "")), fs::create_symlink("echt/scores", f.file("data.hsc")); }},
        {"link to nothing yet", "neu",
         [](TempFolder& f) { fs::remove(f.file("data.hsc")), fs::create_symlink("neu", f.file("data.hsc")); },
         false, false, {"40", "0", "0"}},
        {"folder takes no new file", "data.hsc",
         [](TempFolder& f) {
             if (geteuid() == 0) { EXPECT_EQ(chown(f.file("data.hsc").c_str(), 65534, 65534), 0); }
             fs::permissions(f.path(), fs::perms(0555));
         },
         true, true},
        {"further records, 300 MiB", "data.hsc",
         [&](TempFolder& f) {
             std::fstream d(f.file("data.hsc"), std::ios::in | std::ios::out | std::ios::binary);
             d.seekp(384) << vierter;
             d.seekp(std::streamoff(groß - ende.size())) << ende;
         },
         true},
    };
    for (const Fall& fall : fälle) {
        SCOPED_TRACE(fall.was);
        TempFolder f;
        f.write("data.hsc", datei({"50", "30", "10"}));
        fall.vorher(f);
        const std::string ziel = f.file(fall.ziel);
        struct stat vor {};
        if (fall.amOrt) vor = kennung(ziel);
        ScriptedRandom zufall;
        game::Bestenliste liste;
        const long long lesenVor = gelesen();
        const auto speichern = [&] { liste = game::bestenlisteEintragen(f.file("data.hsc"), 40, zufall); };
        if (!fall.spieler) speichern();
        else if (!alsSpieler(speichern)) GTEST_SKIP() << "cannot drop privileges";
        EXPECT_LT(gelesen() - lesenVor, 64 << 10) << "only the records in use are read";
        fs::permissions(f.path(), fs::perms::owner_all);

        EXPECT_EQ(liste.fehler, "");
        EXPECT_EQ(lies(ziel, 384), gespeichert(fall.tabelle));
        const struct stat nach = kennung(ziel);
        std::error_code ec;
        if (fall.ziel != "data.hsc") { EXPECT_EQ(fs::read_symlink(f.file("data.hsc"), ec), fall.ziel) << "the link stays"; }
        if (fall.amOrt) { EXPECT_EQ(nach.st_ino, vor.st_ino); }
        if (fall.ziel == "data.hsc" && !fall.amOrt) {
            EXPECT_EQ(nach.st_mode & 07777, 0640u);
            if (geteuid() == 0) { EXPECT_EQ(std::pair(nach.st_uid, nach.st_gid), std::pair(65534u, 65534u)); }
        }
        if (vor.st_size == off_t(groß)) {
            EXPECT_EQ(nach.st_size, off_t(groß));
            EXPECT_LT(nach.st_blocks, 1024) << "not written out at full size";
            std::ifstream d(ziel, std::ios::binary);
            std::string rest(vierter.size(), '\0'), schluss(ende.size(), '\0');
            d.seekg(384).read(rest.data(), std::streamsize(rest.size()));
            d.seekg(std::streamoff(groß - ende.size())).read(schluss.data(), std::streamsize(schluss.size()));
            EXPECT_EQ(std::pair(rest, schluss), std::pair(vierter, ende)) << "records of others survive";
        }
    }
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
        verloren += lies(pfad) != gespeichert({"11", "10", "0"});
    }
    EXPECT_EQ(verloren, 0) << "rounds of 25 that lost a score";
}

// The disk fills up halfway through a save (here: the file size limit), or a folder has taken
// the file's name: the save fails with its reason, and what was there stays.
TEST(HighscoreFile, ASaveTheDiskRefusesKeepsWhatIsThere) {
    signal(SIGXFSZ, SIG_IGN);
    for (const bool ordner : {false, true}) {
        TempFolder f;
        const std::string pfad = f.file("data.hsc");
        if (ordner) f.write("data.hsc/eigenes", "x");
        else f.write("data.hsc", datei({"50", "30", "10"}));
        rlimit vorher{};
        getrlimit(RLIMIT_FSIZE, &vorher);
        const rlimit eng{ordner ? vorher.rlim_cur : 200, vorher.rlim_max};
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &eng), 0);
        ScriptedRandom zufall;
        const game::Bestenliste liste = game::bestenlisteEintragen(pfad, 40, zufall);
        setrlimit(RLIMIT_FSIZE, &vorher);
        EXPECT_EQ(liste.fehler, "Die Datei '" + pfad + "' konnte nicht geschrieben werden (" +
                                    (ordner ? "ein Ordner dieses Namens ist vorhanden" : "File too large") + ").");
        EXPECT_EQ(ordner ? lies(pfad + "/eigenes") : lies(pfad), ordner ? "x" : datei({"50", "30", "10"}));
    }
}

// What only a failing device shows: the test program's fsync and close stand in front of the C
// library's and count, or fail with an I/O error while told to; its write, while told to, is
// interrupted once by a signal and then takes one byte a call, as a busy device may.
int fsyncs = 0, unterbrechungen = 0;
bool fsyncScheitert = false, closeScheitert = false, tröpfeln = false;
}  // namespace
extern "C" ssize_t write(int fd, const void* daten, size_t n) {
    if (tröpfeln && unterbrechungen > 0) return --unterbrechungen, errno = EINTR, -1;
    return reinterpret_cast<ssize_t (*)(int, const void*, size_t)>(dlsym(RTLD_NEXT, "write"))(fd, daten, tröpfeln ? std::min<size_t>(n, 1) : n);
}
extern "C" int fsync(int fd) {
    ++fsyncs;
    if (fsyncScheitert) return errno = EIO, -1;
    return reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"))(fd);
}
extern "C" int close(int fd) {
    const int ergebnis = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "close"))(fd);
    return closeScheitert && ergebnis == 0 ? (errno = EIO, -1) : ergebnis;
}
namespace {

// Each save reaches the disk before it counts (the file, then the folder's entry for a new file);
// a flush or a close that fails is reported, and a new file that failed never replaces the old.
TEST(HighscoreFile, ASaveIsOnTheDiskBeforeItCountsAndADeviceErrorIsReported) {
    const std::string drei = datei({"50", "30", "10"}), vier = drei + satz("fremd");  // a fourth record: written in place
    const struct { const std::string& vorher; bool& störung; int flushes; bool bleibt; } fälle[] = {
        {drei, fsyncScheitert, 2, false}, {vier, fsyncScheitert, 1, false},  // störung false: no fault
        {drei, fsyncScheitert, 1, true}, {drei, closeScheitert, 0, true}, {vier, closeScheitert, 1, false}};
    const auto offen = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()); };
    const auto vorher = offen();
    for (const auto& fall : fälle) {
        const bool gestört = &fall != &fälle[0] && &fall != &fälle[1];
        SCOPED_TRACE(::testing::Message() << "case " << &fall - fälle);
        TempFolder f;
        const std::string pfad = f.write("data.hsc", fall.vorher);
        ScriptedRandom zufall;
        fsyncs = 0;
        fall.störung = gestört;
        const game::Bestenliste liste = game::bestenlisteEintragen(pfad, 40, zufall);
        fall.störung = false;
        EXPECT_EQ(fsyncs, fall.flushes);
        EXPECT_EQ(liste.fehler, gestört ? "Die Datei '" + pfad + "' konnte nicht geschrieben werden (Input/output error)." : "");
        if (fall.bleibt) { EXPECT_EQ(lies(pfad), fall.vorher) << "the old file stays whole"; }
        for (const fs::directory_entry& e : fs::directory_iterator(f.path())) EXPECT_NE(e.path().extension(), ".tmp");
    }
    EXPECT_EQ(offen(), vorher) << "no file is left open, not even after a failure";

    TempFolder f;
    const std::string pfad = f.write("data.hsc", datei({"50", "30", "10"}));
    ScriptedRandom zufall;
    tröpfeln = true, unterbrechungen = 1;
    const game::Bestenliste liste = game::bestenlisteEintragen(pfad, 40, zufall);
    tröpfeln = false;
    EXPECT_EQ(liste.fehler, "") << "an interrupted or short write goes on where it stopped";
    EXPECT_EQ(lies(pfad), datei({"50", "40", "30"}, "5555"));
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
