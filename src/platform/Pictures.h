#pragma once
#include <string>

#include "forms/Picture.h"

namespace platform {

// Decodes a GIF or JPEG file (names matched without regard to case). Decoded pictures are
// cached by path and modification time. A missing or undecodable file raises a
// forms::RuntimeError that names the file, cache or not.
forms::PictureRef loadPicture(const std::string& path);

}  // namespace platform
