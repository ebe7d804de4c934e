#pragma once
// Small pictures made on the spot, so tests never need picture files from elsewhere.
#include <cstdint>
#include <string>

// A GIF89a of w x h pixels in the colour (r, g, b), whose top-left pixel is transparent.
// Interlaced, its odd rows are black, so rows put in the wrong place show.
std::string makeTestGif(int w, int h, uint8_t r, uint8_t g, uint8_t b, bool interlaced = false);
void writeTestGif(const std::string& path, int w, int h, uint8_t r, uint8_t g, uint8_t b);

// A JPEG of w x h mid grey pixels, encoded with libjpeg; with manyScans a
// progressive one of 190 scans, far more than any ordinary picture has.
std::string makeTestJpeg(int w, int h, bool manyScans = false);
void writeTestJpeg(const std::string& path, int w, int h);
