#pragma once
// Small pictures made on the spot, so tests never need picture files from elsewhere.
#include <cstdint>
#include <string>
#include <vector>

// A GIF89a of w x h pixels in the colour (r, g, b), whose top-left pixel is transparent.
std::vector<uint8_t> makeTestGif(int w, int h, uint8_t r, uint8_t g, uint8_t b);
void writeTestGif(const std::string& path, int w, int h, uint8_t r, uint8_t g, uint8_t b);

// A JPEG of w x h pixels with a soft colour gradient, encoded with libjpeg.
void writeTestJpeg(const std::string& path, int w, int h);
