// platform/image.cpp: BMP and TGA decoding through stb_image, behind our own
// header checks (stb reads zeros past the end of a short buffer instead of
// failing, and sizes its output from the header); run-length BMPs, which stb
// does not read, and truecolor TGAs, the common case stb reads byte by byte,
// by hand; then the colour key and the resampler.
#include "platform/image.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS IMAGE_SIDE_MAX
#define STBI_MALLOC malloc
#define STBI_REALLOC realloc
#define STBI_FREE free
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

static uint32_t read16(const uint8_t* at) { return (uint32_t)at[0] | (uint32_t)at[1] << 8; }
static uint32_t read32(const uint8_t* at) { return read16(at) | read16(at + 2) << 16; }

static ImageResult checkSides(int64_t width, int64_t height) {
    if (width < 1 || height < 1) return IMAGE_BAD_HEADER;
    if (width > IMAGE_SIDE_MAX || height > IMAGE_SIDE_MAX) return IMAGE_TOO_LARGE;
    return IMAGE_OK;
}

// Palette indices past the palette would read colours the file never gave.
static bool indicesInPalette(const uint8_t* pixels, int64_t stride, int64_t width, int64_t height, uint32_t bits,
                             int64_t paletteSize) {
    uint32_t mask = (1u << bits) - 1;
    for (int64_t row = 0; row < height; ++row, pixels += stride)
        for (int64_t x = 0; x < width; ++x) {
            int64_t bit = x * bits;
            uint32_t index = (uint32_t)(pixels[bit / 8] >> (8 - bits - bit % 8)) & mask;
            if (index >= paletteSize) return false;
        }
    return true;
}

// Compression codes of the BMP header.
constexpr uint32_t BMP_RLE8 = 1;
constexpr uint32_t BMP_RLE4 = 2;
constexpr uint32_t BMP_BITFIELDS = 3;

// What decoding a run-length BMP needs, as checkBmp found it.
struct BmpRleLayout {
    int64_t width;
    int64_t height;
    bool topDown;
    uint32_t bits;   // 4 or 8; 0 for a BMP that is not run-length encoded
    int64_t offset;
    int64_t paletteAt;
    int64_t paletteSize;
};

// Walks a run-length stream of 4- or 8-bit palette indices, each run, delta
// and absolute run checked against the picture and the input before it is
// taken. Rows come in file order (bottom-up unless topDown), so a delta
// moves right and on in that order. Runs that go past the row's end are cut
// there: common writers give a row's padding indices of its own, and those
// are dropped (an index past the palette still refuses the picture). The
// stream must end with end-of-bitmap.
// With texels (width * height, zeroed, top row first) it also writes the
// index of every texel the stream sets; without, it only checks.
static ImageResult walkBmpRle(const uint8_t* at, const uint8_t* end, const BmpRleLayout& bmp, uint32_t* texels) {
    int64_t x = 0;
    int64_t y = 0;
    auto put = [&](uint32_t index) {
        if (x >= bmp.width) return;
        if (texels) texels[(bmp.topDown ? y : bmp.height - 1 - y) * bmp.width + x] = index;
        ++x;
    };
    for (;;) {
        if (end - at < 2) return IMAGE_TRUNCATED;
        int64_t count = at[0];
        uint32_t value = at[1];
        at += 2;
        if (count > 0) {
            // count texels of one index; with 4 bits, of the byte's two taking turns.
            if (y >= bmp.height) return IMAGE_BAD_HEADER;
            uint32_t indices[2] = {bmp.bits == 8 ? value : value >> 4, bmp.bits == 8 ? value : value & 0xF};
            if (indices[0] >= bmp.paletteSize || (count > 1 && indices[1] >= bmp.paletteSize)) return IMAGE_BAD_HEADER;
            for (int64_t i = 0; i < count; ++i) put(indices[i % 2]);
            continue;
        }
        if (value == 0) {   // end of line
            if (y >= bmp.height) return IMAGE_BAD_HEADER;
            x = 0;
            ++y;
            continue;
        }
        if (value == 1) return IMAGE_OK;   // end of bitmap
        if (value == 2) {   // delta: dx right, dy rows on
            if (end - at < 2) return IMAGE_TRUNCATED;
            int64_t dx = at[0];
            int64_t dy = at[1];
            at += 2;
            if (x + dx > bmp.width || y + dy >= bmp.height) return IMAGE_BAD_HEADER;
            x += dx;
            y += dy;
            continue;
        }
        // Absolute: value indices as they are, their bytes padded to an even count.
        int64_t bytes = bmp.bits == 8 ? value : (value + 1) / 2;
        if (end - at < bytes + bytes % 2) return IMAGE_TRUNCATED;
        if (y >= bmp.height) return IMAGE_BAD_HEADER;
        for (uint32_t i = 0; i < value; ++i) {
            uint32_t index = bmp.bits == 8 ? at[i] : (uint32_t)(at[i / 2] >> (i % 2 ? 0 : 4)) & 0xF;
            if (index >= bmp.paletteSize) return IMAGE_BAD_HEADER;
            put(index);
        }
        at += bytes + bytes % 2;
    }
}

