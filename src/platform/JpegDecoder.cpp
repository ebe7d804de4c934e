#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE declared first

#include <jpeglib.h>

#include "platform/PictureDecoders.h"

namespace platform {

namespace {

// Ordinary progressive files have about ten scans; a damaged one could ask for nearly endless
// work, each scan a pass over the whole picture.
constexpr int MaxScans = 100;

// libjpeg reports a fatal error by calling error_exit, whose default ends the process. Ours
// jumps back into decode(), the only place that may continue after it.
struct ErrorJump {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void jumpBack(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->jump, 1); }
void stayQuiet(j_common_ptr) {}  // warnings (e.g. a file cut short) are not worth a message

void limitScans(j_common_ptr info) {
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > MaxScans) jumpBack(info);
}

struct Job {
    jpeg_decompress_struct info{};
    ErrorJump error{};
    jpeg_progress_mgr progress{};
    forms::Picture picture;
    bool oversized = false;
};

// Everything that can reach error_exit happens here and touches only `job`, which lives outside
// this frame, so the jump leaves nothing behind that a destructor should have cleaned up.
bool decode(Job& job, const unsigned char* bytes, size_t size) {
    if (setjmp(job.error.jump)) return false;
    jpeg_decompress_struct& info = job.info;
    jpeg_create_decompress(&info);
    job.progress.progress_monitor = limitScans;
    info.progress = &job.progress;
    jpeg_mem_src(&info, bytes, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    if (info.image_width > unsigned(MaxPictureSide) || info.image_height > unsigned(MaxPictureSide)) {
        job.oversized = true;
        return false;
    }
    info.out_color_space = JCS_EXT_RGBA;  // alpha 255, bytes R, G, B, A as forms::Picture has them
    jpeg_start_decompress(&info);
    job.picture.width = int(info.output_width);
    job.picture.height = int(info.output_height);
    job.picture.pixels.resize(size_t(info.output_width) * size_t(info.output_height));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(job.picture.pixels.data() + size_t(info.output_scanline) * info.output_width);
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

struct Destroyer {
    jpeg_decompress_struct& info;
    ~Destroyer() { jpeg_destroy_decompress(&info); }
};

}  // namespace

forms::Picture decodeJpeg(const unsigned char* bytes, size_t size) {
    Job job;
    job.info.err = jpeg_std_error(&job.error.manager);
    job.error.manager.error_exit = jumpBack;
    job.error.manager.output_message = stayQuiet;
    Destroyer destroyer{job.info};  // safe on a decoder never created: it checks for that

    if (!decode(job, bytes, size)) {
        if (job.oversized) throw oversizedPicture(long(job.info.image_width), long(job.info.image_height));
        throw damagedPicture();
    }
    return std::move(job.picture);
}

}  // namespace platform
