// Arbitrary bytes as a BMP and as a TGA picture. The input has nothing behind
// it, so any read past its end is caught; a picture that decodes must have
// sides within the cap and texels that can all be read, keyed, resampled and
// halved down to one texel.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "platform/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (ImageFileType type : {IMAGE_FILE_BMP, IMAGE_FILE_TGA}) {
        Image image;
        if (imageDecode(data, size, type, &image) != IMAGE_OK) {
            if (image.pixels || image.width != 0 || image.height != 0) __builtin_trap();
            continue;
        }
        if (image.width < 1 || image.height < 1 || image.width > IMAGE_SIDE_MAX || image.height > IMAGE_SIDE_MAX)
            __builtin_trap();
        volatile uint32_t sink = 0;
        for (size_t i = 0, count = (size_t)image.width * (size_t)image.height; i < count; ++i)
            sink = sink + image.pixels[i];
        imageApplyColorKey(&image, 0xFF00FF00);
        int32_t width = 1 + (int32_t)(size % 9);
        int32_t height = 1 + (int32_t)(size % 7);
        if (imageResize(&image, width, height) == IMAGE_OK) {
            if (image.width != width || image.height != height) __builtin_trap();
            while (image.width > 1 || image.height > 1)
                if (imageNextMipLevel(&image) != IMAGE_OK) __builtin_trap();
        }
        imageFree(&image);
    }
    return 0;
}
