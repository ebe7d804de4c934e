#pragma once
#include <cstddef>
#include <string>

#include "forms/Picture.h"

namespace platform {

// Decodes a GIF or JPEG file (names matched without regard to case) into RGBA; a GIF's
// transparent colour gets alpha 0. The content decides the format, never the name; nothing but
// GIF and JPEG is decoded, and a picture over 8192 pixels on a side is refused before its pixels
// are allocated. Decoded pictures are cached by path, modification time and length, checked
// against the file on every call, so a changed file is decoded again. A missing, damaged,
// oversized or foreign file raises a forms::RuntimeError that names the file, cache or not:
// "Die Bilddatei '<path>' wurde nicht gefunden." / "... kann nicht gelesen werden." /
// "... ist zu groß (...)." / "... ist kein GIF- oder JPEG-Bild."
forms::PictureRef loadPicture(const std::string& path);

// The same for a picture in memory (the window icon); errors say "Das Bild '<name>' ...".
forms::PictureRef decodePicture(const unsigned char* bytes, size_t size, const std::string& name);

}  // namespace platform
