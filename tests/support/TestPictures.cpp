#include "support/TestPictures.h"

#include <cstdio>  // jpeglib.h needs FILE declared first
#include <jpeglib.h>

#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "support/TempFolder.h"

std::string makeTestGif(int w, int h, uint8_t r, uint8_t g, uint8_t b, bool interlaced) {
    if (w < 1 || h < 1 || w > 0xFFFF || h > 0xFFFF) throw std::invalid_argument("bad GIF size");
    std::string out = "GIF89a";
    const auto put16 = [&](int v) { out += char(v & 0xFF), out += char(v >> 8); };
    put16(w), put16(h);
    out += {char(0x91), 0, 0};  // global table of 4 colours, 2 bits per pixel
    // 0: the picture's colour; 1: the transparent one (a different colour, so a decoder that
    // ignored transparency would show it); 2: black, the odd rows of an interlaced one; 3: unused.
    out += {char(r), char(g), char(b), char(r ^ 0xFF), char(g ^ 0xFF), char(b ^ 0xFF), 0, 0, 0, 0, 0, 0};
    out += {0x21, char(0xF9), 4, 1, 0, 0, 1, 0};  // graphic control: index 1 transparent
    out += char(0x2C);
    put16(0), put16(0), put16(w), put16(h);
    out += char(interlaced ? 0x40 : 0);  // no local table

    // The rows in the order they are stored: interlaced ones in four passes.
    std::vector<int> rows;
    constexpr int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < (interlaced ? 4 : 1); ++pass)
        for (int y = interlaced ? start[pass] : 0; y < h; y += interlaced ? step[pass] : 1) rows.push_back(y);

    // Uncompressed LZW in codes of 3 bits, packed from the lowest bit up: a clear code (4) before
    // every second pixel keeps the decoder's table from growing past code 7. 5 ends the data.
    std::string codes;
    unsigned bits = 0, count = 0;
    const auto put = [&](unsigned code) {
        for (bits |= code << count, count += 3; count >= 8; bits >>= 8, count -= 8) codes += char(bits & 0xFF);
    };
    long i = 0;
    for (int y : rows)
        for (int x = 0; x < w; ++x, ++i) {
            if (i % 2 == 0) put(4);
            put(x == 0 && y == 0 ? 1u : interlaced && y % 2 == 1 ? 2u : 0u);
        }
    put(5);
    if (count > 0) codes += char(bits & 0xFF);
    out += char(2);  // minimum code size
    for (size_t at = 0; at < codes.size(); at += 255) out += char(codes.substr(at, 255).size()) + codes.substr(at, 255);  // sub-blocks
    return out + '\0' + char(0x3B);
}

std::string makeTestJpeg(int w, int h, bool manyScans) {
    std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3, 128);  // mid grey
    // libjpeg's default error handler ends the process, which cannot happen with these fixed,
    // valid settings: fine for a test fixture.
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* encoded = nullptr;  // allocated by libjpeg
    unsigned long encodedSize = 0;
    jpeg_mem_dest(&info, &encoded, &encodedSize);
    info.image_width = JDIMENSION(w), info.image_height = JDIMENSION(h);
    info.input_components = 3, info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    // Progressive: the DC coefficients of all components, then each AC coefficient of each
    // component in a scan of its own.
    std::vector<jpeg_scan_info> scans = {{3, {0, 1, 2, 0}, 0, 0, 0, 0}};
    for (int c = 0; c < 3; ++c)
        for (int k = 1; k < 64; ++k) scans.push_back({1, {c, 0, 0, 0}, k, k, 0, 0});
    if (manyScans) info.scan_info = scans.data(), info.num_scans = int(scans.size());
    jpeg_start_compress(&info, TRUE);
    for (JSAMPROW row = rgb.data(); info.next_scanline < info.image_height; row += size_t(w) * 3) jpeg_write_scanlines(&info, &row, 1);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const std::string bytes(reinterpret_cast<const char*>(encoded), encodedSize);
    std::free(encoded);
    return bytes;
}

void writeTestGif(const std::string& path, int w, int h, uint8_t r, uint8_t g, uint8_t b) { writeFile(path, makeTestGif(w, h, r, g, b)); }
void writeTestJpeg(const std::string& path, int w, int h) { writeFile(path, makeTestJpeg(w, h)); }
