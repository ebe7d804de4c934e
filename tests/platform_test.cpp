// Program folder, file names without regard to case, pictures and the random source.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <set>

#include "forms/Errors.h"
#include "platform/Files.h"
#include "platform/Pictures.h"
#include "platform/Random.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace fs = std::filesystem;
using namespace platform;
using Rgba = std::array<int, 4>;

namespace {

// The message of the RuntimeError `action` raises.
template <typename Action>
std::string failureOf(Action action) {
    try { action(); } catch (const forms::RuntimeError& e) { return e.what(); }
    return "(no error)";
}

Rgba pixel(const forms::Picture& p, int x, int y) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&p.pixels[size_t(y) * size_t(p.width) + size_t(x)]);
    return {bytes[0], bytes[1], bytes[2], bytes[3]};
}

// Names are found whatever the case of their ASCII letters. Our paths are UTF-8, on Windows too,
// where the file system's narrow names would be in the ANSI code page ("Spiele\Kreiselstürm").
TEST(Files, NamesAreFoundWithoutRegardToCaseAndFailuresNameThePath) {
    TempFolder temp;
    const auto at = [&](const std::string& relative) { return joinPath(temp.path(), relative); };
    const std::string bild = temp.write("Bild/Ab/spieler1.GIF", "alt und laenger");
    temp.write(".hidden", "neu");
    EXPECT_EQ(resolvePath(at("\\bild\\AB\\Spieler1.gif")), bild);
    EXPECT_EQ(resolvePath(at("\\BILD\\nichtda.gif")), at("\\BILD\\nichtda.gif"));
    EXPECT_TRUE(fileExists(at("\\.HIDDEN")));
    EXPECT_FALSE(fileExists(at("\\bild")));  // a folder is no file
    EXPECT_TRUE(folderExists(at("\\bild")));
    // Making, copying and deleting follow the spelling that is there.
    makeFolder(at("\\BILD\\ab\\Kreiselstürm"));
    copyFile(at("\\.Hidden"), at("\\bild\\ab\\KREISELSTüRM\\Größe.txt"));
    EXPECT_TRUE(fileExists(at("\\bild\\AB\\kreiselstürm\\GRößE.TXT")));
    copyFile(at("\\bild\\ab\\kreiselstürm\\größe.txt"), at("\\bild\\ab\\Kreiselstürm\\Kopie für später.txt"));
    deleteFile(at("\\BILD\\ab\\Kreiselstürm\\größe.TXT"));
    copyFile(at("\\.Hidden"), at("\\bild\\ab\\SPIELER1.gif"));
    copyFile(at("\\bild\\ab\\spieler1.gif"), at("\\BILD\\AB\\SPIELER1.GIF"));  // onto itself
    deleteFile(at("\\.HIDDEN"));

    const std::string ordner = at("\\Bild"), fehlt = at("\\fehlt.txt");
    const std::pair<std::string, std::string> fehler[] = {  // the message, what it must hold
        {failureOf([&] { deleteFile(fehlt); }), "Die Datei '" + fehlt + "' konnte nicht gelöscht werden"},
        {failureOf([&] { deleteFile(ordner); }), "'" + ordner + "'"},
        {failureOf([&] { copyFile(fehlt, at("\\ziel.txt")); }), "'" + fehlt + "'"},
        {failureOf([&] { copyFile(bild, ordner); }), "'" + ordner + "'"},
        {failureOf([&] { makeFolder(bild + "/neu"); }), "'" + bild + "/neu'"},
    };
    for (const auto& [message, part] : fehler) EXPECT_NE(message.find(part), std::string::npos) << message;
    EXPECT_EQ(folderTree(temp.path()),
              (std::set<std::string>{"Bild", "Bild/Ab", "Bild/Ab/spieler1.GIF", "Bild/Ab/Kreiselstürm", "Bild/Ab/Kreiselstürm/Kopie für später.txt"}));
    EXPECT_EQ(fs::file_size(temp.file("Bild/Ab/spieler1.GIF")), 3u);  // "neu", replaced whole
    // Only the game's names are spelt with backslashes: on Linux a folder may be named "a\\b".
    const std::string schräg = temp.write("a\\b/gegner1.gif", "x");
    EXPECT_EQ(resolvePath(joinPath(temp.file("a\\b"), "\\GEGNER1.gif")), schräg);
}

