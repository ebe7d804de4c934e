// Program folder, file names without regard to case, pictures and the random source.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

#include "forms/Errors.h"
#include "platform/Files.h"
#include "platform/Pictures.h"
#include "platform/Random.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The RuntimeError `action` raises, or a test failure when it raises none.
template <typename Action>
std::string failureOf(Action action) {
    try {
        action();
    } catch (const forms::RuntimeError& e) {
        return e.what();
    }
    ADD_FAILURE() << "no forms::RuntimeError raised";
    return "";
}

struct Rgba {
    int r, g, b, a;
    bool operator==(const Rgba&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Rgba& c) {
    return o << "(" << c.r << "," << c.g << "," << c.b << "," << c.a << ")";
}
Rgba pixel(const forms::Picture& p, int x, int y) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&p.pixels[size_t(y) * size_t(p.width) + size_t(x)]);
    return {bytes[0], bytes[1], bytes[2], bytes[3]};
}

// 2 x 2, written out by hand: transparent, red / green, red. Palette index 1 is transparent.
const std::vector<uint8_t> kHandGif = {
    'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x91, 0, 0,           // screen, 4-colour table
    255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0, 0,                       // red, blue, green, black
    0x21, 0xF9, 4, 1, 0, 0, 1, 0,                                   // index 1 transparent
    0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0,                                // image 2 x 2
    2, 3, 0x0C, 0x28, 0x14, 0,                                      // codes: clear 1 0 clear 2 0 end
    0x3B};

}  // namespace

TEST(Files, JoinPathUsesOneNativeSeparator) {
    EXPECT_EQ(joinPath("/a/b", "\\gegner1.gif"), "/a/b/gegner1.gif");
    EXPECT_EQ(joinPath("/a/b/", "\\gegner1.gif"), "/a/b/gegner1.gif");
    EXPECT_EQ(joinPath("/a", "\\sub\\") + "x", "/a/sub/x");
    EXPECT_EQ(joinPath("/a", "\\sub\\deeper\\data.hsc"), "/a/sub/deeper/data.hsc");
    EXPECT_EQ(joinPath("/", "\\x"), "/x");
}

TEST(Files, ProgramFolderHoldsTheRunningProgram) {
    const std::string folder = programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_TRUE(fileExists(joinPath(folder, programBaseName())));
    EXPECT_EQ(programBaseName(), "platform_test");
}

TEST(Files, NamesAreFoundWithoutRegardToCase) {
    TempFolder temp;
    temp.write("gegner1.gif", "x");
    temp.write("Daten/Sub/spieler1.GIF", "x");
    temp.write(".hidden", "x");
    fs::create_directory(temp.file("gegner2.gif"));

    EXPECT_EQ(resolvePath(joinPath(temp.path(), "\\Gegner1.GIF")), temp.file("gegner1.gif"));
    EXPECT_EQ(resolvePath(joinPath(temp.path(), "\\daten\\SUB\\Spieler1.gif")),
              temp.file("Daten/Sub/spieler1.GIF"));
    const std::string missing = joinPath(temp.path(), "\\DATEN\\nichtda.gif");
    EXPECT_EQ(resolvePath(missing), missing);

    EXPECT_TRUE(fileExists(joinPath(temp.path(), "\\GEGNER1.gif")));
    EXPECT_TRUE(fileExists(joinPath(temp.path(), "\\.HIDDEN")));
    EXPECT_FALSE(fileExists(joinPath(temp.path(), "\\gegner2.gif")));  // a folder is no file
    EXPECT_TRUE(folderExists(joinPath(temp.path(), "\\Gegner2.gif")));
    EXPECT_FALSE(folderExists(joinPath(temp.path(), "\\gegner1.gif")));
    EXPECT_FALSE(fileExists(joinPath(temp.path(), "\\gegner3.gif")));
}

