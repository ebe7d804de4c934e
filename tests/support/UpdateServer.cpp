#include "UpdateServer.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>

UpdateServer::UpdateServer() {
    http_.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
        pfade.push_back(req.path);
        if (auto a = antworten.find(req.path); a != antworten.end()) a->second(res);
        else res.status = 404;
        if (beiAnfrage) beiAnfrage(req.path);
    });
    base_ = "http://127.0.0.1:" + std::to_string(http_.bind_to_any_port("127.0.0.1"));
    listener_ = std::thread([this] { http_.listen_after_bind(); });
    while (!http_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

UpdateServer::UpdateServer(const std::map<std::string, std::string>& dateien) : UpdateServer() {
    for (const auto& [pfad, inhalt] : dateien) antworten[pfad] = datei(inhalt);
}

UpdateServer::~UpdateServer() { http_.stop(), listener_.join(); }

UpdateServer::Antwort UpdateServer::stückweise(std::string inhalt, size_t stück, int pauseMs) {
    return [=](httplib::Response& res) {
        res.set_chunked_content_provider("application/octet-stream", [=](size_t offset, httplib::DataSink& sink) {
            std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
            if (offset >= inhalt.size()) return sink.done(), true;
            return sink.is_writable() && sink.write(inhalt.data() + offset, std::min(stück, inhalt.size() - offset));
        });
    };
}

std::string dateiInhalt(const std::string& pfad) {
    std::ifstream in(pfad, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