// A GIF's transparent colour becomes alpha 0. Every call checks the file: a changed one is
// decoded again, a missing or undecodable one raises an error naming it, cached or not. The
// crash files of the old decoder, other formats under a picture's name and pictures over the
// size limit are refused the same way, never with a crash; the content decides, not the name.
TEST(Pictures, DecodedTransparentCachedAndBadFilesRefusedNamingTheFile) {
    TempFolder temp;
    const std::string file = temp.file("gegner1.gif");
    writeTestGif(file, 300, 7, 200, 0, 0);
    const forms::PictureRef first = loadPicture(joinPath(temp.path(), "\\GEGNER1.gif"));
    ASSERT_EQ(std::pair(first->width, first->height), std::pair(300, 7));
    EXPECT_EQ(pixel(*first, 0, 0)[3], 0);
    EXPECT_EQ(pixel(*first, 299, 6), (Rgba{200, 0, 0, 255}));
    EXPECT_EQ(loadPicture(file), first);
    writeTestGif(file, 300, 7, 0, 0, 200);  // the same length
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(5));
    EXPECT_EQ(pixel(*loadPicture(file), 2, 2), (Rgba{0, 0, 200, 255}));
    EXPECT_EQ(pixel(*first, 2, 2), (Rgba{200, 0, 0, 255}));  // holders of the old one keep it
    // Interlaced rows land in their places: the odd ones are black.
    const forms::PictureRef rows = loadPicture(temp.write("spieler1.gif", makeTestGif(3, 19, 0, 200, 0, true)));
    for (int y = 0; y < 19; ++y)
        EXPECT_EQ(pixel(*rows, 2, y), (y % 2 ? Rgba{0, 0, 0, 255} : Rgba{0, 200, 0, 255})) << "row " << y;

    const std::string damaged = "kann nicht gelesen werden.", foreign = "ist kein GIF- oder JPEG-Bild.", missing = "wurde nicht gefunden.";
    const auto tooLarge = [](const std::string& size) { return "ist zu groß (" + size + " Bildpunkte, höchstens 8192 × 8192)."; };
    const auto badPicture = [](const std::string& name) {  // a file of tests/data, never empty
        const std::string bytes = readFile(std::string(KREISELSTURM_TEST_DATA) + "/bad-pictures/" + name);
        return bytes.empty() ? throw std::runtime_error("test picture missing: " + name) : bytes;
    };
    const struct {
        std::string name, content, says;
    } cases[] = {
        {"gegner1.gif", std::string("GIF89a\x28\0\x28\0\x91", 11), damaged},  // the cached one, cut short
        {"sdlimage-overflow.gif", badPicture("sdlimage-overflow.gif"), damaged},
        {"gif-segv.gif", badPicture("gif-segv.gif"), damaged},
        {"bigdims-fuzz.gif", badPicture("bigdims-fuzz.gif"), damaged},
        {"huge.gif", badPicture("huge.gif"), tooLarge("65535 × 65535")},
        {"huge-dimensions.jpg", badPicture("huge-dimensions.jpg"), tooLarge("65500 × 65500")},
        {"svg-text-named.gif", badPicture("svg-text-named.gif"), foreign},
        {"wide.gif", makeTestGif(8193, 1, 1, 2, 3), tooLarge("8193 × 1")},
        {"tall.jpg", makeTestJpeg(8, 8193), tooLarge("8 × 8193")},
        {"scans.jpg", makeTestJpeg(16, 16, true), damaged},
        {"start-only.jpg", "\xFF\xD8\xFF", damaged},
        {"pixmap.gif", std::string("P6\n1 1\n255\n\0\0\0", 14), foreign},
        {"empty.jpg", "", foreign},
    };
    const auto refused = [](const std::string& path, const std::string& says) {
        EXPECT_EQ(failureOf([&] { loadPicture(path); }), "Die Bilddatei '" + path + "' " + says);
    };
    for (const auto& c : cases) refused(temp.write(c.name, c.content), c.says);
    fs::remove(file);
    refused(file, missing);
    fs::create_directory(temp.file("ordner.gif"));
    refused(temp.file("ordner.gif"), missing);
    // Just within the limit, and a JPEG under a GIF's name.
    EXPECT_EQ(loadPicture(temp.write("widest.gif", makeTestGif(8192, 1, 1, 2, 3)))->width, 8192);
    EXPECT_EQ(loadPicture(temp.write("tallest.jpg", makeTestJpeg(8, 8192)))->height, 8192);
    EXPECT_EQ(loadPicture(temp.write("jpeg.gif", makeTestJpeg(16, 12)))->width, 16);
    EXPECT_EQ(failureOf([] { decodePicture(nullptr, 0, "icon.gif"); }), "Das Bild 'icon.gif' " + foreign);
}

// Bounds at a false alarm about once in 10^9 runs (the process's source takes no seed): a
// source that only reaches 0.99 gives a chi-square near 190, a grid of 2^23 steps 2365 repeats.
TEST(Random, UniformInTheUnitIntervalWithoutRepeats) {
    RandomSource& random = processRandom();
    constexpr int draws = 200000;
    std::vector<double> buckets(10);
    std::set<float> distinct;
    for (int i = 0; i < draws; ++i) {
        if (i < 5000) random.reseedFromClock();  // in a tight loop: must not restart the sequence
        const float r = random.next();
        ASSERT_TRUE(r >= 0.0f && r < 1.0f) << r;
        ++buckets[size_t(r * 10)];
        distinct.insert(r);
    }
    double chiSquare = 0;  // Pearson's, 9 degrees of freedom: exceeds 60 with probability 1.3e-9
    for (double count : buckets) chiSquare += (count - draws / 10.0) * (count - draws / 10.0) / (draws / 10.0);
    EXPECT_LT(chiSquare, 60) << ::testing::PrintToString(buckets);
    // Among 200000 draws of 2^24 values 1187 repeat on average, give or take 34: six of those either way.
    EXPECT_NEAR(double(draws) - double(distinct.size()), 1187, 6 * 34);
}

}  // namespace
