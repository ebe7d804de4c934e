#include "platform/Files.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#endif

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include "forms/Errors.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// A separator of the system's own paths: on Linux a backslash is part of a folder's name ("a\\b").
bool isNativeSeparator(char c) {
#ifdef _WIN32
    return isSeparator(c);
#else
    return c == '/';
#endif
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool endsWithIgnoringCase(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && sameIgnoringCase(s.substr(s.size() - suffix.size()), suffix);
}

// The running program file, full path.
fs::path programFile() {
#ifdef _WIN32
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (n == 0) return fs::current_path() / "Kreiselsturm.exe";
        if (n < buffer.size()) return fs::path(std::wstring(buffer.data(), n));
        buffer.resize(buffer.size() * 2);
    }
#else
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return fs::current_path(ec) / "Kreiselsturm";
    // The kernel marks a program file replaced while running; the folder is still the right one.
    std::string s = exe.string();
    const std::string deleted = " (deleted)";
    if (s.size() > deleted.size() && s.compare(s.size() - deleted.size(), deleted.size(), deleted) == 0)
        exe = s.substr(0, s.size() - deleted.size());
    return exe;
#endif
}

// A short German reason for the common failures, to follow the path in a message.
std::string reasonText(const std::error_code& ec) {
    if (!ec) return "";
    const std::error_condition c = ec.default_error_condition();
    if (c == std::errc::no_such_file_or_directory) return " (nicht vorhanden)";
    if (c == std::errc::permission_denied || c == std::errc::operation_not_permitted)
        return " (Zugriff verweigert)";
    if (c == std::errc::is_a_directory) return " (ist ein Ordner)";
    if (c == std::errc::not_a_directory) return " (ein Teil des Pfades ist kein Ordner)";
    if (c == std::errc::no_space_on_device) return " (kein Platz auf dem Datenträger)";
    if (c == std::errc::read_only_file_system) return " (Datenträger schreibgeschützt)";
    if (c == std::errc::file_exists) return " (eine Datei dieses Namens ist vorhanden)";
    return "";
}

// The entry of `folder` whose name equals `name` without regard to case. Several such entries
// ("A.gif" and "a.gif") give the alphabetically first, so the choice does not depend on the
// order the system lists them in.
std::optional<std::string> findIgnoringCase(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
    if (ec) return std::nullopt;
    std::optional<std::string> best;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        std::string entry = utf8Path(it->path().filename());
        if (sameIgnoringCase(entry, name) && (!best || entry < *best)) best = entry;
    }
    return best;
}

}  // namespace

