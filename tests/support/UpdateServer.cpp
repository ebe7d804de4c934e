#include "UpdateServer.h"

#include <chrono>

UpdateServer::UpdateServer(Antwort antwort) {
    http_.Get(".*", [this, antwort](const httplib::Request& req, httplib::Response& res) {
        ++requests_;
        antwort(req, res);
    });
    base_ = "http://127.0.0.1:" + std::to_string(http_.bind_to_any_port("127.0.0.1"));
    listener_ = std::thread([this] { http_.listen_after_bind(); });
    while (!http_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

UpdateServer::UpdateServer(std::map<std::string, std::string> dateien)
    : UpdateServer([dateien](const httplib::Request& req, httplib::Response& res) {
          if (auto d = dateien.find(req.path); d != dateien.end()) res.set_content(d->second, "application/octet-stream");
          else res.status = 404;
      }) {}

UpdateServer::~UpdateServer() {
    http_.stop();
    listener_.join();
}
