#include "platform/Download.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

#include "platform/Files.h"

namespace platform {

namespace {

constexpr int kMaxRedirects = 5;
static_assert(kDownloadNotFound == CURLE_REMOTE_FILE_NOT_FOUND);
static_assert(kDownloadCancelled == CURLE_ABORTED_BY_CALLBACK);
constexpr int kProgressEveryMs = 100;

struct Sink {
    CURL* curl = nullptr;
    std::FILE* file = nullptr;
    size_t written = 0;
    size_t maxBytes = 0;
    bool tooBig = false;
};

long responseCode(CURL* curl) {
    long code = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
    return code;
}

size_t writeBody(char* data, size_t size, size_t count, void* user) {
    auto& sink = *static_cast<Sink*>(user);
    const size_t n = size * count;
    // The body of a redirect is not the file.
    const long code = responseCode(sink.curl);
    if (code >= 300 && code < 400) return n;
    if (sink.maxBytes != 0 && sink.written + n > sink.maxBytes) {
        sink.tooBig = true;
        return 0;  // aborts the transfer
    }
    if (std::fwrite(data, 1, n, sink.file) != n) return 0;
    sink.written += n;
    return n;
}

bool startsWithIgnoringCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && sameIgnoringCase(s.substr(0, prefix.size()), prefix);
}

bool isHttps(const std::string& url) { return startsWithIgnoringCase(url, "https://"); }
bool isHttp(const std::string& url) { return startsWithIgnoringCase(url, "http://"); }

void initialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Easy {
    CURL* handle = curl_easy_init();
    ~Easy() {
        if (handle) curl_easy_cleanup(handle);
    }
};

// curl_easy_perform, but with `progress` asked about every kProgressEveryMs: while the
// transfer waits for the server the caller's window must still answer.
CURLcode perform(CURL* curl, const Sink& sink, const DownloadProgress& progress) {
    CURLM* multi = curl_multi_init();
    if (!multi) return CURLE_OUT_OF_MEMORY;
    curl_multi_add_handle(multi, curl);
    CURLcode rc = CURLE_FAILED_INIT;  // until the transfer reports its end
    using Clock = std::chrono::steady_clock;
    auto asked = Clock::now();
    for (int running = 1; running;) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) break;
        if (running && curl_multi_poll(multi, nullptr, 0, kProgressEveryMs, nullptr) != CURLM_OK) break;
        if (!progress || Clock::now() - asked < std::chrono::milliseconds(kProgressEveryMs)) continue;
        asked = Clock::now();
        if (!progress(sink.written)) {
            rc = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
    }
    int left = 0;
    while (const CURLMsg* m = curl_multi_info_read(multi, &left))
        if (m->msg == CURLMSG_DONE) rc = m->data.result;
    curl_multi_remove_handle(multi, curl);
    curl_multi_cleanup(multi);
    return rc;
}

// Fetches into the open `sink.file`, following redirects ourselves so that each hop can be
// checked: only http(s), never from https down to http.
int fetch(const std::string& url, Sink& sink, const DownloadLimits& limits, const DownloadProgress& progress) {
    Easy easy;
    CURL* curl = easy.handle;
    if (!curl) return CURLE_FAILED_INIT;
    sink.curl = curl;

    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
#else
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Kreiselsturm-Updater");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    if (limits.maxBytes != 0)
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits.maxBytes));
    if (limits.slowBytesPerSecond > 0 && limits.slowWindowSeconds > 0) {
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, limits.slowBytesPerSecond);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits.slowWindowSeconds);
    }

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(limits.totalTimeoutMs);
    std::string current = url;
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        if (!isHttp(current) && !isHttps(current)) return CURLE_UNSUPPORTED_PROTOCOL;
        const long left = long(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
        if (left <= 0) return CURLE_OPERATION_TIMEDOUT;
        curl_easy_setopt(curl, CURLOPT_URL, current.c_str());
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, left);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, std::min(left, limits.connectTimeoutMs));

        const CURLcode rc = perform(curl, sink, progress);
        if (sink.tooBig) return CURLE_FILESIZE_EXCEEDED;
        const long code = responseCode(curl);
        if (code == 404) return kDownloadNotFound;  // told apart from a server that failed
        if (rc != CURLE_OK) return rc;
        if (code >= 400) return CURLE_HTTP_RETURNED_ERROR;
        if (code >= 300) {
            char* next = nullptr;
            curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &next);
            if (!next) return CURLE_HTTP_RETURNED_ERROR;  // a redirect without a target
            std::string target = next;
            if (isHttps(current) && !isHttps(target)) return CURLE_UNSUPPORTED_PROTOCOL;
            current = std::move(target);
            continue;
        }
        if (code < 200) return CURLE_WEIRD_SERVER_REPLY;
        curl_off_t expected = -1;
        curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &expected);
        if (expected >= 0 && curl_off_t(sink.written) != expected) return CURLE_PARTIAL_FILE;
        return 0;
    }
    return CURLE_TOO_MANY_REDIRECTS;
}

// Opens a file that must not exist yet for writing.
std::FILE* createNew(const std::filesystem::path& path) {
#ifdef _WIN32
    // Windows' C library ignores fopen's "x": open exclusively by hand.
    const int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* f = _fdopen(fd, "wb");
    if (!f) _close(fd);
    return f;
#else
    return std::fopen(path.c_str(), "wbx");
#endif
}

}  // namespace

int download(const std::string& url, const std::string& file, const DownloadLimits& limits,
             const DownloadProgress& progress) {
    initialiseOnce();
    namespace fs = std::filesystem;
    // An existing file of the same name in another spelling is the one to replace.
    const fs::path target = nativePath(resolvePath(file));
    fs::path temporary = target;
    temporary += ".download";
    std::error_code ec;
    fs::remove(temporary, ec);

    Sink sink;
    sink.maxBytes = limits.maxBytes;
    sink.file = createNew(temporary);
    if (!sink.file) return CURLE_WRITE_ERROR;
    int rc = fetch(url, sink, limits, progress);
    if (std::fclose(sink.file) != 0 && rc == 0) rc = CURLE_WRITE_ERROR;
    if (rc == 0) {
        fs::rename(temporary, target, ec);
        if (ec) rc = CURLE_WRITE_ERROR;
    }
    if (rc != 0) fs::remove(temporary, ec);
    return rc;
}

}  // namespace platform