// A checked run-length BMP into texels. The format leaves the texels a
// stream never sets (after an early end of line or bitmap, or skipped by a
// delta) undefined; they take palette index 0, as a zeroed buffer decoded
// into gives, so the result is the same on every run and a colour key on the
// first palette entry makes them transparent.
static ImageResult decodeBmpRle(const uint8_t* data, size_t size, const BmpRleLayout& bmp, Image* out) {
    uint32_t* texels = (uint32_t*)calloc((size_t)bmp.width * (size_t)bmp.height, sizeof(uint32_t));
    if (!texels) return IMAGE_OUT_OF_MEMORY;
    ImageResult walked = walkBmpRle(data + bmp.offset, data + size, bmp, texels);
    if (walked != IMAGE_OK) {
        free(texels);
        return walked;
    }
    uint32_t palette[256];
    for (int64_t i = 0; i < bmp.paletteSize; ++i) {
        const uint8_t* entry = data + bmp.paletteAt + i * 4;   // blue, green, red, unused
        palette[i] = 0xFF000000 | (uint32_t)entry[2] << 16 | (uint32_t)entry[1] << 8 | entry[0];
    }
    for (size_t i = 0, count = (size_t)bmp.width * (size_t)bmp.height; i < count; ++i) texels[i] = palette[texels[i]];
    *out = Image{(int32_t)bmp.width, (int32_t)bmp.height, texels};
    return IMAGE_OK;
}

// The layouts the decoder reads, with the offsets it expects: pixel data
// right after the header (and bit masks) unless a palette lies between. A
// run-length BMP's stream is walked to its end here; *rle says how to
// decode it (bits 0 for any other BMP).
static ImageResult checkBmp(const uint8_t* data, size_t size, BmpRleLayout* rle) {
    *rle = BmpRleLayout{};
    if (size < 18) return IMAGE_TRUNCATED;
    if (data[0] != 'B' || data[1] != 'M') return IMAGE_BAD_HEADER;
    int64_t offset = read32(data + 10);
    int64_t headerSize = read32(data + 14);
    if (headerSize != 12 && headerSize != 40 && headerSize != 56 && headerSize != 108 && headerSize != 124)
        return IMAGE_UNSUPPORTED;
    if ((int64_t)size < 14 + headerSize) return IMAGE_TRUNCATED;
    int64_t width;
    int64_t height;
    uint32_t bits;
    uint32_t compression = 0;
    if (headerSize == 12) {
        width = read16(data + 18);
        height = read16(data + 20);
        bits = read16(data + 24);
    } else {
        width = (int32_t)read32(data + 18);
        height = (int32_t)read32(data + 22);
        bits = read16(data + 28);
        compression = read32(data + 30);
    }
    if (read16(data + (headerSize == 12 ? 22 : 26)) != 1) return IMAGE_BAD_HEADER;   // planes
    if (ImageResult sides = checkSides(width, std::llabs(height)); sides != IMAGE_OK) return sides;
    bool topDown = height < 0;
    height = std::llabs(height);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return IMAGE_BAD_HEADER;
    bool masks = compression == BMP_BITFIELDS;
    bool runLength = (compression == BMP_RLE8 && bits == 8) || (compression == BMP_RLE4 && bits == 4);
    if (compression != 0 && !masks && !runLength) return IMAGE_UNSUPPORTED;
    if (masks && bits != 16 && bits != 32) return IMAGE_BAD_HEADER;

    int64_t stride = (width * bits + 31) / 32 * 4;
    int64_t dataEnd = offset + stride * height;
    if (bits < 16) {
        // The palette fills the gap between header and pixels.
        int64_t palette = headerSize == 12 ? (offset - 38) / 3 : (offset - 14 - headerSize) / 4;
        if (palette < 1 || palette > 256) return IMAGE_BAD_HEADER;
        if (runLength) {
            // The stream runs from the offset to the end of the file, whatever size the header gives it.
            if (offset > (int64_t)size) return IMAGE_TRUNCATED;
            BmpRleLayout layout = {width, height, topDown, bits, offset, 14 + headerSize, palette};
            ImageResult walked = walkBmpRle(data + offset, data + size, layout, nullptr);
            if (walked == IMAGE_OK) *rle = layout;
            return walked;
        }
        if (dataEnd > (int64_t)size) return IMAGE_TRUNCATED;
        if (!indicesInPalette(data + offset, stride, width, height, bits, palette)) return IMAGE_BAD_HEADER;
        return IMAGE_OK;
    }
    int64_t headerEnd = 14 + headerSize + (masks && headerSize <= 56 ? 12 : 0);
    if (offset != headerEnd) return offset < headerEnd ? IMAGE_BAD_HEADER : IMAGE_UNSUPPORTED;
    return dataEnd > (int64_t)size ? IMAGE_TRUNCATED : IMAGE_OK;
}

