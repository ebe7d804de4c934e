#pragma once
// A loopback update server for game tests: answers the version check with the version file it
// was given (every other address with 404) and counts the requests.
#include <memory>
#include <string>

class UpdateServer {
public:
    explicit UpdateServer(std::string versionFile);
    ~UpdateServer();

    // The base address to hand the update window.
    const std::string& base() const { return base_; }
    int requests() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string base_;
};
