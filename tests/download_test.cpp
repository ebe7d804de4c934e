// Downloads from a loopback server: whole files only, nothing left behind by a failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/Download.h"
#include "support/TempFolder.h"
#include "support/UpdateServer.h"

namespace {

// The old file stays until a whole new one has arrived; no temporary file is left behind, and a
// file spelt otherwise is replaced rather than joined, since names are matched without regard to case.
TEST(Download, OnlyAWholeFileReplacesTheOldOne) {
    constexpr size_t kCap = 64 * 1024;
    std::string binär(100000, '\0');  // every byte value, and no multiple of a buffer size
    for (size_t i = 0; i < binär.size(); ++i) binär[i] = char((i * 131 + 7) % 256);
    using S = UpdateServer;
    S server;
    server.antworten = {{"/file", S::datei(binär)}, {"/moved", S::umleitung("/file")}, {"/loop", S::umleitung("/loop")},
                        {"/broken", S::status(500)}, {"/truncated", S::abgeschnitten("start")},
                        {"/slow", S::stückweise(std::string(20, 'x'), 1, 200)},  // a byte every 200 ms
                        {"/big", S::stückweise(std::string(kCap + 1, 'c'))}};
    const std::string s = server.base();
    TempFolder folder;
    const std::string old = folder.write("ZIEL.BIN", "old contents"), target = folder.file("ziel.bin");
    const auto files = [&] { return std::distance(std::filesystem::directory_iterator(folder.path()), {}); };
    const platform::DownloadLimits capped{.maxBytes = kCap}, impatient{.connectTimeoutMs = 1000, .totalTimeoutMs = 1000},
        floor{.slowBytesPerSecond = 1000, .slowWindowSeconds = 1};
    const struct { std::string url; platform::DownloadLimits limits = {}; platform::DownloadProgress progress = {}; } failures[] = {
        {s + "/missing"},            // 404, told apart from other failures
        {s + "/broken"},             // 500
        {s + "/truncated"},          // body shorter than announced
        {s + "/slow", impatient},    // still sending when the time is up
        {s + "/slow", floor},        // slower than the floor
        {s + "/slow", {}, [](size_t) { return false; }},  // stopped by the caller
        {s + "/loop"},               // endless redirects
        {s + "/big", capped},        // one byte over the cap
        {"file://" + old},           // not http(s)
    };
    for (const auto& c : failures) {
        SCOPED_TRACE(c.url);
        const int rc = platform::download(c.url, target, c.limits, c.progress);
        EXPECT_NE(rc, 0);
        EXPECT_EQ(rc == platform::kDownloadCancelled, bool(c.progress));
        EXPECT_EQ(rc == platform::kDownloadNotFound, c.url.ends_with("/missing"));
        EXPECT_EQ(dateiInhalt(old), "old contents");
        EXPECT_EQ(files(), 1);
    }
    EXPECT_LE(std::ranges::count(server.pfade, "/loop"), 10);
    for (const char* path : {"/file", "/moved"}) {
        ASSERT_EQ(platform::download(s + path, target), 0) << path;
        EXPECT_EQ(dateiInhalt(old), binär);
        EXPECT_EQ(files(), 1);
    }
}

}  // namespace