TEST(Files, CopyMakeAndDeleteFollowTheExistingSpelling) {
    TempFolder temp;
    temp.write("Quelle.txt", "neu");
    temp.write("Ziel/alt.txt", "alt und laenger");

    makeFolder(joinPath(temp.path(), "\\ZIEL"));  // already there, spelt otherwise
    makeFolder(joinPath(temp.path(), "\\ziel\\eins\\zwei"));
    EXPECT_TRUE(fs::is_directory(temp.file("Ziel/eins/zwei")));

    copyFile(joinPath(temp.path(), "\\quelle.TXT"), joinPath(temp.path(), "\\ziel\\ALT.txt"));
    EXPECT_EQ(readAll(temp.file("Ziel/alt.txt")), "neu");
    copyFile(temp.file("Quelle.txt"), joinPath(temp.path(), "\\ZIEL\\eins\\kopie.txt"));
    EXPECT_EQ(readAll(temp.file("Ziel/eins/kopie.txt")), "neu");
    copyFile(temp.file("Quelle.txt"), temp.file("Quelle.txt"));
    EXPECT_EQ(readAll(temp.file("Quelle.txt")), "neu");

    deleteFile(joinPath(temp.path(), "\\QUELLE.txt"));
    EXPECT_FALSE(fs::exists(temp.file("Quelle.txt")));
}

TEST(Files, FailuresNameThePath) {
    TempFolder temp;
    temp.write("datei.txt", "x");
    fs::create_directory(temp.file("ordner"));
    const std::string missing = temp.file("fehlt.txt");

    std::string message = failureOf([&] { deleteFile(missing); });
    EXPECT_NE(message.find("Die Datei '" + missing + "' konnte nicht gelöscht werden"), std::string::npos)
        << message;
    message = failureOf([&] { deleteFile(temp.file("ordner")); });
    EXPECT_NE(message.find(temp.file("ordner")), std::string::npos) << message;
    EXPECT_TRUE(fs::is_directory(temp.file("ordner")));

    message = failureOf([&] { copyFile(missing, temp.file("ziel.txt")); });
    EXPECT_NE(message.find(missing), std::string::npos) << message;
    EXPECT_FALSE(fs::exists(temp.file("ziel.txt")));
    message = failureOf([&] { copyFile(temp.file("datei.txt"), temp.file("ordner")); });
    EXPECT_NE(message.find(temp.file("ordner")), std::string::npos) << message;

    const std::string underFile = temp.file("datei.txt/neu");
    message = failureOf([&] { makeFolder(underFile); });
    EXPECT_NE(message.find("'" + underFile + "'"), std::string::npos) << message;
}

