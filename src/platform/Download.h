#pragma once
#include <cstddef>
#include <functional>
#include <string>

namespace platform {

struct DownloadLimits {
    long connectTimeoutMs = 3000;
    long totalTimeoutMs = 20000;
    size_t maxBytes = 0;  // 0: no cap
    // Both > 0: give up when fewer than this many bytes a second arrived, on average, over
    // the last slowWindowSeconds.
    long slowBytesPerSecond = 0;
    long slowWindowSeconds = 0;
};

// The result of download() when the server has no such file (HTTP 404).
constexpr int kDownloadNotFound = 78;
// The result of download() when `progress` stopped it.
constexpr int kDownloadCancelled = 42;

// Called about every 100 ms while a download runs, with the bytes received so far, so the
// caller can keep its window answering; returning false stops the transfer.
using DownloadProgress = std::function<bool(size_t bytes)>;

// Fetches `url` into `file`. Returns 0 only when the whole body arrived with an HTTP status
// below 400; kDownloadNotFound for a 404; anything else is another non-zero code. A failure
// leaves no file behind (the body goes to a temporary file that is renamed into place). TLS certificates are verified; redirects go only
// to http(s), never from https down to http, and at most a few hops.
int download(const std::string& url, const std::string& file, const DownloadLimits& limits = {},
             const DownloadProgress& progress = {});

}  // namespace platform