// The bytes one palette entry takes, as the decoder reads it.
static int64_t tgaEntryBytes(uint32_t bits) { return bits == 15 || bits == 16 ? 2 : bits / 8; }

// The decoder skips the colour map's first-entry field as bytes before the
// map; the check follows it, so what it reads is what was checked.
static ImageResult checkTga(const uint8_t* data, size_t size) {
    if (size < 18) return IMAGE_TRUNCATED;
    uint32_t idLength = data[0];
    uint32_t mapType = data[1];
    uint32_t kind = data[2];
    int64_t mapFirst = read16(data + 3);
    int64_t mapLength = read16(data + 5);
    uint32_t mapBits = data[7];
    uint32_t bits = data[16];
    if (mapType > 1) return IMAGE_BAD_HEADER;
    bool mapped = mapType == 1;
    if (mapped ? kind != 1 && kind != 9 : kind != 2 && kind != 3 && kind != 10 && kind != 11) return IMAGE_UNSUPPORTED;
    if (ImageResult sides = checkSides(read16(data + 12), read16(data + 14)); sides != IMAGE_OK) return sides;
    int64_t texels = (int64_t)read16(data + 12) * read16(data + 14);
    if (mapped) {
        bool entryOk = mapBits == 8 || mapBits == 15 || mapBits == 16 || mapBits == 24 || mapBits == 32;
        if (!entryOk || (bits != 8 && bits != 16) || mapLength < 1) return IMAGE_BAD_HEADER;
    } else if (bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32) {
        return IMAGE_BAD_HEADER;
    }
    int64_t at = 18 + idLength + (mapped ? mapFirst + mapLength * tgaEntryBytes(mapBits) : 0);
    int64_t texelBytes = mapped ? bits / 8 : tgaEntryBytes(bits);
    if (kind < 8) return at + texels * texelBytes > (int64_t)size ? IMAGE_TRUNCATED : IMAGE_OK;

    // Run-length packets: a count byte, then one texel repeated or count texels.
    for (int64_t done = 0; done < texels;) {
        if (at >= (int64_t)size) return IMAGE_TRUNCATED;
        uint32_t packet = data[at++];
        int64_t count = (packet & 0x7F) + 1;
        if (count > texels - done) count = texels - done;
        at += (packet & 0x80) ? texelBytes : count * texelBytes;
        done += count;
    }
    return at > (int64_t)size ? IMAGE_TRUNCATED : IMAGE_OK;
}

