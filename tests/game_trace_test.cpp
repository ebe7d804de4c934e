// Whole games, written down line by line as a player could follow them (support/GameTrace.h), and
// compared with the approved traces in tests/data/traces. KREISELSTURM_APPROVE=1 writes them anew:
// read the difference before committing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/GameTrace.h"

namespace {

std::vector<std::string> zeilen(std::istream&& in) {
    std::vector<std::string> out;
    for (std::string z; std::getline(in, z);) out.push_back(z);
    return out;
}

void vergleichen(const std::string& name, const std::string& trace) {
    const std::string datei = KREISELSTURM_TEST_DATA "/traces/" + name + ".trace";
    if (std::getenv("KREISELSTURM_APPROVE")) return void(std::ofstream(datei, std::ios::binary) << trace);
    const auto alt = zeilen(std::ifstream(datei, std::ios::binary)), neu = zeilen(std::istringstream(trace));
    ASSERT_FALSE(alt.empty()) << datei << " is missing: KREISELSTURM_APPROVE=1 writes it";
    size_t n = 0;
    while (n < alt.size() && n < neu.size() && alt[n] == neu[n]) ++n;
    if (n == alt.size() && n == neu.size()) return;
    std::string unterschied;
    for (const auto& [zeichen, z] : {std::pair{"\n- ", &alt}, std::pair{"\n+ ", &neu}})
        for (size_t i = n; i < std::min(n + 4, z->size()); ++i) unterschied += zeichen + (*z)[i];
    ADD_FAILURE() << datei << ":" << n + 1 << ": the game went otherwise (- approved, + now):" << unterschied;
}

std::string spielen(uint32_t seed, const std::string& script, const std::map<std::string, std::string>& server = {}) {
    GameHarness h({}, server);
    h.random.seed(seed);
    return GameTrace(h).play(script);
}

// The first game as it comes, after the update question (answered No) and a look at the start
// screen, smaller than its panel for a while; the second, not asked again, in a larger window,
// steered with every pair of keys and ended with Escape.
TEST(GameTrace, APlainGameThenASecondOneSteeredAndEndedOnTheTable) {
    vergleichen("zwei-spiele", spielen(4, "resize 400 300 1000 resize 680.25 591 2500 > > < start over +l -l restart > start resize 800 600 "
                                              "500 +l 600 +s -s +u 100 -l 700 -u 200 -d +r +d 300 -r -d +d 300 +r 300 -d 300 -r +u 100 +l 200 "
                                              "-u -l +u +r 300 -r -u +d +l 200 -d -l +r +u 200 -r -u +l +d 200 -l -d +l +r 100 -l -r +d +r -r "
                                              "+d 520 -d over +l +e -l", {{"version.txt", "Version: 9,000"}}));
}

// Every kind of item, drawn at the edges of its range, most of them picked up during a countdown;
// at the last one's end the grown sprite is pushed back into the window.
TEST(GameTrace, ItemsOfEveryKindPickedUp) {
    vergleichen("items", spielen(1, "> > start 1000 item 9 280 2500 item 5 280 1000 +r 300 -r 1500 item 8 280 1500 item 4 280 1500 "
                                          "item 11 280 1000 +l 300 -l 12000 item 1 280 2000 item 12 280 5000 item 6 280 "
                                          "3500 +r 3000 -r +d 3000 -d over"));
}

// Five levels at once from an item at the very start and again later, up to level 13: more
// spawners, faster balls; then the window made lower, and closed.
TEST(GameTrace, UpToLevelThirteen) {
    vergleichen("level-13", spielen(8, "start 1000 item 12 280 4000 item 1 280 4000 item 2 280 4000 item 3 280 4000 item 4 280 4000 item 1 280 "
                                             "4000 item 2 280 4000 item 3 280 4000 item 12 280 4000 item 4 280 4000 item 1 280 over resize 680.25 560 close"));
}

}  // namespace
