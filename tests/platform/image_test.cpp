// Picture decoding: every layout the loader reads, built byte by byte here;
// the colour key; refusal of short and lying files; resampling and mips.
#include "platform/image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& bytes, size_t at, uint32_t value) {
    bytes[at] = (uint8_t)value;
    bytes[at + 1] = (uint8_t)(value >> 8);
}
void put32(Bytes& bytes, size_t at, uint32_t value) {
    put16(bytes, at, value & 0xFFFF);
    put16(bytes, at + 2, value >> 16);
}

// A 3 x 2 picture, top row first: odd width, so BMP rows carry padding.
const uint32_t PICTURE[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF808080, 0xFF102030};
constexpr int32_t PW = 3;
constexpr int32_t PH = 2;

// A BMP with a 40-byte header. 24 or 32 bits store the texels (32: the
// fourth byte is filler 0x12); 8 bits store palette indices into `palette`.
// topDown stores rows top first with a negative height.
Bytes makeBmp(const uint32_t* argb, int32_t width, int32_t height, int bits, bool topDown,
              const std::vector<uint32_t>& palette = {}) {
    size_t stride = ((size_t)width * bits + 31) / 32 * 4;
    size_t offset = 14 + 40 + palette.size() * 4;
    Bytes bytes(offset + stride * height, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, (uint32_t)bytes.size());
    put32(bytes, 10, (uint32_t)offset);
    put32(bytes, 14, 40);
    put32(bytes, 18, (uint32_t)width);
    put32(bytes, 22, (uint32_t)(topDown ? -height : height));
    put16(bytes, 26, 1);
    put16(bytes, 28, (uint32_t)bits);
    put32(bytes, 46, (uint32_t)palette.size());
    for (size_t i = 0; i < palette.size(); ++i) put32(bytes, 54 + i * 4, palette[i] & 0xFFFFFF);
    for (int32_t row = 0; row < height; ++row) {
        int32_t stored = topDown ? row : height - 1 - row;
        uint8_t* at = bytes.data() + offset + stride * stored;
        for (int32_t x = 0; x < width; ++x) {
            uint32_t texel = argb[row * width + x];
            if (bits == 8) {
                for (size_t i = 0; i < palette.size(); ++i)
                    if (palette[i] == texel) *at = (uint8_t)i;
                at += 1;
                continue;
            }
            *at++ = (uint8_t)texel;
            *at++ = (uint8_t)(texel >> 8);
            *at++ = (uint8_t)(texel >> 16);
            if (bits == 32) *at++ = 0x12;
        }
    }
    return bytes;
}

// A true-colour TGA of 24 or 32 bits (descriptor: alpha bits, top-down bit).
// With rle, equal neighbours become run packets and the rest raw packets,
// runs crossing rows.
Bytes makeTga(const uint32_t* argb, int32_t width, int32_t height, int bits, bool topDown, bool rle) {
    Bytes bytes(18, 0);
    bytes[2] = rle ? 10 : 2;
    put16(bytes, 12, (uint32_t)width);
    put16(bytes, 14, (uint32_t)height);
    bytes[16] = (uint8_t)bits;
    bytes[17] = (uint8_t)((bits == 32 ? 8 : 0) | (topDown ? 0x20 : 0));
    std::vector<uint32_t> order;
    for (int32_t row = 0; row < height; ++row) {
        int32_t source = topDown ? row : height - 1 - row;
        for (int32_t x = 0; x < width; ++x) order.push_back(argb[source * width + x]);
    }
    auto putTexel = [&](uint32_t texel) {
        bytes.push_back((uint8_t)texel);
        bytes.push_back((uint8_t)(texel >> 8));
        bytes.push_back((uint8_t)(texel >> 16));
        if (bits == 32) bytes.push_back((uint8_t)(texel >> 24));
    };
    for (size_t i = 0; i < order.size();) {
        if (!rle) {
            putTexel(order[i++]);
            continue;
        }
        size_t run = 1;
        while (i + run < order.size() && run < 128 && order[i + run] == order[i]) ++run;
        if (run > 1) {
            bytes.push_back((uint8_t)(0x80 | (run - 1)));
            putTexel(order[i]);
        } else {
            size_t raw = 1;
            while (i + raw < order.size() && raw < 128 && order[i + raw] != order[i + raw - 1]) ++raw;
            bytes.push_back((uint8_t)(raw - 1));
            for (size_t k = 0; k < raw; ++k) putTexel(order[i + k]);
            run = raw;
        }
        i += run;
    }
    return bytes;
}

// The same file with a three-byte ID field between the header and the texels.
Bytes withIdField(Bytes bytes) {
    bytes[0] = 3;
    bytes.insert(bytes.begin() + 18, {'i', 'd', '!'});
    return bytes;
}

