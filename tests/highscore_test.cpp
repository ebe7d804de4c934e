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

// One record as the file holds it, built here byte by byte rather than by our writer.
std::string satz(const std::string& text) {
    std::string s(128, '\0');
    s[0] = char(text.size() & 0xFF);
    s[1] = char(text.size() >> 8);
    s.replace(2, text.size(), text);
    return s;
}

std::string lies(const std::string& pfad) {
    std::ifstream in(pfad, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(HighscoreFile, ReadsAFileOfAnotherWriterAndWritesTheSameLayout) {
    TempFolder f;
    const std::string datei = f.write("data.hsc", satz("0172-124903") + satz("98765") + satz("1234999999"));
    EXPECT_EQ(W::Datensatzlesen(datei, 1, true), "-12");
    EXPECT_EQ(W::Datensatzlesen(datei, 2, false), "98765");
    EXPECT_EQ(W::Datensatzlesen(datei, 3, true), "99");
    EXPECT_EQ(W::Datensatzlesen(datei, 4, true), "") << "a record beyond the end is empty";

    ScriptedRandom zufall;
    const float r[8] = {0.0f, 0.15f, 0.99999994f, 0.5f, 0.31f, 0.7f, 0.05f, 0.96f};
    for (int i = 0; i < 3; ++i)
        for (float v : r) zufall.push(v);
    const std::string neu = f.file("neu.hsc");
    W::Datensätzeschreiben(neu, {"25", "0", "-7"}, true, zufall);
    EXPECT_EQ(lies(neu), satz("0195253709") + satz("019503709") + satz("0195-73709")) << "384 bytes, digit filler";
    EXPECT_EQ(zufall.reseeds, 0) << "filler digits never re-seed the shared source";
    EXPECT_EQ(zufall.left(), 0u);

    W::Datensatzschreiben(neu, "", 2, false, zufall);
    EXPECT_EQ(lies(neu), satz("0195253709") + satz("") + satz("0195-73709"));
}

// Records 1..3 with filler around each text, as any writer of the file would store them.
std::string datei(const std::vector<std::string>& texte) {
    std::string bytes;
    for (const std::string& t : texte) bytes += satz("1111" + t + "2222");
    return bytes;
}

void spielende(GameHarness& h, int16_t punkte) {
    h.form1->allesstoppen();
    h.form1->highscorezeigen(punkte);
}

std::vector<std::string> zeilen(const GameHarness& h) {
    std::vector<std::string> z;
    h.ui().Platzcap.forEach([&](const forms::Label& l) {
        z.push_back(l.Caption);
        return false;
    });
    return z;
}

TEST(Table, MergesRanksAndStoresTheBestThree) {
    struct Fall {
        std::optional<std::string> datei;
        int16_t erreicht;
        std::vector<std::string> tabelle;
        int16_t platz;
        std::string name = "data.hsc";
    };
    const std::vector<Fall> fälle = {
        {std::nullopt, 25, {"25", "0", "0", "25"}, 1},
        {datei({"50", "30", "10"}), 40, {"50", "40", "30", "40"}, 2},
        {datei({"50", "30", "10"}), 40, {"50", "40", "30", "40"}, 2, "Data.HSC"},  // found and replaced whatever its case
        {datei({"50", "30", "10"}), 50, {"50", "30", "10", "50"}, 1},
        {datei({"50", "30", "10"}), 5, {"50", "30", "10", "5"}, 4},
        {datei({"0", "0", "0"}), 0, {"0", "0", "0", "0"}, 1},
        {datei({"50", "0", "0"}), 0, {"50", "0", "0", "0"}, 2},
        {datei({"50", "50", "10"}), 5, {"50", "10", "5", "5"}, 3},
        // Edited or cut short from outside: what cannot be read as a score counts as 0.
        {datei({"abc", "60", "99999"}), 7, {"60", "7", "0", "7"}, 2},
        {datei({"50", "30", "10"}).substr(0, 2 * 128 + 6), 5, {"50", "30", "5", "5"}, 3},
        {"\xC8" + datei({"50", "30", "10"}).substr(1), 5, {"30", "10", "5", "5"}, 3},  // length 200
    };
    for (const Fall& fall : fälle) {
        SCOPED_TRACE(::testing::Message() << "score " << fall.erreicht << ", file of " << (fall.datei ? fall.datei->size() : 0));
        GameHarness h;
        h.startGame();
        if (fall.datei) h.folder.write(fall.name, *fall.datei);
        spielende(h, fall.erreicht);
        EXPECT_EQ(zeilen(h), fall.tabelle);
        EXPECT_EQ(h.form1->bildplatzierung, fall.platz);
        std::vector<std::string> gespeichert;
        for (int16_t n = 1; n <= 3; ++n) gespeichert.push_back(W::Datensatzlesen(h.file(fall.name), n, true));
        EXPECT_EQ(gespeichert, std::vector<std::string>(fall.tabelle.begin(), fall.tabelle.begin() + 3));
        EXPECT_EQ(fs::file_size(h.file(fall.name)), 384u);
        EXPECT_EQ(fs::exists(h.file("data.hsc")), fall.name == "data.hsc");
        EXPECT_FALSE(h.app.ended());
    }
}

TEST(Table, MarksAndBlinksTheReachedLineAndRanksTheNextGameAgainstIt) {
    GameHarness h;
    h.start();
    h.click(h.ui().Command1[1]);
    h.click(h.ui().Command1[2]);
    h.folder.write("data.hsc", datei({"50", "30", "10"}));
    spielende(h, 40);

    auto& ui = h.ui();
    std::vector<float> tops;
    for (int16_t i = 0; i < 4; ++i) tops.push_back(ui.Platzcap[i].Top);
    EXPECT_EQ(tops, (std::vector<float>{80, 125, 170, 235}));
    EXPECT_FLOAT_EQ(ui.Platzierung.Top, 125);
    EXPECT_EQ(fs::path(ui.Platzierung.picture->path).filename(), "spieler2.gif");
    EXPECT_EQ(fs::path(ui.Highscore.background->path).filename(), "highscore.jpg");
    EXPECT_TRUE(ui.Highscore.Visible);
    EXPECT_NEAR(ui.Highscore.Left, 210.85f, 1e-3);
    EXPECT_NEAR(ui.Highscore.Top, 175.275f, 1e-3);

    auto stil = [&] {
        std::string s;
        for (int16_t i = 0; i < 4; ++i) s += ui.Platzcap[i].backStyle == forms::BackStyle::Opaque ? 'X' : '.';
        return s;
    };
    EXPECT_EQ(stil(), "....");
    h.advance(800);
    EXPECT_EQ(stil(), ".X.X");
    h.advance(800);
    EXPECT_EQ(stil(), "....");

    h.click(h.ui().Command2);
    EXPECT_TRUE(h.ui().Splash.Visible);
    EXPECT_FALSE(h.ui().Highscore.Visible);
    EXPECT_EQ(h.ui().Platzcap.count(), 1u);
    h.click(h.ui().Command1[2]);
    spielende(h, 45);
    EXPECT_EQ(zeilen(h), (std::vector<std::string>{"50", "45", "40", "45"}));
    EXPECT_FALSE(h.app.ended());
}

class KaputteAblage : public W::Ablage {
public:
    explicit KaputteAblage(int schritt) : schritt_(schritt) { W::ablageErsetzen(this); }
    ~KaputteAblage() override { W::ablageErsetzen(nullptr); }
    void schreiben(const std::string& pfad, std::string_view inhalt) override {
        if (schritt_ != 0) return Ablage::schreiben(pfad, inhalt);
        Ablage::schreiben(pfad, inhalt.substr(0, inhalt.size() / 2));
        throw std::system_error(std::make_error_code(std::errc::no_space_on_device), pfad);
    }
    void festschreiben(const std::string& pfad) override {
        if (schritt_ == 1) throw std::system_error(std::make_error_code(std::errc::io_error), pfad);
        Ablage::festschreiben(pfad);
    }
    void umbenennen(const std::string& von, const std::string& nach) override {
        if (schritt_ == 2) throw std::system_error(std::make_error_code(std::errc::permission_denied), von);
        Ablage::umbenennen(von, nach);
    }

private:
    int schritt_;
};

// Steps 0 to 2 fail the writing (after half the bytes), the flush and the rename in turn; step 3
// saves into a folder without write permission.
TEST(Table, AFailedSaveKeepsTheStoredScoresWholeAndTheTableShown) {
    for (int schritt = 0; schritt < 4; ++schritt) {
        SCOPED_TRACE(schritt);
        GameHarness h;
        h.startGame();
        const std::string alt = datei({"50", "30", "10"});
        h.folder.write("data.hsc", alt);
        KaputteAblage kaputt(schritt);
        const bool alsRoot = schritt == 3 && geteuid() == 0;
        if (schritt == 3) fs::permissions(h.folder.path(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
        // The superuser writes anywhere: save as an ordinary user instead.
        if (alsRoot && seteuid(65534) != 0) GTEST_SKIP() << "cannot drop privileges";
        spielende(h, 40);
        if (alsRoot) {
            EXPECT_EQ(seteuid(0), 0);
        }
        fs::permissions(h.folder.path(), fs::perms::owner_all);

        EXPECT_TRUE(h.ui().Highscore.Visible);
        EXPECT_EQ(zeilen(h), (std::vector<std::string>{"50", "40", "30", "40"}));
        EXPECT_FALSE(h.app.ended());
        ASSERT_EQ(h.backend.shownBoxes().size(), 1u);
        const std::string& text = h.backend.shownBoxes()[0].box.text;
        EXPECT_TRUE(text.starts_with("Die Highscores konnten nicht gespeichert werden.\n")) << text;
        EXPECT_NE(text.find("data.hsc"), std::string::npos) << text;
        EXPECT_EQ(lies(h.file("data.hsc")), alt);
        for (const fs::directory_entry& e : fs::directory_iterator(h.folder.path())) EXPECT_NE(e.path().extension(), ".tmp");
    }
}

}  // namespace
