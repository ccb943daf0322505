// platform/image.h: pictures from BMP and TGA files held in memory, as the
// texture loader takes them: decoding into 0xAARRGGBB texels, the colour
// key, resampling to the size the caller asks for and the mip chain. Pure
// functions over their arguments: any thread may call them.
//
// Read: BMP with 1, 4, 8 (palettised), 16, 24 and 32 bits a pixel,
// uncompressed or with bit masks, 4 and 8 bits also run-length encoded,
// bottom-up or top-down; TGA true-colour,
// grey and colour-mapped, uncompressed or run-length encoded, bottom-up or
// top-down. A 32-bit BMP without bit masks has no alpha (its fourth byte is
// padding); 24-bit pictures are opaque. Every size, offset and count in a
// header is checked against the file before a texel is read, so a short
// file or a lying header is refused, never read past its end; so is a
// run-length BMP whose stream ends early or draws outside the picture.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int32_t IMAGE_SIDE_MAX = 8192;

enum ImageResult : int32_t {
    IMAGE_OK = 0,
    IMAGE_TRUNCATED,       // the header or a run-length stream asks for more bytes than the file holds
    IMAGE_BAD_HEADER,      // the header describes no picture: no sides, an unknown depth, a bad offset;
                           // or the pixels break it: an index past the palette, a run off the picture
    IMAGE_TOO_LARGE,       // a side above IMAGE_SIDE_MAX
    IMAGE_UNSUPPORTED,     // a kind of BMP or TGA that is not read (JPEG in a BMP, RLE of 24 bits, ...)
    IMAGE_OUT_OF_MEMORY,
};

enum ImageFileType : int32_t { IMAGE_FILE_BMP = 0, IMAGE_FILE_TGA };

struct Image {
    int32_t width;
    int32_t height;
    uint32_t* pixels;   // width * height texels, 0xAARRGGBB, top row first; freed by imageFree
};

// BMP when the bytes start with "BM", else TGA (which has no signature).
ImageFileType imageFileType(const uint8_t* data, size_t size);
// On success *out holds a new picture of the file's own size; on failure
// it is empty.
ImageResult imageDecode(const uint8_t* data, size_t size, ImageFileType type, Image* out);
void imageFree(Image* image);

// Every texel exactly equal to key becomes transparent black (0x00000000).
// A key of 0 therefore changes nothing.
void imageApplyColorKey(Image* image, uint32_t key);

// Resamples to width x height, each axis on its own: a shrinking axis
// averages the source texels each new texel covers, weighted by how much of
// each it covers (a box filter, so halving averages pairs); a growing axis
// interpolates linearly between the two nearest source texel centres, edges
// clamped. Channels are filtered separately, alpha unweighted, and rounded
// to nearest. On failure the picture is unchanged.
ImageResult imageResize(Image* image, int32_t width, int32_t height);
// The next level of a mip chain: half each side, at least 1, box filtered.
ImageResult imageNextMipLevel(Image* image);
