// An hour of play without drawing, and what it leaves in memory: game after game (game over, the
// highscore table, "Restart", "Start"), items caught, levels past 20. Allocations are counted by
// this program's own operator new and delete; live memory is what is allocated and not yet freed.
//
//   hour_of_play [--minutes N] [--seed S]     (default: 60 minutes, seed 1)
//
// Reports at minutes N/12, N/2 and N (5, 30, 60 for an hour): allocations so far, live memory at
// that moment, in the middle of whatever game runs, and on the next start screen, where one
// moment compares with another; and the resident set. Ends with status 1 when live memory on the
// last start screen is more than 1 % above that on the first, or the game ended or failed.
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "support/GameHarness.h"

namespace {

std::atomic<uint64_t> allocations{0}, allocatedBytes{0};
std::atomic<int64_t> liveBytes{0};

}  // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    allocations.fetch_add(1, std::memory_order_relaxed);
    allocatedBytes.fetch_add(size, std::memory_order_relaxed);
    liveBytes.fetch_add(static_cast<int64_t>(malloc_usable_size(p)), std::memory_order_relaxed);
    return p;
}

void operator delete(void* p) noexcept {
    if (!p) return;
    liveBytes.fetch_sub(static_cast<int64_t>(malloc_usable_size(p)), std::memory_order_relaxed);
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

int64_t residentBytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

struct Checkpoint {
    double minute;
    uint64_t allocations = 0, allocatedBytes = 0;
    int64_t liveInGame = 0, resident = 0;
    int64_t startScreenMs = -1, liveOnStartScreen = 0;
};

// The player: hides beyond the left edge for a drawn length of game, darting onto every item
// that drifts in meanwhile; then comes back and wanders with the arrow keys until the third hit.
class Player {
public:
    Player(GameHarness& h, double minutes, uint32_t seed)
        : h_(h), steering_(seed), longestGameMs_(std::max(40000.0, minutes * 8000)) {}

    // One step of 50 ms of play, a decision before it.
    void step() {
        auto& ui = h_.ui();
        const int64_t now = h_.clock.nowMs();
        if (ui.Highscore.Visible) {
            if (key_) h_.release(std::exchange(key_, 0));
            if (tableSinceMs_ < 0) tableSinceMs_ = now, ++games;
            if (now - tableSinceMs_ >= 2000) {
                h_.click(ui.Command2);  // Restart: the start screen of a fresh window
                tableSinceMs_ = -1;
                startScreenSinceMs_ = now;
            }
        } else if (onStartScreen()) {
            if (now - startScreenSinceMs_ == 500 && roll(0, 1)) h_.click(ui.Command1[roll(0, 1)]);  // another picture
            if (now - startScreenSinceMs_ >= 1000) startGame();
        } else if (now < hideUntilMs_) {
            chaseItems();
        } else if (now % 1000 == 0) {  // wandering: a new direction every second
            if (key_) h_.release(key_);
            if (ui.Spieler.Left < 0) ui.Spieler.Left = h_.form1->ScaleWidth() / 2, ui.Spieler.Top = h_.form1->ScaleHeight() / 2;
            static constexpr int16_t keys[] = {forms::Key::Left, forms::Key::Up, forms::Key::Right, forms::Key::Down};
            key_ = keys[roll(0, 3)];
            h_.press(key_);
        }
        highestLevel = std::max<int>(highestLevel, h_.form1->Level.value());
        h_.advance(50);
    }

    bool onStartScreen() const { return startScreenSinceMs_ >= 0; }
    void startGame() {
        h_.click(h_.ui().Command1[2]);
        startScreenSinceMs_ = -1;
        hideUntilMs_ = h_.clock.nowMs() + roll(20000, static_cast<int>(longestGameMs_));
        h_.ui().Spieler.Left = -5000;
    }

    int games = 0, items = 0, purpleItems = 0, highestLevel = 0;

private:
    int roll(int min, int max) { return std::uniform_int_distribution<int>(min, max)(steering_); }

    void chaseItems() {
        auto& ui = h_.ui();
        if (chased_ > 0 && !ui.Power.exists(chased_)) ++items, purpleItems += chasedTag_ == "levelu";
        chased_ = 0;
        ui.Power.forEach([&](const forms::Shape& p) {
            if (p.Index == 0 || p.Left < 100 || p.Left > h_.form1->ScaleWidth() - p.Width) return false;
            chased_ = p.Index;
            chasedTag_ = p.Tag;
            ui.Spieler.Left = p.Left + 10;  // a corner of the player inside the disc
            ui.Spieler.Top = p.Top + 10;
            return true;
        });
        if (!chased_) ui.Spieler.Left = -5000;
    }

    GameHarness& h_;
    std::mt19937 steering_;
    double longestGameMs_;
    int64_t hideUntilMs_ = 0, tableSinceMs_ = -1, startScreenSinceMs_ = -1;
    int16_t key_ = 0, chased_ = 0;
    std::string chasedTag_;
};

std::string kib(int64_t bytes) { return std::to_string((bytes + 512) / 1024) + " KiB"; }

std::string clockTime(int64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(ms / 60000), static_cast<long long>(ms / 1000 % 60));
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    double minutes = 60;
    uint32_t seed = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--minutes") minutes = std::atof(argv[i + 1]);
        else if (option == "--seed") seed = static_cast<uint32_t>(std::atol(argv[i + 1]));
    }
    if (minutes <= 0 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: %s [--minutes N] [--seed S]\n", argv[0]);
        return 2;
    }

    std::vector<Checkpoint> checkpoints{{minutes / 12}, {minutes / 2}, {minutes}};
    int64_t peakLive = 0;
    {
        GameHarness h;
        h.random.seed(seed);
        Player player(h, minutes, seed);
        h.start();
        // Every player picture once, as a player looks through them: from then on the picture
        // cache holds all of the folder's pictures.
        while (h.ui().Command1[1].Enabled) h.click(h.ui().Command1[1]);
        player.startGame();
        size_t next = 0, waiting = 0;  // the next checkpoint; the first that waits for a start screen
        while (waiting < checkpoints.size() && !h.app.ended()) {
            player.step();
            peakLive = std::max<int64_t>(peakLive, liveBytes);
            const int64_t now = h.clock.nowMs();
            if (next < checkpoints.size() && now >= checkpoints[next].minute * 60000) {
                Checkpoint& c = checkpoints[next++];
                c.allocations = allocations, c.allocatedBytes = allocatedBytes;
                c.liveInGame = liveBytes, c.resident = residentBytes();
            }
            if (player.onStartScreen())
                for (; waiting < next; ++waiting) checkpoints[waiting].startScreenMs = now, checkpoints[waiting].liveOnStartScreen = liveBytes;
        }
        std::printf("%.0f simulated minutes, seed %u: %d games, %d items caught (%d purple), highest level %d\n\n", minutes, seed,
                    player.games, player.items, player.purpleItems, player.highestLevel);
        if (h.app.ended()) {
            std::printf("the game ended: status %d %s\n", h.app.exitCode(), h.app.failure().c_str());
            return 1;
        }
    }

    std::printf("%6s %12s %14s %14s %25s %10s\n", "minute", "allocations", "bytes", "live in game", "live on next start screen",
                "resident");
    for (const Checkpoint& c : checkpoints)
        std::printf("%6.2f %12llu %14llu %14lld %16lld at %5s %10s\n", c.minute, static_cast<unsigned long long>(c.allocations),
                    static_cast<unsigned long long>(c.allocatedBytes), static_cast<long long>(c.liveInGame),
                    static_cast<long long>(c.liveOnStartScreen), clockTime(c.startScreenMs).c_str(), kib(c.resident).c_str());
    const int64_t first = checkpoints.front().liveOnStartScreen, last = checkpoints.back().liveOnStartScreen;
    std::printf("\npeak live %s; live on the start screen at the end vs the first: %+lld bytes (%+.3f %%)\n", kib(peakLive).c_str(),
                static_cast<long long>(last - first), 100.0 * static_cast<double>(last - first) / static_cast<double>(first));
    std::fflush(stdout);  // before LeakSanitizer's report at exit, which ends the program at once
    return last - first > first / 100 ? 1 : 0;
}
