#include "UpdateServer.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <thread>

struct UpdateServer::Impl {
    httplib::Server http;
    std::thread listener;
    std::atomic<int> requests{0};
};

UpdateServer::UpdateServer(std::string versionFile) : impl_(std::make_unique<Impl>()) {
    impl_->http.Get(".*", [this, versionFile](const httplib::Request& req, httplib::Response& res) {
        ++impl_->requests;
        if (req.path == "/spielhof/wirbel/version.txt") res.set_content(versionFile, "text/plain");
        else res.status = 404;
    });
    base_ = "http://127.0.0.1:" + std::to_string(impl_->http.bind_to_any_port("127.0.0.1"));
    impl_->listener = std::thread([this] { impl_->http.listen_after_bind(); });
    while (!impl_->http.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

UpdateServer::~UpdateServer() {
    impl_->http.stop();
    impl_->listener.join();
}

int UpdateServer::requests() const { return impl_->requests; }
