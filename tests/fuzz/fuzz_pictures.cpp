// Picture decoding over any bytes, as a picture file of the program folder would hold them:
// either a picture within the size cap with all its pixels, or the runtime's error.
#include "Check.h"
#include "forms/Errors.h"
#include "platform/PictureDecoders.h"
#include "platform/Pictures.h"

FUZZ_TARGET(bytes) {
    try {
        const auto picture = platform::decodePicture(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "gegner1.gif");
        FUZZ_CHECK(picture->width >= 1 && picture->width <= platform::MaxPictureSide);
        FUZZ_CHECK(picture->height >= 1 && picture->height <= platform::MaxPictureSide);
        FUZZ_CHECK(picture->pixels.size() == size_t(picture->width) * size_t(picture->height));
    } catch (const forms::RuntimeError&) {
        // The message box naming the file, then a non-zero status: the sound end for bad bytes.
    }
}
