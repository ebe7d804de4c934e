// The highscore file and the table at game over: the byte layout of "data.hsc", merging and
// ranking, the marker and blinking, and saves that fail without losing the stored scores.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>
#include <vector>

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

std::string lies(const std::string& pfad) {
    std::ifstream in(pfad, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(HighscoreFile, ReadsAFileOfAnotherWriterAndWritesTheSameLayout) {
    TempFolder f;
    const std::string alt = f.write("data.hsc", satz("0172-124903"));
    EXPECT_EQ(W::Datensatzlesen(alt, 1, true), "-12");
    EXPECT_EQ(W::Datensatzlesen(alt, 2, true), "") << "a record beyond the end is empty";

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

// Fails save step 0 (the writing, after half the bytes), 1 (the flush) or 2 (the rename).
struct KaputteAblage : W::Ablage {
    int schritt;
    explicit KaputteAblage(int s) : schritt(s) { W::ablageErsetzen(this); }
    ~KaputteAblage() override { W::ablageErsetzen(nullptr); }
    void scheitern(int bei, const std::string& p) const {
        if (schritt == bei) throw std::system_error(std::make_error_code(std::errc::io_error), p);
    }
    void schreiben(const std::string& p, std::string_view b) override { Ablage::schreiben(p, b.substr(0, b.size() / (schritt == 0 ? 2 : 1))); scheitern(0, p); }
    void festschreiben(const std::string& p) override { scheitern(1, p); Ablage::festschreiben(p); }
    void umbenennen(const std::string& von, const std::string& nach) override { scheitern(2, von); Ablage::umbenennen(von, nach); }
};

TEST(Table, MergesRanksMarksAndStoresTheBestThreeOrKeepsTheOldFileWhenTheSaveFails) {
    struct Fall {
        std::optional<std::string> datei;
        int16_t erreicht, platz;
        Zeilen tabelle;
        int kaputt = -1;  // the failing save step; 3: the folder is read-only
        std::string name = "data.hsc";
    };
    const std::string alt = datei({"50", "30", "10"});
    std::vector<Fall> fälle = {
        {std::nullopt, 25, 1, {"25", "0", "0", "25"}},
        {alt, 40, 2, {"50", "40", "30", "40"}},
        {alt, 40, 2, {"50", "40", "30", "40"}, -1, "Data.HSC"},  // found and replaced whatever its case
        {alt, 50, 1, {"50", "30", "10", "50"}},
        {alt, 5, 4, {"50", "30", "10", "5"}},
        {datei({"0", "0", "0"}), 0, 1, {"0", "0", "0", "0"}},
        {datei({"50", "0", "0"}), 0, 2, {"50", "0", "0", "0"}},
        {datei({"50", "50", "10"}), 5, 3, {"50", "10", "5", "5"}},
        // Edited or cut short from outside: what cannot be read as a score counts as 0.
        {datei({"abc", "60", "99999"}), 7, 2, {"60", "7", "0", "7"}},
        {alt.substr(0, 2 * 128 + 6), 5, 3, {"50", "30", "5", "5"}},
        {"\xC8" + alt.substr(1), 5, 3, {"30", "10", "5", "5"}},  // length 200
    };
#ifdef _WIN32
    const int letzterSchritt = 2;  // Windows has no read-only folders: the attribute does not stop writing
#else
    const int letzterSchritt = 3;
#endif
    for (int schritt = 0; schritt <= letzterSchritt; ++schritt) fälle.push_back({alt, 40, 2, {"50", "40", "30", "40"}, schritt});
    const float tops[] = {80, 125, 170, 235};  // the reached score stands apart
    for (const Fall& fall : fälle) {
        SCOPED_TRACE(::testing::Message() << "case " << &fall - fälle.data());
        GameHarness h;
        h.startGame();
        if (fall.datei) h.folder.write(fall.name, *fall.datei);
        KaputteAblage ablage(fall.kaputt);
#ifdef _WIN32
        spielende(h, fall.erreicht);
#else
        const bool alsRoot = fall.kaputt == 3 && geteuid() == 0;  // the superuser writes anywhere: save as nobody
        if (fall.kaputt == 3) fs::permissions(h.folder.path(), fs::perms(0222), fs::perm_options::remove);  // no one may write
        if (alsRoot && seteuid(65534) != 0) GTEST_SKIP() << "cannot drop privileges";  // the last case
        spielende(h, fall.erreicht);
        if (alsRoot) { EXPECT_EQ(seteuid(0), 0); }
        fs::permissions(h.folder.path(), fs::perms::owner_all);
#endif

        auto& zeile = h.ui().Platzcap;
        EXPECT_EQ(zeilen(h), fall.tabelle);
        EXPECT_FLOAT_EQ(h.ui().Platzierung.Top, tops[fall.platz - 1]) << "the marker";
        EXPECT_TRUE(h.ui().Highscore.Visible);
        const std::string gespeichert = datei(Zeilen(fall.tabelle.begin(), fall.tabelle.begin() + 3), "5555");  // filler from the scripted 0.5
        EXPECT_EQ(lies(h.file(fall.name)), fall.kaputt < 0 ? gespeichert : alt) << "the best three, saved whole";
        for (const fs::directory_entry& e : fs::directory_iterator(h.folder.path())) EXPECT_NE(e.path().extension(), ".tmp");
        EXPECT_EQ(h.backend.shownBoxes().size(), fall.kaputt < 0 ? 0u : 1u);
        for (const auto& [box, antwort] : h.backend.shownBoxes()) {
            EXPECT_TRUE(box.text.starts_with("Die Highscores konnten nicht gespeichert werden.\n")) << box.text;
            EXPECT_NE(box.text.find("data.hsc"), std::string::npos) << "the file is named";
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

}  // namespace
