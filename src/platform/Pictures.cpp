#include "platform/Pictures.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <unordered_map>

#include "forms/Errors.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

struct CacheEntry {
    fs::file_time_type modified;
    std::uintmax_t size = 0;
    forms::PictureRef picture;
};

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Decodes a picture file's bytes; nullptr when SDL_image cannot make sense of them.
std::shared_ptr<forms::Picture> decode(SDL_RWops* bytes, const std::string& file) {
    SurfacePtr loaded(bytes ? IMG_Load_RW(bytes, 1) : nullptr);
    if (!loaded) return nullptr;
    // RGBA32 turns the colour key of a transparent GIF into alpha 0 and gives JPEGs alpha 255.
    SurfacePtr rgba(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0));
    if (!rgba || rgba->w <= 0 || rgba->h <= 0) return nullptr;

    auto picture = std::make_shared<forms::Picture>();
    picture->width = rgba->w;
    picture->height = rgba->h;
    picture->path = file;
    picture->pixels.resize(size_t(rgba->w) * size_t(rgba->h));
    if (SDL_MUSTLOCK(rgba.get()) && SDL_LockSurface(rgba.get()) != 0) return nullptr;
    const auto* source = static_cast<const unsigned char*>(rgba->pixels);
    for (int y = 0; y < rgba->h; ++y)
        std::memcpy(picture->pixels.data() + size_t(y) * size_t(rgba->w),
                    source + size_t(y) * size_t(rgba->pitch), size_t(rgba->w) * 4);
    if (SDL_MUSTLOCK(rgba.get())) SDL_UnlockSurface(rgba.get());
    return picture;
}

}  // namespace

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
    std::shared_ptr<forms::Picture> picture = decode(SDL_RWFromFile(file.c_str(), "rb"), file);
    if (!picture) throw forms::RuntimeError("Die Bilddatei '" + path + "' kann nicht gelesen werden.");
    cache[file] = CacheEntry{modified, size, picture};
    return picture;
}

forms::PictureRef decodePicture(const unsigned char* bytes, size_t size, const std::string& name) {
    std::shared_ptr<forms::Picture> picture = decode(SDL_RWFromConstMem(bytes, static_cast<int>(size)), name);
    if (!picture) throw forms::RuntimeError("Das Bild '" + name + "' kann nicht gelesen werden.");
    return picture;
}

}  // namespace platform