TEST(Pictures, GifTransparencyBecomesAlphaZero) {
    TempFolder temp;
    forms::PictureRef hand = loadPicture(temp.write("hand.gif", kHandGif));
    ASSERT_EQ(hand->width, 2);
    ASSERT_EQ(hand->height, 2);
    EXPECT_EQ(pixel(*hand, 0, 0).a, 0);
    EXPECT_EQ(pixel(*hand, 1, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(pixel(*hand, 0, 1), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(pixel(*hand, 1, 1), (Rgba{255, 0, 0, 255}));

    writeTestGif(temp.file("spieler1.gif"), 300, 7, 10, 200, 30);
    forms::PictureRef made = loadPicture(joinPath(temp.path(), "\\Spieler1.GIF"));
    ASSERT_EQ(made->width, 300);
    ASSERT_EQ(made->height, 7);
    EXPECT_EQ(made->path, temp.file("spieler1.gif"));
    EXPECT_EQ(pixel(*made, 0, 0).a, 0);
    EXPECT_EQ(pixel(*made, 299, 6), (Rgba{10, 200, 30, 255}));
    EXPECT_EQ(pixel(*made, 1, 0), (Rgba{10, 200, 30, 255}));
}

TEST(Pictures, JpegIsOpaque) {
    TempFolder temp;
    writeTestJpeg(temp.file("Splash.jpg"), 64, 48);
    forms::PictureRef p = loadPicture(temp.file("Splash.jpg"));
    ASSERT_EQ(p->width, 64);
    ASSERT_EQ(p->height, 48);
    for (int y = 0; y < p->height; ++y)
        for (int x = 0; x < p->width; ++x) ASSERT_EQ(pixel(*p, x, y).a, 255) << x << "," << y;
    // The gradient runs red from left to right and green from top to bottom.
    EXPECT_LT(pixel(*p, 2, 2).r, 40);
    EXPECT_GT(pixel(*p, 61, 45).r, 215);
    EXPECT_GT(pixel(*p, 61, 45).g, 215);
    EXPECT_NEAR(pixel(*p, 32, 24).b, 128, 20);
}

TEST(Pictures, MissingOrUnreadableFilesNameTheFile) {
    TempFolder temp;
    const std::string missing = temp.file("gegner9.gif");
    EXPECT_EQ(failureOf([&] { loadPicture(missing); }),
              "Die Bilddatei '" + missing + "' wurde nicht gefunden.");

    const std::string garbage = temp.write("highscore.jpg", "das ist kein Bild");
    EXPECT_EQ(failureOf([&] { loadPicture(garbage); }),
              "Die Bilddatei '" + garbage + "' kann nicht gelesen werden.");

    std::vector<uint8_t> cut = makeTestGif(40, 40, 1, 2, 3);
    cut.resize(30);
    const std::string truncated = temp.write("gegner1.gif", cut);
    EXPECT_EQ(failureOf([&] { loadPicture(truncated); }),
              "Die Bilddatei '" + truncated + "' kann nicht gelesen werden.");

    fs::create_directory(temp.file("ordner.gif"));
    EXPECT_NE(failureOf([&] { loadPicture(temp.file("ordner.gif")); }).find("nicht gefunden"), std::string::npos);
}

TEST(Pictures, CacheFollowsTheFile) {
    TempFolder temp;
    const std::string file = temp.file("gegner1.gif");
    writeTestGif(file, 4, 4, 200, 0, 0);
    forms::PictureRef first = loadPicture(file);
    EXPECT_EQ(loadPicture(joinPath(temp.path(), "\\GEGNER1.gif")), first);

    // A changed file of the same length is decoded again.
    writeTestGif(file, 4, 4, 0, 0, 200);
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(5));
    forms::PictureRef second = loadPicture(file);
    EXPECT_EQ(pixel(*second, 2, 2), (Rgba{0, 0, 200, 255}));
    EXPECT_EQ(pixel(*first, 2, 2), (Rgba{200, 0, 0, 255}));  // holders of the old one keep it

    fs::remove(file);
    EXPECT_EQ(failureOf([&] { loadPicture(file); }), "Die Bilddatei '" + file + "' wurde nicht gefunden.");

    // Same name again, now undecodable: no stale picture comes back.
    temp.write("gegner1.gif", "kaputt");
    EXPECT_EQ(failureOf([&] { loadPicture(file); }),
              "Die Bilddatei '" + file + "' kann nicht gelesen werden.");
}

TEST(Random, UniformInUnitInterval) {
    RandomSource& random = processRandom();
    constexpr int draws = 200000;
    std::vector<int> buckets(10);
    std::set<float> distinct;
    double sum = 0;
    for (int i = 0; i < draws; ++i) {
        const float r = random.next();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        sum += r;
        ++buckets[size_t(r * 10)];
        distinct.insert(r);
    }
    EXPECT_NEAR(sum / draws, 0.5, 0.005);
    for (int count : buckets) EXPECT_NEAR(count, draws / 10, draws / 100);
    // With 2^24 steps about 1200 repeats are expected among 200000 draws; a coarse grid has more.
    EXPECT_GT(distinct.size(), size_t(draws - 3000));
}

TEST(Random, ReseedingInATightLoopKeepsTheSequenceGoing) {
    RandomSource& random = processRandom();
    std::set<float> distinct;
    for (int i = 0; i < 1000; ++i) {
        random.reseedFromClock();
        distinct.insert(random.next());
    }
    EXPECT_GT(distinct.size(), 990u);
}
