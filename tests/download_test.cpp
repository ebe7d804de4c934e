// Downloads from a loopback server: whole files only, nothing left behind by a failure.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/Download.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kCap = 64 * 1024;  // the size limit the failures below use

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Every byte value, so the file is binary and not a multiple of a buffer size.
std::string binaryBody() {
    std::string body(100000, '\0');
    for (size_t i = 0; i < body.size(); ++i) body[i] = char((i * 131 + 7) % 256);
    return body;
}

class DownloadTest : public ::testing::Test {
protected:
    DownloadTest() {
        http.Get("/file", [](const auto&, auto& res) { res.set_content(binaryBody(), "application/octet-stream"); });
        http.Get("/broken", [](const auto&, auto& res) { res.status = 500; });
        http.Get("/moved", [](const auto&, auto& res) { res.set_redirect("/file"); });
        http.Get(R"(/loop/\d+)", [this](const auto&, auto& res) { res.set_redirect("/loop/" + std::to_string(++loopRequests)); });
        http.Get("/truncated", [](const auto&, auto& res) {  // the connection closes with 995 bytes missing
            res.set_content_provider(1000, "text/plain", [](size_t, size_t, auto& sink) { sink.write("start", 5); return false; });
        });
        http.Get("/slow", [](const auto&, auto& res) {  // a whole file, but a byte every 200 ms, 20 in all
            res.set_chunked_content_provider("text/plain", [](size_t offset, auto& sink) {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                return offset < 20 ? sink.is_writable() && sink.write("x", 1) : (sink.done(), true);
            });
        });
        http.Get("/big", [](const auto&, auto& res) {  // one byte over the cap, no length announced
            res.set_chunked_content_provider("text/plain", [](size_t offset, auto& sink) {
                return offset > kCap ? (sink.done(), true) : sink.write(std::string(4096, 'c').data(), offset < kCap ? 4096 : 1);
            });
        });
        port = http.bind_to_any_port("127.0.0.1");
        listener = std::thread([this] { http.listen_after_bind(); });
        while (!http.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~DownloadTest() override { http.stop(); listener.join(); }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port) + path; }

    std::atomic<int> loopRequests{0};
    httplib::Server http;
    std::thread listener;
    int port = 0;
};

// The old file stays until a whole new one has arrived; no temporary file is left behind, and a
// file spelt otherwise is replaced rather than joined, since names are matched without regard to case.
TEST_F(DownloadTest, OnlyAWholeFileReplacesTheOldOne) {
    TempFolder folder;
    const std::string old = folder.write("ZIEL.BIN", "old contents"), target = folder.file("ziel.bin");
    const auto files = [&] { return std::distance(fs::directory_iterator(folder.path()), {}); };
    const platform::DownloadLimits capped{.maxBytes = kCap}, impatient{.connectTimeoutMs = 1000, .totalTimeoutMs = 1000},
        floor{.slowBytesPerSecond = 1000, .slowWindowSeconds = 1};
    const struct { std::string url; platform::DownloadLimits limits; } failures[] = {
        {url("/missing"), {}},            // 404, told apart from other failures
        {url("/broken"), {}},             // 500
        {url("/truncated"), {}},          // body shorter than announced
        {url("/slow"), impatient},        // still sending when the time is up
        {url("/slow"), floor},            // slower than the floor
        {url("/loop/0"), {}},             // endless redirects
        {url("/big"), capped},            // over the cap
        {"file://" + old, {}},            // not http(s)
        {"http://127.0.0.1:1/file", {}},  // nobody listening
    };
    for (const auto& c : failures) {
        SCOPED_TRACE(c.url);
        const int rc = platform::download(c.url, target, c.limits);
        EXPECT_NE(rc, 0);
        EXPECT_EQ(rc == platform::kDownloadNotFound, c.url.ends_with("/missing"));
        EXPECT_EQ(readAll(old), "old contents");
        EXPECT_EQ(files(), 1);
    }
    EXPECT_LE(loopRequests.load(), 10);
    for (const char* path : {"/file", "/moved"}) {
        ASSERT_EQ(platform::download(url(path), target), 0) << path;
        EXPECT_EQ(readAll(old), binaryBody());
        EXPECT_EQ(files(), 1);
    }
}

}  // namespace
