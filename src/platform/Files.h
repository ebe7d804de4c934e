#pragma once
// The program folder and its files. Paths handed in may use backslashes ("\gegner1.gif");
// names are found without regard to case, since the pictures may be spelt either way.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// Our paths are UTF-8 text. These turn them into file-system paths and back; use them rather
// than std::filesystem's own narrow conversions, which on Windows take the ANSI code page and
// so cannot hold a folder like "Spiele\\Kreiselstürm".
std::filesystem::path nativePath(const std::string& utf8);
std::string utf8Path(const std::filesystem::path& path);

// The folder of the running program file, without a trailing separator.
std::string programFolder();
// The running program file's name without folder and without ".exe".
std::string programBaseName();

// folder + relative, every backslash of `relative` turned into the native separator, with
// exactly one separator between them: joinPath("/a/b", "\\gegner1.gif") == "/a/b/gegner1.gif".
// A trailing separator of `relative` is kept; the folder is the system's path as it is (on Linux
// "/a\\b" is a folder named "a\\b").
std::string joinPath(const std::string& folder, const std::string& relative);
// The existing file or folder whose name matches `path` without regard to case (each component
// below the deepest existing prefix is looked up in its folder); `path` itself when none matches.
// Of several names differing only in case the alphabetically first is taken.
std::string resolvePath(const std::string& path);

// Equal but for the case of the ASCII letters, as file names, keys and schemes are compared.
bool sameIgnoringCase(std::string_view a, std::string_view b);

bool fileExists(const std::string& path);    // a plain file, hidden or not
bool folderExists(const std::string& path);
// These raise a forms::RuntimeError naming the path when the operation fails.
void deleteFile(const std::string& path);    // a missing file or a folder is a failure
void makeFolder(const std::string& path);    // missing parents too; an existing folder is fine
void copyFile(const std::string& from, const std::string& to);  // replaces an existing target

// Files that several running copies of the game share.

// The file `path` stands for, its symbolic links followed to the end; where a link points to a
// file that is not there, that missing file.
std::string followLinks(const std::string& path);
// False for a file without any write permission bit: it is read-only for everybody, the
// superuser included, as a file marked read-only is on Windows.
bool writePermitted(const std::string& path);
// Gives the file `copy` the permission bits, owner and group of the file `original`. False when
// owner or group cannot be kept (only the superuser may give a file away).
bool takeOverModeAndOwner(const std::string& original, const std::string& copy);

long processId();
// False only when no process of that number runs.
bool processAlive(long pid);

// Holds an exclusive lock on the file or folder `path` from construction until the object goes,
// waiting at most five seconds while another process holds it: a copy of the game that hangs
// holding it must not freeze this one. Advisory on Linux: only code that asks for the lock waits
// for it. Windows locks files only. Not held when `path` cannot be opened or the wait ran out
// (`busy()`).
class FileLock {
public:
    // `create`: a missing file is made (empty) to be locked.
    FileLock(const std::string& path, bool create);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return handle_ != -1; }
    bool busy() const { return busy_; }

private:
    std::intptr_t handle_ = -1;  // a file descriptor, or a HANDLE on Windows
    bool busy_ = false;
};

}  // namespace platform
