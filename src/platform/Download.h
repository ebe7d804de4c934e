#pragma once
#include <cstddef>
#include <string>

namespace platform {

struct DownloadLimits {
    long connectTimeoutMs = 3000;
    long totalTimeoutMs = 20000;
    long stallTimeoutMs = 0;  // > 0: give up when no byte arrived for this long
    size_t maxBytes = 0;  // 0: no cap
};

// Fetches `url` into `file`. Returns 0 only when the whole body arrived with an HTTP status
// below 400; anything else is a non-zero code and leaves no file behind (the body goes to a
// temporary file that is renamed into place). TLS certificates are verified; redirects go only
// to http(s), never from https down to http, and at most a few hops.
int download(const std::string& url, const std::string& file, const DownloadLimits& limits = {});

}  // namespace platform