std::vector<uint32_t> pixelsOf(const Image& image) {
    return std::vector<uint32_t>(image.pixels, image.pixels + (size_t)image.width * image.height);
}

// 4 x 3 with runs: a run crossing from the first stored row into the next,
// then single texels, with alpha.
const uint32_t RUNS[12] = {0x80112233, 0x80112233, 0x80112233, 0xFF445566, 0xFF445566, 0xFF445566,
                           0x00778899, 0x40AABBCC, 0xC0DDEEFF, 0xC0DDEEFF, 0xC0DDEEFF, 0xC0DDEEFF};

struct LayoutCase {
    const char* what;
    Bytes bytes;
    ImageFileType type;
    int32_t width, height;
    std::vector<uint32_t> want;
};

std::vector<LayoutCase> layoutCases() {
    const std::vector<uint32_t> picture(PICTURE, PICTURE + 6);
    const std::vector<uint32_t> runs(RUNS, RUNS + 12);
    std::vector<uint32_t> opaqueRuns;
    for (uint32_t texel : runs) opaqueRuns.push_back(texel | 0xFF000000);
    const std::vector<uint32_t> palette = {0xFF102030, 0xFF808080, 0xFFFFFFFF, 0xFF0000FF, 0xFF00FF00, 0xFFFF0000};
    return {
        {"24-bit BMP, bottom-up", makeBmp(PICTURE, PW, PH, 24, false), IMAGE_FILE_BMP, PW, PH, picture},
        {"24-bit BMP, top-down", makeBmp(PICTURE, PW, PH, 24, true), IMAGE_FILE_BMP, PW, PH, picture},
        {"32-bit BMP, top-down, filler byte ignored", makeBmp(PICTURE, PW, PH, 32, true), IMAGE_FILE_BMP, PW, PH,
         picture},
        {"32-bit BMP, bottom-up", makeBmp(PICTURE, PW, PH, 32, false), IMAGE_FILE_BMP, PW, PH, picture},
        {"8-bit palettised BMP", makeBmp(PICTURE, PW, PH, 8, false, palette), IMAGE_FILE_BMP, PW, PH, picture},
        {"24-bit TGA, bottom-up", makeTga(PICTURE, PW, PH, 24, false, false), IMAGE_FILE_TGA, PW, PH, picture},
        {"32-bit TGA, top-down, with alpha", makeTga(RUNS, 4, 3, 32, true, false), IMAGE_FILE_TGA, 4, 3, runs},
        {"RLE TGA, 32-bit, bottom-up", makeTga(RUNS, 4, 3, 32, false, true), IMAGE_FILE_TGA, 4, 3, runs},
        {"RLE TGA, 32-bit, top-down", makeTga(RUNS, 4, 3, 32, true, true), IMAGE_FILE_TGA, 4, 3, runs},
        {"RLE TGA, 24-bit", makeTga(RUNS, 4, 3, 24, false, true), IMAGE_FILE_TGA, 4, 3, opaqueRuns},
        {"RLE TGA with an ID field", withIdField(makeTga(RUNS, 4, 3, 32, false, true)), IMAGE_FILE_TGA, 4, 3, runs},
        {"24-bit TGA with an ID field", withIdField(makeTga(PICTURE, PW, PH, 24, true, false)), IMAGE_FILE_TGA, PW, PH,
         picture},
    };
}

TEST(ImageDecode, ReadsEachLayout) {
    for (const LayoutCase& c : layoutCases()) {
        EXPECT_EQ(imageFileType(c.bytes.data(), c.bytes.size()), c.type) << c.what;
        Image image;
        ASSERT_EQ(imageDecode(c.bytes.data(), c.bytes.size(), c.type, &image), IMAGE_OK) << c.what;
        EXPECT_EQ(image.width, c.width) << c.what;
        EXPECT_EQ(image.height, c.height) << c.what;
        EXPECT_EQ(pixelsOf(image), c.want) << c.what;
        imageFree(&image);
        EXPECT_EQ(image.pixels, nullptr);
    }
}

TEST(ImageDecode, ColourKeyMakesExactlyTheKeyedTexelsTransparent) {
    const uint32_t texels[4] = {0xFF00FF00, 0xFF00FE00, 0xFF01FF00, 0xFF00FF00};
    Bytes bmp = makeBmp(texels, 2, 2, 24, false);
    Image image;
    ASSERT_EQ(imageDecode(bmp.data(), bmp.size(), IMAGE_FILE_BMP, &image), IMAGE_OK);
    imageApplyColorKey(&image, 0xFF00FF00);
    EXPECT_EQ(pixelsOf(image), (std::vector<uint32_t>{0, 0xFF00FE00, 0xFF01FF00, 0}));
    imageApplyColorKey(&image, 0);
    EXPECT_EQ(pixelsOf(image), (std::vector<uint32_t>{0, 0xFF00FE00, 0xFF01FF00, 0})) << "no key, no change";
    imageFree(&image);
}

