#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes: a program folder of the test's own. Beside it, the file helpers tests share.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }  // without a trailing separator
    // path() + separator + name ('/' in `name` separates sub-folders).
    std::string file(const std::string& name) const;
    // Writes `bytes` to the file `name`, making missing sub-folders; returns its full path.
    std::string write(const std::string& name, std::string_view bytes) const;

private:
    std::string path_;
};

void writeFile(const std::string& path, std::string_view bytes);  // exactly these bytes
std::string readFile(const std::string& path, size_t atMost = SIZE_MAX);  // nothing when unreadable
// Every file and folder below `folder`, relative to it in UTF-8 with '/' between folders.
std::set<std::string> folderTree(const std::string& folder);
