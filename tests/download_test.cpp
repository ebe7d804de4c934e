// Downloads from a loopback server: whole files only, nothing left behind by a failure.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/Download.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;
using platform::download;
using platform::DownloadLimits;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    return names;
}

// Every byte value, so the file is binary and not a multiple of a buffer size.
std::string binaryBody(size_t size) {
    std::string body(size, '\0');
    for (size_t i = 0; i < size; ++i) body[i] = char((i * 131 + 7) % 256);
    return body;
}

class Server {
public:
    Server() {
        port = http.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { http.listen_after_bind(); });
        for (int i = 0; i < 500 && !http.is_running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~Server() {
        http.stop();
        thread.join();
    }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port) + path; }

    httplib::Server http;
    int port = 0;

private:
    std::thread thread;
};

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.http.Get("/file", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(binaryBody(100000), "application/octet-stream");
        });
        server.http.Get("/moved", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/file"); });
        server.http.Get("/truncated", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(1000, "text/plain", [](size_t, size_t, httplib::DataSink& sink) {
                sink.write("only the start", 14);
                return false;  // the connection closes with 986 bytes missing
            });
        });
        server.http.Get("/slow", [](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
                if (offset >= 40 || !sink.is_writable()) return false;  // at most ~8 s in all
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                return sink.write("x", 1);
            });
        });
        server.http.Get(R"(/loop/(\d+))", [this](const httplib::Request& req, httplib::Response& res) {
            ++loopRequests;
            res.set_redirect("/loop/" + std::to_string(std::stoi(req.matches[1]) + 1));
        });
        server.http.Get("/big", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(64 * 1024 + 1, 'b'), "text/plain");
        });
        server.http.Get("/big-chunked", [](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
                if (offset > 200 * 1024) {
                    sink.done();
                    return true;
                }
                const std::string part(4096, 'c');
                return sink.write(part.data(), part.size());
            });
        });
        server.http.Get("/to-file", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("file:///etc/hostname");
        });
    }

    std::atomic<int> loopRequests{0};
    Server server;
    TempFolder folder;
};

TEST_F(DownloadTest, WholeFileArrivesAlsoAfterARedirect) {
    for (const char* path : {"/file", "/moved"}) {
        SCOPED_TRACE(path);
        const std::string target = folder.file("ziel.bin");
        ASSERT_EQ(download(server.url(path), target), 0);
        EXPECT_EQ(readAll(target), binaryBody(100000));
        EXPECT_EQ(entries(folder.path()), std::vector<std::string>{"ziel.bin"});
    }
}

TEST_F(DownloadTest, FailuresLeaveTheOldFileAndNothingElse) {
    DownloadLimits capped;
    capped.maxBytes = 64 * 1024;
    DownloadLimits impatient;
    impatient.connectTimeoutMs = 1000;
    impatient.totalTimeoutMs = 1000;
    const std::string stopped = [] {
        Server gone;
        return gone.url("/file");
    }();
    const std::string localFile = folder.write("quelle.txt", "local");
    const std::string target = folder.write("ziel.bin", "old contents");
    const struct {
        std::string url;
        DownloadLimits limits;
    } cases[] = {
        {server.url("/missing"), {}},     // 404
        {server.url("/truncated"), {}},   // body shorter than announced
        {server.url("/slow"), impatient}, // stalls past the overall limit
        {server.url("/loop/0"), {}},      // endless redirects
        {server.url("/big"), capped},     // announced size over the cap
        {server.url("/big-chunked"), capped},  // size unknown until the cap is passed
        {server.url("/to-file"), {}},     // redirect to a local file
        {"file://" + localFile, {}},      // not http(s) at all
        {stopped, {}},                    // nobody listening
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_NE(download(c.url, target, c.limits), 0);
        EXPECT_EQ(readAll(target), "old contents");
        EXPECT_EQ(entries(folder.path()).size(), 2u);  // no temporary file left
    }
    EXPECT_LE(loopRequests.load(), 10);
}

// File names are matched without regard to case: the file in another spelling is replaced,
// rather than a second one appearing beside it.
TEST_F(DownloadTest, ReplacesTheFileSpeltDifferently) {
    folder.write("VERSION.TXT", "stale");
    ASSERT_EQ(download(server.url("/file"), folder.file("Version.txt")), 0);
    EXPECT_EQ(entries(folder.path()), std::vector<std::string>{"VERSION.TXT"});
    EXPECT_EQ(readAll(folder.file("VERSION.TXT")), binaryBody(100000));
}

}  // namespace
