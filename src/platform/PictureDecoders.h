#pragma once
// The two picture decoders behind loadPicture: GIF with giflib, JPEG with libjpeg-turbo. Both
// take the file's bytes, refuse a picture larger than MaxPictureSide on either side before
// allocating its pixels, and throw BadPicture (never crash) on damaged data. Plain C libraries
// and standard C++ only, so every platform's build carries them unchanged.
#include <cstddef>
#include <stdexcept>
#include <string>

#include "forms/Picture.h"

namespace platform {

inline constexpr int MaxPictureSide = 8192;

// Why a picture cannot be shown; what() completes "Die Bilddatei '<path>' ...".
class BadPicture : public std::runtime_error {
public:
    explicit BadPicture(const std::string& reason) : std::runtime_error(reason) {}
};

// The reasons, one wording each.
BadPicture damagedPicture();
BadPicture oversizedPicture(long width, long height);

// The first frame of a GIF; the Graphics Control Extension's transparent colour gets alpha 0.
forms::Picture decodeGif(const unsigned char* bytes, size_t size);
// A baseline or progressive JPEG (colour or grey), opaque.
forms::Picture decodeJpeg(const unsigned char* bytes, size_t size);

}  // namespace platform
