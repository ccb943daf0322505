#include "platform/sjis.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <mutex>

// One converter for the whole program, opened on first use. A conversion
// descriptor carries shift state, so callers on different threads take turns.
struct SjisConverter {
    std::mutex lock;
    iconv_t cd = (iconv_t)-1;
    iconv_t toUnicode = (iconv_t)-1;
    ~SjisConverter() {
        if (cd != (iconv_t)-1) iconv_close(cd);
        if (toUnicode != (iconv_t)-1) iconv_close(toUnicode);
    }
};
static SjisConverter sConverter;

size_t sjisToUtf8(const char* sjis, char* out, size_t outSize) {
    if (outSize == 0) return 0;
    size_t written = 0;
    size_t inLeft = sjis ? strlen(sjis) : 0;
    std::lock_guard<std::mutex> hold(sConverter.lock);
    if (sConverter.cd == (iconv_t)-1) sConverter.cd = iconv_open("UTF-8", "CP932");
    if (sConverter.cd == (iconv_t)-1) {
        // No converter on this system: keep ASCII, mark the rest.
        for (; written < inLeft && written + 1 < outSize; ++written)
            out[written] = (unsigned char)sjis[written] < 0x80 ? sjis[written] : '?';
        out[written] = '\0';
        return written;
    }
    iconv(sConverter.cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(sjis);
    while (inLeft > 0) {
        char* outPtr = out + written;
        size_t outLeft = outSize - 1 - written;   // the NUL always fits
        size_t result = iconv(sConverter.cd, &in, &inLeft, &outPtr, &outLeft);
        written = (size_t)(outPtr - out);
        if (result != (size_t)-1) break;
        if (errno == E2BIG || written + 1 >= outSize) break;
        out[written++] = '?';
        if (errno == EINVAL) break;   // a lead byte cut off by the end of the text
        // An undefined byte, or a lead byte whose trail does not pair with it:
        // drop one byte and go on, so the trail may still read as itself.
        ++in;
        --inLeft;
        iconv(sConverter.cd, nullptr, nullptr, nullptr, nullptr);
    }
    out[written] = '\0';
    return written;
}

uint32_t sjisCodeToUnicode(uint32_t code) {
    if (code > 0xFFFF) return 0;
    char bytes[2];
    size_t inLeft = 0;
    if (code > 0xFF) bytes[inLeft++] = (char)(code >> 8);
    bytes[inLeft++] = (char)(code & 0xFF);
    unsigned char utf32[8];
    std::lock_guard<std::mutex> hold(sConverter.lock);
    if (sConverter.toUnicode == (iconv_t)-1) sConverter.toUnicode = iconv_open("UTF-32LE", "CP932");
    if (sConverter.toUnicode == (iconv_t)-1) return code < 0x80 ? code : 0;
    iconv(sConverter.toUnicode, nullptr, nullptr, nullptr, nullptr);
    char* in = bytes;
    char* out = (char*)utf32;
    size_t outLeft = sizeof utf32;
    // The whole code must make exactly one character.
    if (iconv(sConverter.toUnicode, &in, &inLeft, &out, &outLeft) == (size_t)-1 || inLeft != 0 ||
        outLeft != sizeof utf32 - 4)
        return 0;
    return (uint32_t)utf32[0] | (uint32_t)utf32[1] << 8 | (uint32_t)utf32[2] << 16 | (uint32_t)utf32[3] << 24;
}
