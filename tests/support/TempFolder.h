#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes. Tests use it as a program folder of their own.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, without a trailing separator.
    const std::string& path() const { return path_; }
    // path() + separator + name ('/' in `name` separates sub-folders).
    std::string file(const std::string& name) const;
    // Writes `bytes` to the file `name`, making missing sub-folders; returns its full path.
    std::string write(const std::string& name, std::string_view bytes) const;
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const;

private:
    std::string path_;
};