fs::path nativePath(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string utf8Path(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string programFolder() {
    static const std::string folder = [] {
        std::string f = utf8Path(programFile().parent_path());
        while (f.size() > 1 && isNativeSeparator(f.back()) && f[f.size() - 2] != ':') f.pop_back();
        return f;
    }();
    return folder;
}

std::string programBaseName() {
    std::string name = utf8Path(programFile().filename());
    if (endsWithIgnoringCase(name, ".exe")) name.resize(name.size() - 4);
    return name;
}

std::string joinPath(const std::string& folder, const std::string& relative) {
    // The game spells its relative names with backslashes; the folder is spelt as the system
    // spells it, where a backslash may be part of a name.
    const auto translated = [](std::string s, bool (*separator)(char)) {
        std::replace_if(s.begin(), s.end(), separator, kSeparator);
        return s;
    };
    std::string rest = translated(relative, isSeparator), base = translated(folder, isNativeSeparator);
    if (folder.empty() || relative.empty()) return base + rest;
    while (!base.empty() && base.back() == kSeparator) base.pop_back();
    rest.erase(0, std::min(rest.size(), rest.find_first_not_of(kSeparator)));
    return base + kSeparator + rest;
}

namespace {

// Resolves `path` component by component, as far as the components are found. `complete` tells
// whether all of them were; the rest is appended as given.
std::string resolveAsFarAsFound(const std::string& path, bool& complete) {
    complete = true;
    if (path.empty()) return path;
    std::error_code ec;
    const fs::path input = nativePath(path);
#ifdef _WIN32
    // Windows finds any spelling itself; look each name up anyway, so the spelling on disk is
    // returned as on Linux (and a picture is cached once whatever its spelling).
    constexpr bool anySpellingFound = true;
#else
    constexpr bool anySpellingFound = false;
    if (fs::exists(fs::symlink_status(input, ec))) return path;
#endif

    fs::path resolved;
    bool changed = false;
    for (auto part = input.begin(); part != input.end(); ++part) {
        const fs::path& element = *part;
        if (!complete || element.empty() || element == "." || element == ".." ||
            element == input.root_name() || element == input.root_directory()) {
            resolved /= element;
            continue;
        }
        fs::path candidate = resolved / element;
        if (!anySpellingFound && fs::exists(fs::symlink_status(candidate, ec))) {
            resolved = std::move(candidate);
            continue;
        }
        if (std::optional<std::string> match = findIgnoringCase(resolved, utf8Path(element))) {
            resolved /= nativePath(*match);
            changed = true;
        } else {
            resolved /= element;
            complete = false;
        }
    }
    return changed ? utf8Path(resolved) : path;
}

}  // namespace

std::string resolvePath(const std::string& path) {
    bool complete = false;
    std::string resolved = resolveAsFarAsFound(path, complete);
    return complete ? resolved : path;
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(nativePath(resolvePath(path)), ec);
}

bool folderExists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(nativePath(resolvePath(path)), ec);
}

void deleteFile(const std::string& path) {
    const fs::path target = nativePath(resolvePath(path));
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(target, ec);
    if (fs::is_directory(status)) ec = std::make_error_code(std::errc::is_a_directory);
    else if (!fs::exists(status)) ec = std::make_error_code(std::errc::no_such_file_or_directory);
    else if (!fs::remove(target, ec) && !ec) ec = std::make_error_code(std::errc::no_such_file_or_directory);
    if (ec)
        throw forms::RuntimeError("Die Datei '" + path + "' konnte nicht gelöscht werden" +
                                  reasonText(ec) + ".");
}

void makeFolder(const std::string& path) {
    bool complete = false;
    const fs::path target = nativePath(resolveAsFarAsFound(path, complete));
    std::error_code ec;
    if (fs::is_directory(target, ec)) return;
    // Missing parents are made too, so a nested target folder does not fail halfway.
    fs::create_directories(target, ec);
    if (!ec && !fs::is_directory(target, ec) && !ec) ec = std::make_error_code(std::errc::file_exists);
    if (ec)
        throw forms::RuntimeError("Der Ordner '" + path + "' konnte nicht angelegt werden" +
                                  reasonText(ec) + ".");
}

void copyFile(const std::string& from, const std::string& to) {
    const fs::path source = nativePath(resolvePath(from));
    bool complete = false;
    const fs::path target = nativePath(resolveAsFarAsFound(to, complete));
    std::error_code ec, ignored;
    if (!fs::is_regular_file(source, ec)) {
        if (!ec) ec = std::make_error_code(std::errc::no_such_file_or_directory);
    } else if (complete && fs::equivalent(source, target, ignored)) {
        return;  // copying a file onto itself leaves it as it is
    } else {
#ifdef _WIN32
        // The C++ library's copy_file takes every existing file of the drive for the source itself.
        if (!CopyFileW(source.c_str(), target.c_str(), FALSE)) ec = std::error_code(int(GetLastError()), std::system_category());
#else
        fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
#endif
    }
    if (ec)
        throw forms::RuntimeError("Die Datei '" + from + "' konnte nicht nach '" + to +
                                  "' kopiert werden" + reasonText(ec) + ".");
}

std::string followLinks(const std::string& path) {
    fs::path file = nativePath(path);
    std::error_code ec;
    // A bounded number of steps, so a circle of links ends too.
    for (int step = 0; step < 40 && fs::is_symlink(fs::symlink_status(file, ec)); ++step) {
        const fs::path target = fs::read_symlink(file, ec);
        if (ec) break;
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return utf8Path(file);
}

bool writePermitted(const std::string& path) {
    std::error_code ec;
    const fs::perms mode = fs::status(nativePath(path), ec).permissions();
    return !ec && (mode & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write)) != fs::perms::none;
}

bool takeOverModeAndOwner(const std::string& original, const std::string& copy) {
#ifndef _WIN32
    struct stat from {}, to {};
    if (::stat(original.c_str(), &from) != 0 || ::stat(copy.c_str(), &to) != 0) return false;
    if ((from.st_uid != to.st_uid || from.st_gid != to.st_gid) && ::chown(copy.c_str(), from.st_uid, from.st_gid) != 0)
        return false;
#endif
    std::error_code ec;
    const fs::perms mode = fs::status(nativePath(original), ec).permissions();
    if (!ec) fs::permissions(nativePath(copy), mode, ec);
    return !ec;
}

long processId() {
#ifdef _WIN32
    return long(_getpid());
#else
    return long(::getpid());
#endif
}

bool processAlive(long pid) {
    if (pid <= 0 || pid > 0x7FFFFFFF) return true;  // no process number: nothing can be said
#ifdef _WIN32
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
    if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
#else
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
#endif
}

namespace {

// How long a lock held by another process is waited for, and how often it is tried meanwhile.
constexpr auto kLockWait = std::chrono::seconds(5);
constexpr int kLockRetryMs = 20;

// Calls `tryLock` until it succeeds (true), fails otherwise (false, `busy` stays false) or
// another process held the lock throughout the wait (false, `busy` true).
template <typename TryLock>
bool lockWithin(TryLock tryLock, bool& busy) {
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (;;) {
        const std::optional<bool> locked = tryLock();  // nothing: another process holds it
        if (locked) return *locked;
        if (std::chrono::steady_clock::now() >= deadline) {
            busy = true;
            return false;
        }
#ifdef _WIN32
        Sleep(kLockRetryMs);
#else
        ::usleep(kLockRetryMs * 1000);
#endif
    }
}

}  // namespace

#ifdef _WIN32
FileLock::FileLock(const std::string& path, bool create) {
    HANDLE file = CreateFileW(nativePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    // Windows locks keep every other handle out of the locked bytes: lock one far beyond any
    // content, so the file itself can still be read and written.
    const auto tryLock = [file]() -> std::optional<bool> {
        OVERLAPPED where{};
        where.OffsetHigh = 0x40000000;
        if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where)) return true;
        if (GetLastError() == ERROR_LOCK_VIOLATION) return std::nullopt;
        return false;
    };
    if (!lockWithin(tryLock, busy_)) {
        CloseHandle(file);
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
}

FileLock::~FileLock() {
    if (held()) CloseHandle(reinterpret_cast<HANDLE>(handle_));  // closing lets go of the lock
}
#elif defined(__EMSCRIPTEN__)
// In the browser the lock is held across all the game's tabs (the page's Web Locks), and the files
// live in the browser's storage with a copy in memory: taking the lock first brings the copy up to
// date, letting it go stores the copy, so each save builds on the last one made in any tab.
EM_ASYNC_JS(int, pageLockStorage, (const char* name, int waitMs), {
    return await Module.lockStorage(UTF8ToString(name), waitMs);
});
EM_ASYNC_JS(void, pageUnlockStorage, (), { await Module.unlockStorage(); });

FileLock::FileLock(const std::string& path, bool) {
    if (pageLockStorage(path.c_str(), int(std::chrono::milliseconds(kLockWait).count())))
        handle_ = 0;
    else
        busy_ = true;
}

FileLock::~FileLock() {
    if (held()) pageUnlockStorage();
}
#else
FileLock::FileLock(const std::string& path, bool create) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (create ? O_CREAT : 0), 0666);
    if (fd < 0) return;
    const auto tryLock = [fd]() -> std::optional<bool> {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno == EWOULDBLOCK || errno == EINTR) return std::nullopt;
        return false;
    };
    if (!lockWithin(tryLock, busy_)) {
        ::close(fd);
        return;
    }
    handle_ = fd;
}

FileLock::~FileLock() {
    if (held()) ::close(int(handle_));  // closing lets go of the lock
}
#endif

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

}  // namespace platform
