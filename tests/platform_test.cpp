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

TEST(Files, PathsAreJoinedAndNamesFoundWithoutRegardToCase) {
    EXPECT_EQ(joinPath("/a/b", "\\gegner1.gif"), "/a/b/gegner1.gif");
    EXPECT_EQ(joinPath("/a/b/", "\\sub\\deeper\\data.hsc"), "/a/b/sub/deeper/data.hsc");
    EXPECT_EQ(joinPath("/a", "\\sub\\") + "x", "/a/sub/x");
    EXPECT_EQ(joinPath("/", "\\x"), "/x");

    TempFolder temp;
    const auto at = [&](const std::string& relative) { return joinPath(temp.path(), relative); };
    temp.write("Bild/Ab/spieler1.GIF", "alt und laenger");
    temp.write(".hidden", "neu");
    EXPECT_EQ(resolvePath(at("\\bild\\AB\\Spieler1.gif")), temp.file("Bild/Ab/spieler1.GIF"));
    EXPECT_EQ(resolvePath(at("\\BILD\\nichtda.gif")), at("\\BILD\\nichtda.gif"));
    EXPECT_TRUE(fileExists(at("\\.HIDDEN")));
    EXPECT_FALSE(fileExists(at("\\bild")));  // a folder is no file
    EXPECT_TRUE(folderExists(at("\\bild")));
    // Making, copying and deleting follow the spelling that is there.
    makeFolder(at("\\BILD\\ab\\neu"));
    copyFile(at("\\.Hidden"), at("\\bild\\ab\\SPIELER1.gif"));
    copyFile(at("\\bild\\ab\\spieler1.gif"), at("\\BILD\\AB\\SPIELER1.GIF"));  // onto itself
    copyFile(at("\\.Hidden"), at("\\bild\\AB\\neu\\kopie.txt"));
    deleteFile(at("\\.HIDDEN"));
    std::set<std::string> tree;
    for (const auto& e : fs::recursive_directory_iterator(temp.path())) tree.insert(fs::relative(e.path(), temp.path()));
    EXPECT_EQ(tree, (std::set<std::string>{"Bild", "Bild/Ab", "Bild/Ab/spieler1.GIF", "Bild/Ab/neu", "Bild/Ab/neu/kopie.txt"}));
    EXPECT_EQ(fs::file_size(temp.file("Bild/Ab/spieler1.GIF")), 3u);  // "neu", replaced whole
}

TEST(Files, FailuresNameThePath) {
    TempFolder temp;
    const std::string datei = temp.write("datei.txt", "x"), ordner = temp.file("ordner"), missing = temp.file("fehlt.txt");
    fs::create_directory(ordner);
    const std::pair<std::string, std::string> cases[] = {  // the message, what it must hold
        {failureOf([&] { deleteFile(missing); }), "Die Datei '" + missing + "' konnte nicht gelöscht werden"},
        {failureOf([&] { deleteFile(ordner); }), "'" + ordner + "'"},
        {failureOf([&] { copyFile(missing, temp.file("ziel.txt")); }), "'" + missing + "'"},
        {failureOf([&] { copyFile(datei, ordner); }), "'" + ordner + "'"},
        {failureOf([&] { makeFolder(datei + "/neu"); }), "'" + datei + "/neu'"},
    };
    for (const auto& [message, part] : cases) EXPECT_NE(message.find(part), std::string::npos) << message;
    EXPECT_TRUE(fs::is_directory(ordner));
    EXPECT_FALSE(fs::exists(temp.file("ziel.txt")));
}

// A GIF's transparent colour becomes alpha 0. Every call checks the file: a changed one is
// decoded again, a missing or undecodable one raises an error naming it, cached or not.
TEST(Pictures, DecodedTransparentCachedAndErrorsNameTheFile) {
    TempFolder temp;
    const auto expectError = [](const std::string& path, const std::string& what) {
        EXPECT_EQ(failureOf([&] { loadPicture(path); }), "Die Bilddatei '" + path + "' " + what);
    };
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

    temp.write("gegner1.gif", std::string_view("GIF89a\x28\0\x28\0\x91", 11));  // cut short
    expectError(file, "kann nicht gelesen werden.");
    fs::remove(file);
    expectError(file, "wurde nicht gefunden.");
    expectError(temp.write("highscore.jpg", "kein Bild"), "ist kein GIF- oder JPEG-Bild.");
    fs::create_directory(temp.file("ordner.gif"));
    expectError(temp.file("ordner.gif"), "wurde nicht gefunden.");
}

TEST(Random, UniformInTheUnitIntervalWithoutRepeats) {
    RandomSource& random = processRandom();
    constexpr int draws = 200000;
    std::vector<int> buckets(10);
    std::set<float> distinct;
    for (int i = 0; i < draws; ++i) {
        if (i < 5000) random.reseedFromClock();  // in a tight loop: must not restart the sequence
        const float r = random.next();
        ASSERT_TRUE(r >= 0.0f && r < 1.0f) << r;
        ++buckets[size_t(r * 10)];
        distinct.insert(r);
    }
    for (int count : buckets) EXPECT_NEAR(count, draws / 10, draws / 100);
    // With 2^24 steps about 1200 repeats are expected among 200000 draws; a coarse grid or a
    // restarted sequence has more.
    EXPECT_GT(distinct.size(), size_t(draws - 3000));
}

}  // namespace
