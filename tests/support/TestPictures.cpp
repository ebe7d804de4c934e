#include "support/TestPictures.h"

#include <cstdio>  // jpeglib.h needs FILE declared first
#include <jpeglib.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace {

void put16(std::vector<uint8_t>& out, int v) {
    out.push_back(uint8_t(v & 0xFF));
    out.push_back(uint8_t((v >> 8) & 0xFF));
}

// LZW codes of 3 bits, packed from the lowest bit up, in sub-blocks of at most 255 bytes.
class CodeWriter {
public:
    void put(unsigned code) {
        bits_ |= code << count_;
        count_ += 3;
        while (count_ >= 8) {
            bytes_.push_back(uint8_t(bits_ & 0xFF));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    void finish(std::vector<uint8_t>& out) {
        if (count_ > 0) bytes_.push_back(uint8_t(bits_ & 0xFF));
        for (size_t at = 0; at < bytes_.size(); at += 255) {
            const size_t n = std::min<size_t>(255, bytes_.size() - at);
            out.push_back(uint8_t(n));
            out.insert(out.end(), bytes_.begin() + long(at), bytes_.begin() + long(at + n));
        }
        out.push_back(0);
    }

private:
    unsigned bits_ = 0;
    int count_ = 0;
    std::vector<uint8_t> bytes_;
};

}  // namespace

std::vector<uint8_t> makeTestGif(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    if (w < 1 || h < 1 || w > 0xFFFF || h > 0xFFFF) throw std::invalid_argument("bad GIF size");
    std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    put16(out, w);
    put16(out, h);
    out.insert(out.end(), {0x91, 0, 0});  // global table of 4 colours, 2 bits per pixel
    // 0: the picture's colour; 1: the transparent one (a different colour, so a decoder that
    // ignored transparency would show it); 2, 3: unused.
    out.insert(out.end(), {r, g, b, uint8_t(r ^ 0xFF), uint8_t(g ^ 0xFF), uint8_t(b ^ 0xFF), 0, 0, 0, 0, 0, 0});
    out.insert(out.end(), {0x21, 0xF9, 4, 0x01, 0, 0, 1, 0});  // graphic control: index 1 transparent
    out.push_back(0x2C);
    put16(out, 0);
    put16(out, 0);
    put16(out, w);
    put16(out, h);
    out.push_back(0);  // no local table, not interlaced

    // Uncompressed LZW: a clear code before every second pixel keeps the code width at 3 bits,
    // since the decoder's table then never grows past code 7.
    constexpr unsigned clear = 4, end = 5;
    out.push_back(2);  // minimum code size
    CodeWriter codes;
    const long pixels = long(w) * long(h);
    for (long i = 0; i < pixels; ++i) {
        if (i % 2 == 0) codes.put(clear);
        codes.put(i == 0 ? 1u : 0u);
    }
    codes.put(end);
    codes.finish(out);
    out.push_back(0x3B);
    return out;
}

void writeTestGif(const std::string& path, int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    const std::vector<uint8_t> bytes = makeTestGif(w, h, r, g, b);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file.flush()) throw std::runtime_error("could not write " + path);
}

void writeTestJpeg(const std::string& path, int w, int h) {
    std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = rgb.data() + (size_t(y) * size_t(w) + size_t(x)) * 3;
            p[0] = uint8_t(255 * x / (w > 1 ? w - 1 : 1));
            p[1] = uint8_t(255 * y / (h > 1 ? h - 1 : 1));
            p[2] = 128;
        }
    // Encoding cannot fail on valid arguments but for a file error, which the flush below sees;
    // libjpeg's default handler would end the process on anything else, fine for a test fixture.
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* encoded = nullptr;
    unsigned long encodedSize = 0;
    jpeg_mem_dest(&info, &encoded, &encodedSize);
    info.image_width = JDIMENSION(w);
    info.image_height = JDIMENSION(h);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = rgb.data() + size_t(info.next_scanline) * size_t(w) * 3;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(encoded), std::streamsize(encodedSize));
    std::free(encoded);
    if (!file.flush()) throw std::runtime_error("could not write " + path);
}