// Uncompressed and run-length truecolor TGA of 24 or 32 bits without a
// colour map: the common case, decoded straight into 0xAARRGGBB texels (a
// 32-bit texel's bytes, B G R A, are that word as it lies in memory) and
// runs filled whole. The bytes were checked by checkTga. Null when it is not
// this case or memory is short; the general decoder takes it then.
static uint32_t* decodeTruecolorTga(const uint8_t* data, size_t size, int* width, int* height) {
    uint32_t kind = data[2];
    uint32_t bits = data[16];
    if (data[1] != 0 || (kind != 2 && kind != 10) || (bits != 24 && bits != 32)) return nullptr;
    int32_t w = read16(data + 12);
    int32_t h = read16(data + 14);
    size_t texels = (size_t)w * (size_t)h;
    auto* pixels = (uint32_t*)malloc(texels * sizeof(uint32_t));
    if (!pixels) return nullptr;
    size_t texelBytes = bits / 8;
    const uint8_t* at = data + 18 + data[0];
    const uint8_t* end = data + size;
    auto texelAt = [&](const uint8_t* p) -> uint32_t {
        uint32_t alpha = texelBytes == 4 ? p[3] : 0xFF;
        return alpha << 24 | (uint32_t)p[2] << 16 | (uint32_t)p[1] << 8 | p[0];
    };
    if (kind == 2) {
        for (size_t i = 0; i < texels; ++i, at += texelBytes) pixels[i] = texelAt(at);
    } else {
        for (size_t done = 0; done < texels && at < end;) {
            uint32_t packet = *at++;
            size_t count = (packet & 0x7F) + 1;
            if (count > texels - done) count = texels - done;
            if (packet & 0x80) {
                uint32_t texel = texelAt(at);
                at += texelBytes;
                std::fill(pixels + done, pixels + done + count, texel);
            } else {
                for (size_t k = 0; k < count; ++k, at += texelBytes) pixels[done + k] = texelAt(at);
            }
            done += count;
        }
    }
    // Rows are stored bottom first unless the descriptor says top first.
    if (!(data[17] & 0x20)) {
        for (int32_t top = 0, bottom = h - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(pixels + (size_t)top * w, pixels + (size_t)(top + 1) * w, pixels + (size_t)bottom * w);
    }
    *width = w;
    *height = h;
    return pixels;
}

ImageFileType imageFileType(const uint8_t* data, size_t size) {
    return size >= 2 && data[0] == 'B' && data[1] == 'M' ? IMAGE_FILE_BMP : IMAGE_FILE_TGA;
}

ImageResult imageDecode(const uint8_t* data, size_t size, ImageFileType type, Image* out) {
    *out = Image{};
    if (!data) return IMAGE_TRUNCATED;
    if (size > INT_MAX) return IMAGE_TOO_LARGE;
    // The decoder picks the kind from the bytes, and only a BMP starts "BM".
    if (type == IMAGE_FILE_TGA && imageFileType(data, size) == IMAGE_FILE_BMP) return IMAGE_BAD_HEADER;
    BmpRleLayout rle = {};
    ImageResult checked = type == IMAGE_FILE_BMP ? checkBmp(data, size, &rle) : checkTga(data, size);
    if (checked != IMAGE_OK) return checked;
    if (rle.bits != 0) return decodeBmpRle(data, size, rle, out);

    int width = 0;
    int height = 0;
    if (type == IMAGE_FILE_TGA) {
        if (uint32_t* pixels = decodeTruecolorTga(data, size, &width, &height)) {
            *out = Image{width, height, pixels};
            return IMAGE_OK;
        }
    }
    int channels = 0;
    uint8_t* rgba = stbi_load_from_memory(data, (int)size, &width, &height, &channels, 4);
    if (!rgba) return IMAGE_UNSUPPORTED;
    // A 32-bit BMP without masks stores padding where alpha would be.
    bool opaque = type == IMAGE_FILE_BMP && read32(data + 14) != 12 && read16(data + 28) == 32 && read32(data + 30) == 0;
    uint32_t* pixels = (uint32_t*)rgba;
    for (size_t i = 0, count = (size_t)width * (size_t)height; i < count; ++i) {
        const uint8_t* texel = rgba + i * 4;
        uint32_t alpha = opaque ? 0xFF : texel[3];
        pixels[i] = alpha << 24 | (uint32_t)texel[0] << 16 | (uint32_t)texel[1] << 8 | texel[2];
    }
    *out = Image{width, height, pixels};
    return IMAGE_OK;
}

void imageFree(Image* image) {
    free(image->pixels);
    *image = Image{};
}

void imageApplyColorKey(Image* image, uint32_t key) {
    for (size_t i = 0, count = (size_t)image->width * (size_t)image->height; i < count; ++i)
        if (image->pixels[i] == key) image->pixels[i] = 0;
}

// The source texels output texel i of an axis takes, first..last, and the
// weight of each (see imageResize).
struct AxisSpan {
    int32_t first;
    int32_t last;
    double start;   // shrinking: the covered interval [start, end)
    double end;
    double fraction;   // growing: the weight of last
};

static AxisSpan axisSpan(int32_t i, int32_t from, int32_t to) {
    if (to == from) return AxisSpan{i, i, 0.0, 0.0, 0.0};
    if (to < from) {
        double start = (double)i * from / to;
        double end = (double)(i + 1) * from / to;
        int32_t last = (int32_t)std::ceil(end) - 1;
        return AxisSpan{(int32_t)start, last < from ? last : from - 1, start, end, 0.0};
    }
    double centre = ((double)i + 0.5) * from / to - 0.5;
    if (centre < 0.0) centre = 0.0;
    if (centre > from - 1) centre = from - 1;
    int32_t first = (int32_t)centre;
    int32_t last = first + 1 < from ? first + 1 : first;
    return AxisSpan{first, last, 0.0, 0.0, centre - first};
}

static double axisWeight(const AxisSpan& span, int32_t j, int32_t from, int32_t to) {
    if (to == from) return 1.0;
    if (to < from) {
        double low = j > span.start ? j : span.start;
        double high = j + 1 < span.end ? j + 1 : span.end;
        return (high - low) / (span.end - span.start);
    }
    if (span.first == span.last) return 1.0;
    return j == span.last ? span.fraction : 1.0 - span.fraction;
}

ImageResult imageResize(Image* image, int32_t width, int32_t height) {
    if (width < 1 || height < 1 || width > IMAGE_SIDE_MAX || height > IMAGE_SIDE_MAX) return IMAGE_TOO_LARGE;
    if (width == image->width && height == image->height) return IMAGE_OK;
    uint32_t* pixels = (uint32_t*)malloc((size_t)width * (size_t)height * sizeof(uint32_t));
    if (!pixels) return IMAGE_OUT_OF_MEMORY;
    int32_t fromWidth = image->width;
    int32_t fromHeight = image->height;
    for (int32_t y = 0; y < height; ++y) {
        AxisSpan rows = axisSpan(y, fromHeight, height);
        for (int32_t x = 0; x < width; ++x) {
            AxisSpan columns = axisSpan(x, fromWidth, width);
            double sums[4] = {};
            for (int32_t sy = rows.first; sy <= rows.last; ++sy) {
                double rowWeight = axisWeight(rows, sy, fromHeight, height);
                const uint32_t* source = image->pixels + (size_t)sy * (size_t)fromWidth;
                for (int32_t sx = columns.first; sx <= columns.last; ++sx) {
                    double weight = rowWeight * axisWeight(columns, sx, fromWidth, width);
                    for (int channel = 0; channel < 4; ++channel)
                        sums[channel] += weight * (double)((source[sx] >> (channel * 8)) & 0xFF);
                }
            }
            uint32_t texel = 0;
            for (int channel = 0; channel < 4; ++channel) {
                double value = sums[channel] + 0.5;
                texel |= (uint32_t)(value > 255.0 ? 255.0 : value) << (channel * 8);
            }
            pixels[(size_t)y * (size_t)width + x] = texel;
        }
    }
    free(image->pixels);
    *image = Image{width, height, pixels};
    return IMAGE_OK;
}

ImageResult imageNextMipLevel(Image* image) {
    return imageResize(image, image->width > 1 ? image->width / 2 : 1, image->height > 1 ? image->height / 2 : 1);
}