// Damage done to a picture file, and what the decoder must say.
struct RefusalCase {
    const char* what;
    ImageFileType type;
    Bytes (*make)();
    ImageResult want;
};

Bytes bmp24() { return makeBmp(PICTURE, PW, PH, 24, false); }
Bytes tgaRle() { return makeTga(RUNS, 4, 3, 32, false, true); }
Bytes withBytes(Bytes bytes, size_t at, std::initializer_list<uint8_t> values) {
    for (uint8_t value : values) bytes[at++] = value;
    return bytes;
}

const RefusalCase REFUSAL_CASES[] = {
    {"BMP missing its last byte", IMAGE_FILE_BMP, [] { Bytes b = bmp24(); b.pop_back(); return b; }, IMAGE_TRUNCATED},
    {"BMP cut inside its header", IMAGE_FILE_BMP, [] { Bytes b = bmp24(); b.resize(30); return b; }, IMAGE_TRUNCATED},
    {"BMP claiming more rows than it holds", IMAGE_FILE_BMP, [] { return withBytes(bmp24(), 22, {3}); },
     IMAGE_TRUNCATED},
    {"BMP claiming a huge width", IMAGE_FILE_BMP, [] { return withBytes(bmp24(), 18, {0xFF, 0xFF, 0xFF, 0x7F}); },
     IMAGE_TOO_LARGE},
    {"BMP wider than the cap", IMAGE_FILE_BMP, [] { return withBytes(bmp24(), 18, {0x01, 0x20, 0, 0}); },
     IMAGE_TOO_LARGE},
    {"BMP with a negative width", IMAGE_FILE_BMP, [] { return withBytes(bmp24(), 18, {0xFD, 0xFF, 0xFF, 0xFF}); },
     IMAGE_BAD_HEADER},
    {"BMP with no rows", IMAGE_FILE_BMP, [] { return withBytes(bmp24(), 22, {0, 0, 0, 0}); }, IMAGE_BAD_HEADER},
    {"BMP with pixels inside its header", IMAGE_FILE_BMP, [] { return withBytes(bmp24(), 10, {20}); },
     IMAGE_BAD_HEADER},
    {"BMP with an unknown depth", IMAGE_FILE_BMP, [] { return withBytes(bmp24(), 28, {7}); }, IMAGE_BAD_HEADER},
    {"run-length BMP", IMAGE_FILE_BMP, [] { return withBytes(bmp24(), 30, {1}); }, IMAGE_UNSUPPORTED},
    {"palettised BMP indexing past its palette", IMAGE_FILE_BMP,
     [] {
         const std::vector<uint32_t> palette = {0xFF102030, 0xFF808080, 0xFFFFFFFF, 0xFF0000FF, 0xFF00FF00, 0xFFFF0000};
         Bytes b = makeBmp(PICTURE, PW, PH, 8, false, palette);
         b[14 + 40 + 6 * 4] = 6;
         return b;
     },
     IMAGE_BAD_HEADER},
    {"not a BMP at all", IMAGE_FILE_BMP, [] { return withBytes(bmp24(), 0, {'X'}); }, IMAGE_BAD_HEADER},
    {"TGA header alone", IMAGE_FILE_TGA, [] { Bytes b = tgaRle(); b.resize(18); return b; }, IMAGE_TRUNCATED},
    {"TGA shorter than its header", IMAGE_FILE_TGA, [] { Bytes b = tgaRle(); b.resize(17); return b; },
     IMAGE_TRUNCATED},
    {"RLE TGA missing its last byte", IMAGE_FILE_TGA, [] { Bytes b = tgaRle(); b.pop_back(); return b; },
     IMAGE_TRUNCATED},
    {"RLE TGA claiming more rows", IMAGE_FILE_TGA, [] { return withBytes(tgaRle(), 14, {4}); }, IMAGE_TRUNCATED},
    {"uncompressed TGA missing its last byte", IMAGE_FILE_TGA,
     [] {
         Bytes b = makeTga(PICTURE, PW, PH, 24, false, false);
         b.pop_back();
         return b;
     },
     IMAGE_TRUNCATED},
    {"TGA wider than the cap", IMAGE_FILE_TGA, [] { return withBytes(tgaRle(), 12, {0x01, 0x20}); }, IMAGE_TOO_LARGE},
    {"TGA with no columns", IMAGE_FILE_TGA, [] { return withBytes(tgaRle(), 12, {0, 0}); }, IMAGE_BAD_HEADER},
    {"TGA with a 12-bit depth", IMAGE_FILE_TGA, [] { return withBytes(tgaRle(), 16, {12}); }, IMAGE_BAD_HEADER},
    {"TGA of an unknown kind", IMAGE_FILE_TGA, [] { return withBytes(tgaRle(), 2, {32}); }, IMAGE_UNSUPPORTED},
    {"TGA naming a colour map it lacks", IMAGE_FILE_TGA, [] { return withBytes(tgaRle(), 1, {1}); },
     IMAGE_UNSUPPORTED},
    {"a BMP read as a TGA", IMAGE_FILE_TGA, [] { return bmp24(); }, IMAGE_BAD_HEADER},
};

