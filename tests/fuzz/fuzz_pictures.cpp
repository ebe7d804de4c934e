// Picture decoding over any bytes, as a picture file of the program folder would hold them:
// either a picture within the size cap with all its pixels, or the runtime's error.
#include <cstddef>
#include <cstdint>

#include "Check.h"
#include "forms/Errors.h"
#include "platform/PictureDecoders.h"
#include "platform/Pictures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const forms::PictureRef picture = platform::decodePicture(data, size, "gegner1.gif");
        FUZZ_CHECK(picture->width >= 1 && picture->width <= platform::MaxPictureSide);
        FUZZ_CHECK(picture->height >= 1 && picture->height <= platform::MaxPictureSide);
        FUZZ_CHECK(picture->pixels.size() == size_t(picture->width) * size_t(picture->height));
    } catch (const forms::RuntimeError&) {
        // The message box naming the file, then a non-zero status: the sound end for bad bytes.
    }
    return 0;
}
