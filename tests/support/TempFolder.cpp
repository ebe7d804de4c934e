#include "support/TempFolder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::random_device device;
    while (path_.empty()) {  // a name taken already is drawn again; any other failure throws
        const fs::path candidate = fs::temp_directory_path() / ("kreiselsturm-test-" + std::to_string(device()));
        if (fs::create_directory(candidate)) path_ = candidate.string();
    }
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TempFolder::file(const std::string& name) const {
    return (fs::path(path_) / fs::path(name).make_preferred()).string();
}

std::string TempFolder::write(const std::string& name, std::string_view bytes) const {
    const std::string target = file(name);
    fs::create_directories(fs::path(target).parent_path());
    writeFile(target, bytes);
    return target;
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), std::streamsize(bytes.size())).flush()) throw std::runtime_error("could not write " + path);
}

std::string readFile(const std::string& path, size_t atMost) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes;
    for (std::istreambuf_iterator<char> it(in), end; it != end && bytes.size() < atMost; ++it) bytes += *it;
    return bytes;
}

std::set<std::string> folderTree(const std::string& folder) {
    std::set<std::string> tree;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        const std::u8string name = e.path().lexically_relative(folder).generic_u8string();
        tree.emplace(name.begin(), name.end());
    }
    return tree;
}
