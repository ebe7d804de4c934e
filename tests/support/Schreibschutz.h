#pragma once
// Folders and files nobody may write to, as long as the object lives. The superuser writes
// anywhere, so a test run as root acts as "nobody" meanwhile.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>
#ifndef _WIN32
#include <unistd.h>
#endif

class Schreibschutz {
public:
    explicit Schreibschutz(std::vector<std::string> pfade) : pfade_(std::move(pfade)) {
        namespace fs = std::filesystem;
        for (const std::string& p : pfade_) fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                                                               fs::perm_options::remove);
#ifndef _WIN32
        if (!pfade_.empty() && geteuid() == 0) {
            alsNiemand_ = seteuid(65534) == 0;
            wirkt_ = alsNiemand_;
        }
#endif
    }
    ~Schreibschutz() {
        namespace fs = std::filesystem;
#ifndef _WIN32
        if (alsNiemand_ && seteuid(0) != 0) std::abort();
#endif
        for (const std::string& p : pfade_) fs::permissions(p, fs::perms::owner_write, fs::perm_options::add);
    }
    Schreibschutz(const Schreibschutz&) = delete;
    Schreibschutz& operator=(const Schreibschutz&) = delete;

    // False when the superuser could not give up the right to write.
    bool wirkt() const { return wirkt_; }

private:
    std::vector<std::string> pfade_;
    bool alsNiemand_ = false;
    bool wirkt_ = true;
};
