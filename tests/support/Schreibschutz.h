#pragma once
// Acting as a player, and folders and files nobody may write to. The superuser writes anywhere
// and may give files away, so a test run as root acts as "nobody" where a player is meant.
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>
#ifndef _WIN32
#include <unistd.h>
#endif

// As long as the object lives, the superuser is "nobody" (uid 65534); anyone else stays who they are.
class AlsSpieler {
public:
    AlsSpieler() {
#ifndef _WIN32
        if (geteuid() == 0) gewechselt_ = wirkt_ = seteuid(65534) == 0;
#endif
    }
    ~AlsSpieler() {
#ifndef _WIN32
        if (gewechselt_ && seteuid(0) != 0) std::abort();
#endif
    }
    AlsSpieler(const AlsSpieler&) = delete;
    AlsSpieler& operator=(const AlsSpieler&) = delete;
    // False when the superuser could not give up his rights.
    bool wirkt() const { return wirkt_; }

private:
    bool gewechselt_ = false, wirkt_ = true;
};

// Runs `tun` as a player; false, without running it, when that cannot be arranged.
template <typename Tun>
bool alsSpieler(Tun tun) {
    const AlsSpieler spieler;
    return spieler.wirkt() && (tun(), true);
}

// The paths lose every write permission, and the test acts as a player, until the object goes.
class Schreibschutz {
public:
    explicit Schreibschutz(std::vector<std::string> pfade) : pfade_(std::move(pfade)) {
        namespace fs = std::filesystem;
        for (const std::string& p : pfade_) fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                                                               fs::perm_options::remove);
        if (!pfade_.empty()) spieler_.emplace();
    }
    ~Schreibschutz() {
        spieler_.reset();  // back to the superuser first, who may give the permission back
        for (const std::string& p : pfade_) std::filesystem::permissions(p, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    }
    bool wirkt() const { return !spieler_ || spieler_->wirkt(); }

private:
    std::vector<std::string> pfade_;
    std::optional<AlsSpieler> spieler_;
};
