#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "platform/PictureDecoders.h"

namespace platform {

namespace {

struct Reader {
    const unsigned char* bytes;
    size_t size;
    size_t at = 0;
};

// giflib's input callback: hands out the next bytes of the buffer, fewer at its end.
int readBytes(GifFileType* gif, GifByteType* out, int wanted) {
    auto* reader = static_cast<Reader*>(gif->UserData);
    const size_t n = std::min(size_t(wanted < 0 ? 0 : wanted), reader->size - reader->at);
    std::memcpy(out, reader->bytes + reader->at, n);
    reader->at += n;
    return int(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

// Reads the lines of the current frame, putting interlaced ones (rows 0, 8, 16.., then 4, 12..,
// then 2, 6.., then 1, 3..) in their places.
bool readRows(GifFileType* gif, std::vector<GifPixelType>& indices, int width, int height) {
    const auto row = [&](int y) { return indices.data() + size_t(y) * size_t(width); };
    if (!gif->Image.Interlace) {
        for (int y = 0; y < height; ++y)
            if (DGifGetLine(gif, row(y), width) != GIF_OK) return false;
        return true;
    }
    constexpr int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            if (DGifGetLine(gif, row(y), width) != GIF_OK) return false;
    return true;
}

}  // namespace

forms::Picture decodeGif(const unsigned char* bytes, size_t size) {
    Reader reader{bytes, size};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&reader, readBytes, &error));
    if (!gif) throw damagedPicture();

    int transparent = -1;
    for (;;) {
        GifRecordType record;
        if (DGifGetRecordType(gif.get(), &record) != GIF_OK) throw damagedPicture();
        if (record == TERMINATE_RECORD_TYPE) throw damagedPicture();  // no frame at all
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) != GIF_OK) throw damagedPicture();
            GraphicsControlBlock control;
            if (code == GRAPHICS_EXT_FUNC_CODE && block &&
                DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                transparent = control.TransparentColor;
            while (block)
                if (DGifGetExtensionNext(gif.get(), &block) != GIF_OK) throw damagedPicture();
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE) throw damagedPicture();
        break;
    }

    // The first frame is the picture; the rest of the file is never read.
    if (DGifGetImageDesc(gif.get()) != GIF_OK) throw damagedPicture();
    const int width = gif->Image.Width, height = gif->Image.Height;
    if (width <= 0 || height <= 0) throw damagedPicture();
    if (width > MaxPictureSide || height > MaxPictureSide) throw oversizedPicture(width, height);
    const ColorMapObject* map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
    if (!map) throw damagedPicture();

    // An index past the colour table shows white, as an unset palette entry always has.
    std::array<std::array<uint8_t, 4>, 256> colours;
    colours.fill({255, 255, 255, 255});
    for (int i = 0; i < std::min(map->ColorCount, 256); ++i)
        colours[size_t(i)] = {map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue, 255};
    if (transparent >= 0 && transparent < 256) colours[size_t(transparent)][3] = 0;

    std::vector<GifPixelType> indices(size_t(width) * size_t(height));
    if (!readRows(gif.get(), indices, width, height)) throw damagedPicture();

    forms::Picture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(indices.size());
    for (size_t i = 0; i < indices.size(); ++i) std::memcpy(&picture.pixels[i], colours[indices[i]].data(), 4);
    return picture;
}

}  // namespace platform
