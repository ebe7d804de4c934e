#include "platform/Script.h"

#include <cerrno>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <iterator>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "platform/Files.h"

namespace platform {

namespace {

// A name the script may touch: a file of the working folder, nothing else.
bool plainName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F || c == '/' || c == '\\' || c == ':' || c == '"') return false;
    return true;
}

std::string shellQuoted(const std::string& name) {
    std::string out = "'./";
    for (char c : name) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}

bool startsWithWord(const std::string& line, const std::string& word, std::string& rest) {
    if (line.size() < word.size() || !sameIgnoringCase(std::string_view(line).substr(0, word.size()), word)) return false;
    rest = line.substr(word.size());
    return true;
}

// `"` + `.\` + name + `"` at the start of `text`; the name and what follows.
bool quotedLocalName(const std::string& text, std::string& name, std::string& after) {
    if (text.rfind("\".\\", 0) != 0) return false;
    const size_t close = text.find('"', 3);
    if (close == std::string::npos) return false;
    name = text.substr(3, close - 3);
    after = text.substr(close + 1);
    return plainName(name);
}

std::optional<std::string> commandFor(const std::string& line) {
    std::string rest, name, after;
    if (startsWithWord(line, "del ", rest)) {
        if (!quotedLocalName(rest, name, after) || !after.empty()) return std::nullopt;
        return "rm -f -- " + shellQuoted(name);
    }
    if (startsWithWord(line, "ren ", rest)) {
        if (!quotedLocalName(rest, name, after) || after.size() < 2 || after[0] != ' ') return std::nullopt;
        const std::string to = after.substr(1);
        if (!plainName(to)) return std::nullopt;
        return "mv -f -- " + shellQuoted(name) + " " + shellQuoted(to) + " && chmod +x -- " + shellQuoted(to);
    }
    if (startsWithWord(line, "start .\\", rest)) {
        if (!plainName(rest)) return std::nullopt;
        return "exec " + shellQuoted(rest);
    }
    return std::nullopt;
}

}  // namespace

// The loop's body spans lines: on one line Wine's cmd ends a for body at "&" and misreads
// "(a & b)" there, where Windows' cmd does not.
std::string waitUntilDeletable(const std::string& program) {
    const std::string file = "\".\\" + program + "\"";
    return "for /l %%i in (1,1,30) do (\r\n"
           "if exist " + file + " del " + file + " 2>nul\r\n"
           "if exist " + file + " ping -n 2 127.0.0.1 >nul\r\n"
           ")\r\n"
           "if exist " + file + " exit /b 1\r\n";
}

std::optional<std::string> shellCommandsFor(const std::string& scriptText) {
    std::string commands;
    size_t start = 0;
    while (start < scriptText.size()) {
        size_t end = scriptText.find('\n', start);
        if (end == std::string::npos) end = scriptText.size();
        std::string line = scriptText.substr(start, end - start);
        std::string rest, name, after;
        // The wait: this launcher runs the lines only once the program has ended, and a
        // program file is deleted here even while it runs.
        if (startsWithWord(line, "for /l ", rest)) {
            const size_t quote = scriptText.find("\".\\", end);
            if (quote == std::string::npos || !quotedLocalName(scriptText.substr(quote), name, after)) return std::nullopt;
            const std::string wait = waitUntilDeletable(name);
            if (scriptText.compare(start, wait.size(), wait) != 0) return std::nullopt;
            commands += "rm -f -- " + shellQuoted(name) + " || exit 1\n";
            start += wait.size();
            continue;
        }
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::optional<std::string> command = commandFor(line);
        if (!command) return std::nullopt;
        commands += *command + "\n";
    }
    if (commands.empty()) return std::nullopt;
    return commands;
}

namespace {

bool startsWith(const std::string& path, std::initializer_list<std::string_view> heads) {
    std::ifstream in(nativePath(resolvePath(path)), std::ios::binary);
    char buffer[4] = {};
    in.read(buffer, sizeof buffer);
    const std::string_view start(buffer, size_t(in.gcount()));
    for (std::string_view head : heads)
        if (start.starts_with(head)) return true;
    return false;
}

}  // namespace

#ifdef _WIN32

std::string executableSuffix() { return ".exe"; }

bool looksLikeProgram(const std::string& path) { return startsWith(path, {"MZ"}); }

void startUpdateScript(const std::string& folder, const std::string& scriptName) {
    // The wide call: the folder's name may hold letters the ANSI code page lacks.
    const std::wstring parameters = nativePath("/c \"" + scriptName + "\"").wstring();
    ShellExecuteW(nullptr, L"open", L"cmd.exe", parameters.c_str(), nativePath(folder).c_str(), SW_SHOWMINIMIZED);
}

#else

std::string executableSuffix() { return ""; }

bool looksLikeProgram(const std::string& path) { return startsWith(path, {"\x7F" "ELF", "#!"}); }

namespace {

// Runs in the launcher after fork: only async-signal-safe calls from here on.
[[noreturn]] void runWhenParentHasEnded(int parentGone, const char* folder, const char* commands) {
    // The write end stays open in the program until it has ended; then the read sees EOF.
    // Give up if the program has not ended within a minute rather than swap a running program.
    for (;;) {
        pollfd p{parentGone, POLLIN, 0};
        const int ready = poll(&p, 1, 60000);
        if (ready == 0) _exit(1);
        if (ready < 0) {
            if (errno == EINTR) continue;
            _exit(1);
        }
        char byte;
        const ssize_t n = read(parentGone, &byte, 1);
        if (n == 0) break;
        if (n < 0 && errno != EINTR) _exit(1);
    }
#ifdef __linux__
    close_range(3, ~0U, 0);
#else
    for (int fd = 3; fd < 1024; ++fd) close(fd);
#endif
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        if (null > 2) close(null);
    }
    sigset_t all;
    sigemptyset(&all);
    sigprocmask(SIG_SETMASK, &all, nullptr);
    for (int s = 1; s < NSIG; ++s) signal(s, SIG_DFL);
    if (chdir(folder) != 0) _exit(1);
    execl("/bin/sh", "sh", "-c", commands, static_cast<char*>(nullptr));
    _exit(127);
}

}  // namespace

void startUpdateScript(const std::string& folder, const std::string& scriptName) {
    // Everything that allocates happens before the fork.
    std::ifstream in(resolvePath(joinPath(folder, scriptName)), std::ios::binary);
    std::string text;
    if (in) {
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::optional<std::string> commands = in ? shellCommandsFor(text) : std::nullopt;
    if (!commands) {
        std::cerr << "Kreiselsturm: das Update-Skript '" << scriptName << "' wurde nicht ausgeführt.\n";
        return;
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return;
    }
    if (child == 0) {
        setsid();
        if (fork() != 0) _exit(0);  // the launcher is orphaned and needs no one to reap it
        close(fds[1]);
        runWhenParentHasEnded(fds[0], folder.c_str(), commands->c_str());
    }
    close(fds[0]);
    // fds[1] stays open on purpose until this process has ended.
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
}

#endif

}  // namespace platform
