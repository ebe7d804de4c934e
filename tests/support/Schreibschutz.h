#pragma once
// Acting as a player, and folders and files nobody may write to. The superuser writes anywhere
// and may give files away, so a test run as root acts as "nobody" (uid 65534) where a player is meant.
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>
#ifndef _WIN32
#include <unistd.h>
#endif

// As long as the object lives, the superuser is "nobody"; anyone else stays who they are.
class AlsSpieler {
public:
#ifndef _WIN32
    AlsSpieler() : gewechselt_(geteuid() == 0 && seteuid(65534) == 0), wirkt_(gewechselt_ || geteuid() != 0) {}
    ~AlsSpieler() {
        if (gewechselt_ && seteuid(0) != 0) std::abort();
    }
#endif
    bool wirkt() const { return wirkt_; }  // false when the superuser could not give up his rights

private:
    bool gewechselt_ = false, wirkt_ = true;
};

// The paths lose every write permission, and the test acts as a player, until the object goes.
class Schreibschutz {
public:
    explicit Schreibschutz(std::vector<std::string> pfade) : pfade_(std::move(pfade)) {
        for (const std::string& p : pfade_) std::filesystem::permissions(p, alleSchreibrechte, std::filesystem::perm_options::remove);
        if (!pfade_.empty()) spieler_.emplace();
    }
    ~Schreibschutz() {
        spieler_.reset();  // back to the superuser first, who may give the permission back
        for (const std::string& p : pfade_) std::filesystem::permissions(p, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    }
    bool wirkt() const { return !spieler_ || spieler_->wirkt(); }

private:
    static constexpr auto alleSchreibrechte = std::filesystem::perms::owner_write | std::filesystem::perms::group_write | std::filesystem::perms::others_write;
    std::vector<std::string> pfade_;
    std::optional<AlsSpieler> spieler_;
};