TEST(ImageDecode, RefusesShortAndLyingFiles) {
    for (const RefusalCase& c : REFUSAL_CASES) {
        Bytes bytes = c.make();
        Image image = {7, 7, nullptr};
        EXPECT_EQ(imageDecode(bytes.data(), bytes.size(), c.type, &image), c.want) << c.what;
        EXPECT_EQ(image.pixels, nullptr) << c.what;
        EXPECT_EQ(image.width, 0) << c.what;
    }
    Image image;
    EXPECT_EQ(imageDecode(nullptr, 0, IMAGE_FILE_BMP, &image), IMAGE_TRUNCATED);
}

// Run-length BMPs. A picture here is palette indices, top row first.
using Indices = std::vector<uint8_t>;

const std::vector<uint32_t> RLE_PALETTE = {0xFF102030, 0xFF808080, 0xFFFFFFFF, 0xFF0000FF, 0xFF00FF00, 0xFFFF0000};

// A BMP of palette indices with a 40-byte header: with compression 0 the
// rows packed at 4 or 8 bits, else `pixels` as they are (a run-length stream).
Bytes indexedBmp(int32_t width, int32_t height, int bits, bool topDown, uint32_t compression, const Bytes& pixels,
                 const std::vector<uint32_t>& palette = RLE_PALETTE) {
    size_t offset = 14 + 40 + palette.size() * 4;
    Bytes bytes(offset, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    put32(bytes, 2, (uint32_t)bytes.size());
    put32(bytes, 10, (uint32_t)offset);
    put32(bytes, 14, 40);
    put32(bytes, 18, (uint32_t)width);
    put32(bytes, 22, (uint32_t)(topDown ? -height : height));
    put16(bytes, 26, 1);
    put16(bytes, 28, (uint32_t)bits);
    put32(bytes, 30, compression);
    put32(bytes, 34, (uint32_t)pixels.size());
    put32(bytes, 46, (uint32_t)palette.size());
    for (size_t i = 0; i < palette.size(); ++i) put32(bytes, 54 + i * 4, palette[i] & 0xFFFFFF);
    return bytes;
}

// The rows in file order: bottom row first unless topDown.
std::vector<Indices> fileRows(const Indices& picture, int32_t width, int32_t height, bool topDown) {
    std::vector<Indices> rows;
    for (int32_t stored = 0; stored < height; ++stored) {
        int32_t row = topDown ? stored : height - 1 - stored;
        rows.emplace_back(picture.begin() + row * width, picture.begin() + (row + 1) * width);
    }
    return rows;
}

Bytes packedRows(const Indices& picture, int32_t width, int32_t height, int bits, bool topDown) {
    size_t stride = ((size_t)width * bits + 31) / 32 * 4;
    Bytes bytes;
    for (const Indices& row : fileRows(picture, width, height, topDown)) {
        Bytes packed(stride, 0);
        for (size_t x = 0; x < row.size(); ++x) {
            if (bits == 8) packed[x] = row[x];
            else packed[x / 2] |= (uint8_t)(row[x] << (x % 2 ? 0 : 4));
        }
        bytes.insert(bytes.end(), packed.begin(), packed.end());
    }
    return bytes;
}

// The texels from x on that one encoded run can give: one index at 8 bits,
// two taking turns at 4.
size_t runAt(const Indices& row, size_t x, int bits) {
    size_t n = 1;
    while (x + n < row.size() && n < 255 && row[x + n] == row[x + (bits == 4 ? n % 2 : 0)]) ++n;
    return n;
}

// Encodes as a plain encoder does: runs where they pay, absolute runs
// (three texels at least, padded) between, single texels as runs of one;
// end of line between rows, end of bitmap after the last.
Bytes encodeRle(const Indices& picture, int32_t width, int32_t height, int bits, bool topDown) {
    size_t worthRun = bits == 8 ? 2 : 3;
    Bytes stream;
    std::vector<Indices> rows = fileRows(picture, width, height, topDown);
    for (size_t r = 0; r < rows.size(); ++r) {
        const Indices& row = rows[r];
        for (size_t x = 0; x < row.size();) {
            size_t run = runAt(row, x, bits);
            if (run >= worthRun) {
                uint8_t value = bits == 8 ? row[x] : (uint8_t)(row[x] << 4 | row[x + 1]);
                stream.insert(stream.end(), {(uint8_t)run, value});
                x += run;
                continue;
            }
            size_t end = x;
            while (end < row.size() && end - x < 255 && runAt(row, end, bits) < worthRun) ++end;
            if (end - x < 3) {
                for (; x < end; ++x) stream.insert(stream.end(), {1, (uint8_t)(bits == 8 ? row[x] : row[x] << 4)});
                continue;
            }
            stream.insert(stream.end(), {0, (uint8_t)(end - x)});
            Bytes literal;
            for (size_t i = x; i < end; ++i) {
                if (bits == 8) literal.push_back(row[i]);
                else if ((i - x) % 2 == 0) literal.push_back((uint8_t)(row[i] << 4));
                else literal.back() |= row[i];
            }
            if (literal.size() % 2) literal.push_back(0);
            stream.insert(stream.end(), literal.begin(), literal.end());
            x = end;
        }
        stream.insert(stream.end(), {0, (uint8_t)(r + 1 < rows.size() ? 0 : 1)});
    }
    return stream;
}

std::vector<uint32_t> coloursOf(const Indices& picture) {
    std::vector<uint32_t> colours;
    for (uint8_t index : picture) colours.push_back(RLE_PALETTE[index]);
    return colours;
}

// 9 x 4, odd width: a run then texels no run pays for, indices that take
// turns (one run at 4 bits, absolute at 8), an absolute run of five (odd
// at either depth, so padded) and a run, one index throughout.
constexpr int32_t TW = 9;
constexpr int32_t TH = 4;
const Indices TWIN = {0, 0, 0, 0, 1, 2, 3, 2, 2,   //
                      4, 5, 4, 5, 4, 5, 4, 5, 4,   //
                      1, 2, 3, 4, 5, 0, 0, 0, 0,   //
                      5, 5, 5, 5, 5, 5, 5, 5, 5};

TEST(ImageDecodeRle, MatchesItsUncompressedTwin) {
    for (int bits : {4, 8})
        for (bool topDown : {false, true}) {
            Bytes stream = encodeRle(TWIN, TW, TH, bits, topDown);
            Bytes rle = indexedBmp(TW, TH, bits, topDown, bits == 8 ? 1 : 2, stream);
            Bytes plain = indexedBmp(TW, TH, bits, topDown, 0, packedRows(TWIN, TW, TH, bits, topDown));
            Image fromRle;
            Image fromPlain;
            ASSERT_EQ(imageDecode(rle.data(), rle.size(), IMAGE_FILE_BMP, &fromRle), IMAGE_OK) << bits << topDown;
            ASSERT_EQ(imageDecode(plain.data(), plain.size(), IMAGE_FILE_BMP, &fromPlain), IMAGE_OK) << bits << topDown;
            EXPECT_EQ(fromRle.width, TW);
            EXPECT_EQ(fromRle.height, TH);
            EXPECT_EQ(pixelsOf(fromRle), pixelsOf(fromPlain)) << bits << " bits, top-down " << topDown;
            EXPECT_EQ(pixelsOf(fromRle), coloursOf(TWIN)) << bits << " bits, top-down " << topDown;
            EXPECT_LT(stream.size(), packedRows(TWIN, TW, TH, bits, topDown).size()) << "the runs were used";
            imageFree(&fromRle);
            imageFree(&fromPlain);
        }
}

// Streams written by hand on a 6 x 3 picture, and the indices they give.
constexpr int32_t HW = 6;
constexpr int32_t HH = 3;

struct RleStreamCase {
    const char* what;
    int bits;
    bool topDown;
    Bytes stream;
    Indices want;
};

const RleStreamCase RLE_STREAM_CASES[] = {
    {"a delta skips texels, which take index 0", 8, false, {1, 1, 0, 2, 4, 1, 1, 2, 0, 1},
     {0, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 2, /**/ 1, 0, 0, 0, 0, 0}},
    {"a delta, top-down", 8, true, {1, 1, 0, 2, 4, 1, 1, 2, 0, 1},
     {1, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 2, /**/ 0, 0, 0, 0, 0, 0}},
    {"a delta may stop at the row's end", 8, false, {6, 3, 0, 2, 0, 1, 0, 0, 2, 1, 0, 1},
     {1, 1, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 3, 3, 3, 3, 3, 3}},
    {"absolute runs, odd one padded", 8, false, {0, 3, 1, 2, 3, 0, 3, 3, 0, 0, 0, 6, 3, 2, 1, 0, 1, 2, 0, 1},
     {0, 0, 0, 0, 0, 0, /**/ 3, 2, 1, 0, 1, 2, /**/ 1, 2, 3, 3, 3, 3}},
    {"4 bits: five texels padded, then a run taking turns", 4, false,
     {0, 5, 0x12, 0x30, 0x10, 0, 1, 0x20, 0, 0, 6, 0x13, 0, 1},
     {0, 0, 0, 0, 0, 0, /**/ 1, 3, 1, 3, 1, 3, /**/ 1, 2, 3, 0, 1, 2}},
    {"4 bits, top-down", 4, true, {0, 5, 0x12, 0x30, 0x10, 0, 1, 0x20, 0, 0, 6, 0x13, 0, 1},
     {1, 2, 3, 0, 1, 2, /**/ 1, 3, 1, 3, 1, 3, /**/ 0, 0, 0, 0, 0, 0}},
    {"4 bits: a run of one ignores the low nibble", 4, false, {1, 0x1F, 0, 1},
     {0, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 1, 0, 0, 0, 0, 0}},
    {"early ends of line, one after the last row", 8, false, {2, 1, 0, 0, 0, 0, 6, 2, 0, 0, 0, 1},
     {2, 2, 2, 2, 2, 2, /**/ 0, 0, 0, 0, 0, 0, /**/ 1, 1, 0, 0, 0, 0}},
    {"an early end of bitmap", 8, false, {3, 2, 0, 1},
     {0, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 2, 2, 2, 0, 0, 0}},
    {"bytes after the end of bitmap are not read", 8, false, {3, 2, 0, 1, 0xFF, 0xFF, 0},
     {0, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 2, 2, 2, 0, 0, 0}},
    // Runs past the row's end are cut there; what follows on the row is dropped.
    {"a run past the row", 8, false, {7, 1, 0, 1}, {0, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 1, 1, 1, 1, 1, 1}},
    {"a run past the rest of the row", 8, false, {4, 1, 3, 2, 2, 3, 0, 0, 1, 4, 0, 1},
     {0, 0, 0, 0, 0, 0, /**/ 4, 0, 0, 0, 0, 0, /**/ 1, 1, 1, 1, 2, 2}},
    {"4 bits: a run past the row", 4, false, {7, 0x12, 0, 1},
     {0, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 1, 2, 1, 2, 1, 2}},
    {"an absolute run past the row", 8, false, {4, 1, 0, 3, 2, 3, 4, 0, 0, 1},
     {0, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 1, 1, 1, 1, 2, 3}},
    {"4 bits: rows with their padding indices, as common writers give them", 4, false,
     {0, 8, 0x12, 0x31, 0x23, 0x00, 0, 0, 8, 0x45, 0, 0, 0, 8, 0x50, 0x00, 0x12, 0x30, 0, 1},
     {5, 0, 0, 0, 1, 2, /**/ 4, 5, 4, 5, 4, 5, /**/ 1, 2, 3, 1, 2, 3}},
    {"8 bits: a row's padding as a run of its own", 8, true, {6, 3, 2, 0, 0, 0, 0, 0, 2, 1, 1, 2, 1, 3, 4, 5, 0, 1},
     {3, 3, 3, 3, 3, 3, /**/ 0, 0, 0, 0, 0, 0, /**/ 1, 1, 2, 3, 5, 5}},
};

TEST(ImageDecodeRle, HandWrittenStreams) {
    for (const RleStreamCase& c : RLE_STREAM_CASES) {
        Bytes bmp = indexedBmp(HW, HH, c.bits, c.topDown, c.bits == 8 ? 1 : 2, c.stream);
        Image image;
        ASSERT_EQ(imageDecode(bmp.data(), bmp.size(), IMAGE_FILE_BMP, &image), IMAGE_OK) << c.what;
        EXPECT_EQ(image.width, HW) << c.what;
        EXPECT_EQ(image.height, HH) << c.what;
        EXPECT_EQ(pixelsOf(image), coloursOf(c.want)) << c.what;
        imageFree(&image);
    }
}

TEST(ImageDecodeRle, ColourKeyOnTheFirstEntryClearsSkippedTexels) {
    Bytes bmp = indexedBmp(HW, HH, 8, false, 1, {1, 1, 0, 2, 4, 1, 1, 2, 0, 1});
    Image image;
    ASSERT_EQ(imageDecode(bmp.data(), bmp.size(), IMAGE_FILE_BMP, &image), IMAGE_OK);
    imageApplyColorKey(&image, RLE_PALETTE[0]);
    std::vector<uint32_t> want(HW * HH, 0);
    want[1 * HW + 5] = RLE_PALETTE[2];
    want[2 * HW + 0] = RLE_PALETTE[1];
    EXPECT_EQ(pixelsOf(image), want);
    imageFree(&image);
}

struct RleRefusalCase {
    const char* what;
    int bits;
    uint32_t compression;
    Bytes stream;
    ImageResult want;
};

const RleRefusalCase RLE_REFUSAL_CASES[] = {
    {"no stream at all", 8, 1, {}, IMAGE_TRUNCATED},
    {"cut inside a run", 8, 1, {3, 1, 0}, IMAGE_TRUNCATED},
    {"cut inside an absolute run", 8, 1, {0, 5, 1, 2}, IMAGE_TRUNCATED},
    {"an absolute run missing its padding", 8, 1, {0, 3, 1, 2, 3}, IMAGE_TRUNCATED},
    {"4 bits: cut inside an absolute run", 4, 2, {0, 5, 0x12, 0x30}, IMAGE_TRUNCATED},
    {"a delta missing its offsets", 8, 1, {0, 2, 1}, IMAGE_TRUNCATED},
    {"every row, then no end of bitmap", 8, 1, {6, 1, 0, 0, 6, 1, 0, 0, 6, 1, 0, 0}, IMAGE_TRUNCATED},
    {"4 bits: a padding index past the palette", 4, 2, {0, 8, 0x12, 0x31, 0x23, 0x0F, 0, 1}, IMAGE_BAD_HEADER},
    {"a cut-off run indexing past the palette", 8, 1, {5, 1, 3, 6, 0, 1}, IMAGE_BAD_HEADER},
    {"a delta past the right edge", 8, 1, {0, 2, 7, 0, 0, 1}, IMAGE_BAD_HEADER},
    {"a delta past the last row", 8, 1, {0, 2, 0, 3, 0, 1}, IMAGE_BAD_HEADER},
    {"a delta on from the last row", 8, 1, {0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 1}, IMAGE_BAD_HEADER},
    {"a run below the last row", 8, 1, {0, 0, 0, 0, 0, 0, 1, 1, 0, 1}, IMAGE_BAD_HEADER},
    {"an end of line below the last row", 8, 1, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, IMAGE_BAD_HEADER},
    {"a run indexing past the palette", 8, 1, {1, 6, 0, 1}, IMAGE_BAD_HEADER},
    {"an absolute run indexing past the palette", 8, 1, {0, 3, 1, 2, 6, 0, 0, 1}, IMAGE_BAD_HEADER},
    {"4 bits: a run's second index past the palette", 4, 2, {2, 0x16, 0, 1}, IMAGE_BAD_HEADER},
    {"8-bit runs at 4 bits", 4, 1, {1, 1, 0, 1}, IMAGE_UNSUPPORTED},
    {"4-bit runs at 8 bits", 8, 2, {1, 1, 0, 1}, IMAGE_UNSUPPORTED},
};

TEST(ImageDecodeRle, RefusesShortAndStrayStreams) {
    for (const RleRefusalCase& c : RLE_REFUSAL_CASES)
        for (bool topDown : {false, true}) {
            Bytes bmp = indexedBmp(HW, HH, c.bits, topDown, c.compression, c.stream);
            Image image = {7, 7, nullptr};
            EXPECT_EQ(imageDecode(bmp.data(), bmp.size(), IMAGE_FILE_BMP, &image), c.want)
                << c.what << ", top-down " << topDown;
            EXPECT_EQ(image.pixels, nullptr) << c.what;
            EXPECT_EQ(image.width, 0) << c.what;
        }
}

TEST(ImageDecodeRle, RefusesLyingHeaders) {
    const Bytes endOnly = {0, 1};
    Bytes pastEnd = indexedBmp(HW, HH, 8, false, 1, endOnly);
    put32(pastEnd, 10, (uint32_t)pastEnd.size() + 4);   // the pixels start past the file
    Bytes wide = indexedBmp(IMAGE_SIDE_MAX + 1, HH, 8, false, 1, endOnly);
    Bytes noPalette = indexedBmp(HW, HH, 8, false, 1, endOnly, {});
    Image image;
    EXPECT_EQ(imageDecode(pastEnd.data(), pastEnd.size(), IMAGE_FILE_BMP, &image), IMAGE_TRUNCATED);
    EXPECT_EQ(imageDecode(wide.data(), wide.size(), IMAGE_FILE_BMP, &image), IMAGE_TOO_LARGE);
    EXPECT_EQ(imageDecode(noPalette.data(), noPalette.size(), IMAGE_FILE_BMP, &image), IMAGE_BAD_HEADER);
    EXPECT_EQ(image.pixels, nullptr);
}

// A picture of one grey level per texel, row by row.
Image greyImage(int32_t width, int32_t height, const std::vector<uint32_t>& greys) {
    Image image = {width, height, (uint32_t*)malloc(sizeof(uint32_t) * greys.size())};
    for (size_t i = 0; i < greys.size(); ++i) image.pixels[i] = 0xFF000000 | greys[i] * 0x010101;
    return image;
}

std::vector<uint32_t> greysOf(const Image& image) {
    std::vector<uint32_t> greys;
    for (uint32_t texel : pixelsOf(image)) greys.push_back(texel & 0xFF);
    return greys;
}

struct ResizeCase {
    const char* what;
    int32_t fromWidth, fromHeight;
    std::vector<uint32_t> from;
    int32_t width, height;
    std::vector<uint32_t> want;
};

const ResizeCase RESIZE_CASES[] = {
    {"halving averages 2 x 2 blocks", 4, 2, {0, 100, 200, 40, 20, 60, 0, 0}, 2, 1, {45, 60}},
    {"a third of a texel counts a third", 3, 1, {0, 90, 180}, 2, 1, {30, 150}},
    {"growing interpolates between centres", 2, 1, {0, 200}, 4, 1, {0, 50, 150, 200}},
    {"growing one axis, shrinking the other", 2, 2, {0, 200, 100, 100}, 4, 1, {50, 75, 125, 150}},
    {"the same size is a copy", 2, 1, {7, 9}, 2, 1, {7, 9}},
};

TEST(ImageResize, FiltersEachAxis) {
    for (const ResizeCase& c : RESIZE_CASES) {
        Image image = greyImage(c.fromWidth, c.fromHeight, c.from);
        ASSERT_EQ(imageResize(&image, c.width, c.height), IMAGE_OK) << c.what;
        EXPECT_EQ(image.width, c.width) << c.what;
        EXPECT_EQ(image.height, c.height) << c.what;
        EXPECT_EQ(greysOf(image), c.want) << c.what;
        imageFree(&image);
    }
}

TEST(ImageResize, QuarterSizeKeepsEachChannelAndAlpha) {
    // 512 x 256 in 4 x 4 cells, each cell one colour: 128 x 64 keeps the cells.
    Image image = {512, 256, (uint32_t*)malloc(sizeof(uint32_t) * 512 * 256)};
    auto cellColour = [](int32_t cx, int32_t cy) { return (uint32_t)(cx * 2) << 24 | (uint32_t)cy << 16 | 0x80FF; };
    for (int32_t y = 0; y < 256; ++y)
        for (int32_t x = 0; x < 512; ++x) image.pixels[y * 512 + x] = cellColour(x / 4, y / 4);
    ASSERT_EQ(imageResize(&image, 128, 64), IMAGE_OK);
    ASSERT_EQ(image.width, 128);
    ASSERT_EQ(image.height, 64);
    for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 128; ++x)
            ASSERT_EQ(image.pixels[y * 128 + x], cellColour(x, y)) << x << "," << y;
    imageFree(&image);
}

