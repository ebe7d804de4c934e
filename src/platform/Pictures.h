#pragma once
#include <cstddef>
#include <string>

#include "forms/Picture.h"

namespace platform {

// Decodes a GIF or JPEG file (names matched without regard to case) into RGBA; a GIF's
// transparent colour gets alpha 0. Decoded pictures are cached by path, modification time and
// length, checked against the file on every call, so a changed file is decoded again. A missing
// or undecodable file raises a forms::RuntimeError that names the file, cache or not:
// "Die Bilddatei '<path>' wurde nicht gefunden." / "... kann nicht gelesen werden."
forms::PictureRef loadPicture(const std::string& path);

// Decodes a picture held in the program (the window icon).
forms::PictureRef decodePicture(const unsigned char* bytes, size_t size, const std::string& name);

}  // namespace platform
