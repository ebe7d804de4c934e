// The highscore file's read path over any file content: each record the game reads, with and
// without filler, either comes back as a text that fits a record or is reported as damaged.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "Check.h"
#include "highscore/Wendelwerk.h"

namespace fs = std::filesystem;
namespace W = game::Wendelwerk;

namespace {

// Written anew for every input: in memory where the system offers a folder there, as the disk
// makes each run several times slower.
fs::path grundordner() {
    std::error_code ec;
    return fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
}

// The file the records are read from: one per fuzzing process, removed at the end.
struct Datei {
    fs::path ordner = grundordner() / ("kreiselsturm-fuzz-" + std::to_string(getpid()));
    std::string pfad = (ordner / "data.hsc").string();
    Datei() { fs::create_directories(ordner); }
    ~Datei() {
        std::error_code ignoriert;
        fs::remove_all(ordner, ignoriert);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Datei datei;
    {
        std::ofstream out(datei.pfad, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
        FUZZ_CHECK(out.good());
    }
    // The three best scores the game reads and the record after them.
    const int letzter = int(std::min<size_t>(size / W::Satzlänge + 1, 4));
    for (int nummer = 1; nummer <= letzter; ++nummer) {
        const size_t anfang = size_t(nummer - 1) * W::Satzlänge;
        for (const bool füllziffern : {false, true}) {
            try {
                const std::string text = W::Datensatzlesen(datei.pfad, forms::Int16(nummer), füllziffern);
                FUZZ_CHECK(text.size() <= size_t(W::Textlänge - (füllziffern ? 2 * W::Füllziffern : 0)));
                if (anfang >= size) FUZZ_CHECK(text.empty());
                else FUZZ_CHECK(text.empty() || anfang + 2 + text.size() <= size);
            } catch (const W::BeschädigterDatensatz&) {
                // A damaged record the file does hold: the game counts it as 0.
                FUZZ_CHECK(anfang < size);
            }
        }
    }
    return 0;
}