TEST(ImageResize, MipChainHalvesDownToOneTexel) {
    Image image = greyImage(4, 2, {0, 100, 200, 40, 20, 60, 0, 0});
    ASSERT_EQ(imageNextMipLevel(&image), IMAGE_OK);
    EXPECT_EQ(greysOf(image), (std::vector<uint32_t>{45, 60}));
    ASSERT_EQ(imageNextMipLevel(&image), IMAGE_OK);
    EXPECT_EQ(image.width, 1);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(greysOf(image), (std::vector<uint32_t>{53}));   // 52.5 rounds up
    ASSERT_EQ(imageNextMipLevel(&image), IMAGE_OK);
    EXPECT_EQ(image.width, 1) << "the last level stays";
    imageFree(&image);
}

TEST(ImageResize, RefusesSidesOutsideTheCap) {
    Image image = greyImage(2, 1, {7, 9});
    EXPECT_EQ(imageResize(&image, 0, 1), IMAGE_TOO_LARGE);
    EXPECT_EQ(imageResize(&image, IMAGE_SIDE_MAX + 1, 1), IMAGE_TOO_LARGE);
    EXPECT_EQ(greysOf(image), (std::vector<uint32_t>{7, 9})) << "unchanged";
    imageFree(&image);
}

}  // namespace
