#pragma once
// A loopback update server: every GET is answered by `antwort` on the server's own thread, and
// counted. Its base address goes to the update window in place of the real server's.
#include <httplib.h>

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <thread>

class UpdateServer {
public:
    using Antwort = std::function<void(const httplib::Request&, httplib::Response&)>;
    explicit UpdateServer(Antwort antwort);
    // Serves `dateien` (path → content); every other address answers 404.
    explicit UpdateServer(std::map<std::string, std::string> dateien);
    ~UpdateServer();

    const std::string& base() const { return base_; }
    int requests() const { return requests_; }

private:
    httplib::Server http_;
    std::thread listener_;
    std::atomic<int> requests_{0};
    std::string base_;
};
