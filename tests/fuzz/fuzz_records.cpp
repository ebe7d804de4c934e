// The highscore file's read path over any file content: each record the game reads, with and
// without filler, either comes back as a text that fits a record or is reported as damaged.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "Check.h"
#include "highscore/Wendelwerk.h"

namespace fs = std::filesystem;
namespace W = game::Wendelwerk;

// The file the records are read from, written anew for every input: one per fuzzing process,
// in memory where the system offers a folder there (the disk makes each run several times slower).
static const struct Datei {
    fs::path ordner = (fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) /
                      ("kreiselsturm-fuzz-" + std::to_string(getpid()));
    std::string pfad = (ordner / "data.hsc").string();
    Datei() { fs::create_directories(ordner); }
    ~Datei() { std::error_code ignoriert; fs::remove_all(ordner, ignoriert); }
} datei;

FUZZ_TARGET(inhalt) {
    FUZZ_CHECK(std::ofstream(datei.pfad, std::ios::binary | std::ios::trunc).write(inhalt.data(), std::streamsize(inhalt.size())).good());
    // The three best scores the game reads and the record after them.
    const size_t size = inhalt.size();
    for (int nummer = 1; nummer <= int(std::min<size_t>(size / W::Satzlänge + 1, 4)); ++nummer) {
        const size_t anfang = size_t(nummer - 1) * W::Satzlänge;
        for (const bool füllziffern : {false, true}) {
            try {
                const std::string text = W::Datensatzlesen(datei.pfad, forms::Int16(nummer), füllziffern);
                FUZZ_CHECK(text.size() <= size_t(W::Textlänge - (füllziffern ? 2 * W::Füllziffern : 0)));
                if (anfang >= size) FUZZ_CHECK(text.empty());
                else FUZZ_CHECK(text.empty() || anfang + 2 + text.size() <= size);
            } catch (const W::BeschädigterDatensatz&) {
                FUZZ_CHECK(anfang < size);  // a damaged record the file does hold: the game counts it as 0
            }
        }
    }
}
