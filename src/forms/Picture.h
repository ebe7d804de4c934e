#pragma once
// A decoded picture: 32-bit RGBA pixels, row by row. Transparent GIF pixels have alpha 0.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace forms {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // bytes in memory: R, G, B, A
    std::string path;              // where it was loaded from, for messages and tests
};

using PictureRef = std::shared_ptr<const Picture>;

}  // namespace forms
