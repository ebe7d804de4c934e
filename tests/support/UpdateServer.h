#pragma once
// A loopback server for the update window and the downloads: every GET is answered on the
// server's own thread with the answer set for its path (404 for any other), and its path recorded.
#include <httplib.h>

#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

class UpdateServer {
public:
    using Antwort = std::function<void(httplib::Response&)>;
    UpdateServer();
    explicit UpdateServer(const std::map<std::string, std::string>& dateien);  // path → content
    ~UpdateServer();

    const std::string& base() const { return base_; }
    int requests() const { return int(pfade.size()); }

    std::map<std::string, Antwort> antworten;            // path → answer; changed only between requests
    std::vector<std::string> pfade;                      // every path asked for, in turn
    std::function<void(const std::string&)> beiAnfrage;  // runs while the client waits for the answer

    // What a sound server sends, and what a broken or hostile one does.
    static Antwort datei(std::string inhalt) { return [=](httplib::Response& r) { r.set_content(inhalt, "application/octet-stream"); }; }
    static Antwort status(int code) { return [=](httplib::Response& r) { r.status = code; }; }
    static Antwort umleitung(std::string pfad) { return [=](httplib::Response& r) { r.set_redirect(pfad); }; }
    static Antwort abgeschnitten(std::string anfang) {  // 1000 bytes announced, the connection closes after `anfang`
        return [=](httplib::Response& r) { r.set_content_provider(1000, "text/plain", [=](size_t, size_t, httplib::DataSink& s) { return s.write(anfang.data(), anfang.size()), false; }); };
    }
    // All of `inhalt`, its length not announced, `stück` bytes at a time with a pause before each.
    static Antwort stückweise(std::string inhalt, size_t stück = 4096, int pauseMs = 0);

private:
    httplib::Server http_;
    std::thread listener_;
    std::string base_;
};

// A whole file as it lies on disk; "" when there is none.
std::string dateiInhalt(const std::string& pfad);
