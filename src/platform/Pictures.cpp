#include "platform/Pictures.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "forms/Errors.h"
#include "platform/Files.h"
#include "platform/PictureDecoders.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

// Far above any picture within MaxPictureSide, so a huge file is refused before it is read.
constexpr std::uintmax_t MaxPictureFileSize = 256u << 20;

struct CacheEntry {
    fs::file_time_type modified;
    std::uintmax_t size = 0;
    forms::PictureRef picture;
};

bool startsWith(const unsigned char* bytes, size_t size, std::string_view magic) {
    return size >= magic.size() && std::equal(magic.begin(), magic.end(), bytes,
                                              [](char m, unsigned char b) { return static_cast<unsigned char>(m) == b; });
}

// The content decides, not the name: GIF and JPEG only, whatever else the bytes might be.
forms::Picture decodeBytes(const unsigned char* bytes, size_t size) {
    if (startsWith(bytes, size, "GIF87a") || startsWith(bytes, size, "GIF89a")) return decodeGif(bytes, size);
    if (startsWith(bytes, size, "\xFF\xD8\xFF")) return decodeJpeg(bytes, size);
    throw BadPicture("ist kein GIF- oder JPEG-Bild.");
}

std::vector<unsigned char> readWhole(const std::string& file, std::uintmax_t size) {
    std::vector<unsigned char> bytes(size);
    std::ifstream in(file, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size))) throw damagedPicture();
    return bytes;
}

}  // namespace

BadPicture damagedPicture() { return BadPicture("kann nicht gelesen werden."); }

BadPicture oversizedPicture(long width, long height) {
    return BadPicture("ist zu groß (" + std::to_string(width) + " × " + std::to_string(height) +
                      " Bildpunkte, höchstens " + std::to_string(MaxPictureSide) + " × " +
                      std::to_string(MaxPictureSide) + ").");
}

forms::PictureRef loadPicture(const std::string& path) {
    static std::unordered_map<std::string, CacheEntry> cache;

    const std::string file = resolvePath(path);
    std::error_code ec;
    const bool present = fs::is_regular_file(file, ec);
    const fs::file_time_type modified = present ? fs::last_write_time(file, ec) : fs::file_time_type{};
    const std::uintmax_t size = present && !ec ? fs::file_size(file, ec) : 0;

    if (!present || ec) {
        cache.erase(file);
        throw forms::RuntimeError("Die Bilddatei '" + path + "' wurde nicht gefunden.");
    }
    if (auto hit = cache.find(file);
        hit != cache.end() && hit->second.modified == modified && hit->second.size == size)
        return hit->second.picture;

    cache.erase(file);
    auto picture = std::make_shared<forms::Picture>();
    try {
        if (size > MaxPictureFileSize) throw BadPicture("ist zu groß (" + std::to_string(size) + " Bytes).");
        const std::vector<unsigned char> bytes = readWhole(file, size);
        *picture = decodeBytes(bytes.data(), bytes.size());
    } catch (const BadPicture& e) {
        throw forms::RuntimeError("Die Bilddatei '" + path + "' " + e.what());
    }
    picture->path = file;
    cache[file] = CacheEntry{modified, size, picture};
    return picture;
}

forms::PictureRef decodePicture(const unsigned char* bytes, size_t size, const std::string& name) {
    auto picture = std::make_shared<forms::Picture>();
    try {
        *picture = decodeBytes(bytes, size);
    } catch (const BadPicture& e) {
        throw forms::RuntimeError("Das Bild '" + name + "' " + e.what());
    }
    picture->path = name;
    return picture;
}

}  // namespace platform
