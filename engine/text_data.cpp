#include "engine/text_data.h"
#include "platform/sjis.h"

#include <cfloat>
#include <charconv>
#include <cstring>

#include "engine/archive.h"
#include "engine/loose_files.h"

TextEntry readTextEntry(const char* name, int32_t slack) {
    if (slack < 1) slack = 1;   // room for the NUL behind the text
    int32_t size = getArchiveEntrySize(name);
    // A size that cannot be allocated with its slack is no text table.
    if (size < 0 || size > INT32_MAX - slack) size = 0;
    TextEntry entry;
    entry.bytes.reset(new char[size + slack]());
    entry.length = 0;
    if (size > 0) {
        int32_t got = readArchiveEntry(name, entry.bytes.get(), size);
        entry.length = got > 0 && got <= size ? got : 0;
    }
    return entry;
}

TextEntry readLooseOrArchiveEntry(const char* name, int32_t limit) {
    if (limit < 0) limit = 0;
    if (limit > INT32_MAX - TEXT_ENTRY_SLACK) limit = INT32_MAX - TEXT_ENTRY_SLACK;
    FILE* file = openLooseFile(name);
    if (!file) {
        int32_t size = getArchiveEntrySize(name);
        if (size > limit) size = limit;
        if (size < 0) size = 0;
        TextEntry entry;
        entry.bytes.reset(new char[size + TEXT_ENTRY_SLACK]());
        int32_t got = size > 0 ? readArchiveEntry(name, entry.bytes.get(), size) : 0;
        entry.length = got > 0 ? (got < size ? got : size) : 0;
        return entry;
    }
    int32_t size = getFileLength(file);
    if (size < 0) size = 0;
    if (size > limit) size = limit;
    TextEntry entry;
    entry.bytes.reset(new char[size + TEXT_ENTRY_SLACK]());
    entry.length = static_cast<int32_t>(fread(entry.bytes.get(), 1, static_cast<size_t>(size), file));
    fclose(file);
    return entry;
}

TextCursor beginText(const char* text, int32_t length) {
    if (!text || length <= 0) return {text, text};
    const char* end = text + length;
    const void* nul = memchr(text, 0, static_cast<size_t>(length));
    return {text, nul ? static_cast<const char*>(nul) : end};
}

bool nextDataLine(TextCursor& cursor, TextLine& line) {
    while (cursor.next < cursor.end) {
        const char* start = cursor.next;
        const char* p = start;
        while (p < cursor.end && *p != '\r' && *p != '\n') p++;
        cursor.next = p < cursor.end ? p + 1 : p;
        // CR LF leaves an empty line behind the CR; it is passed over here.
        if (p == start || *start == '/') continue;
        line = {start, p};
        return true;
    }
    return false;
}

const char* lineValue(const TextLine& line, const char* key) {
    size_t n = strlen(key);
    if (static_cast<size_t>(line.end - line.start) < n) return nullptr;
    return memcmp(line.start, key, n) == 0 ? line.start + n : nullptr;
}

static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }
static bool isDigit(char c) { return c >= '0' && c <= '9'; }

int32_t parseTextInt(const char* p, const char* end) {
    while (p < end && isBlank(*p)) p++;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    int64_t value = 0;
    for (; p < end && isDigit(*p); p++) {
        if (value <= INT32_MAX) value = value * 10 + (*p - '0');   // saturates past the range
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

float parseTextFloat(const char* p, const char* end) {
    while (p < end && isBlank(*p)) p++;
    const char* signStart = p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const char* digitsStart = p;
    // The decimal exponent of the first non-zero digit tells an overflow from
    // an underflow when the number is out of range.
    int32_t digits = 0;
    int32_t significant = 0;
    int32_t fractionZeros = 0;
    int64_t leadExponent = 0;
    bool nonZero = false;
    for (; p < end && isDigit(*p); p++, digits++) {
        if (*p != '0') nonZero = true;
        if (nonZero) significant++;
    }
    if (nonZero) leadExponent = significant - 1;
    if (p < end && *p == '.') {
        for (p++; p < end && isDigit(*p); p++, digits++) {
            if (nonZero) continue;
            if (*p == '0') {
                fractionZeros++;
            } else {
                nonZero = true;
                leadExponent = -(fractionZeros + 1);
            }
        }
    }
    if (digits == 0) return 0.0f;
    int64_t exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        bool negativeExponent = false;
        if (q < end && (*q == '+' || *q == '-')) negativeExponent = *q++ == '-';
        if (q < end && isDigit(*q)) {
            for (; q < end && isDigit(*q); q++) {
                if (exponent < 100000) exponent = exponent * 10 + (*q - '0');
            }
            if (negativeExponent) exponent = -exponent;
            p = q;
        }
    }
    if (!nonZero) return negative ? -0.0f : 0.0f;
    double value = 0.0;
    std::from_chars_result r = std::from_chars(negative ? signStart : digitsStart, p, value);
    if (r.ec == std::errc::result_out_of_range) {
        value = leadExponent + exponent >= 0 ? DBL_MAX : 0.0;
        if (negative) value = -value;
    } else if (r.ec != std::errc()) {
        return 0.0f;
    }
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);
}

template <typename T, T (*parse)(const char*, const char*)>
static int32_t parseList(const char* p, const char* end, char sep, T* values, int32_t count) {
    int32_t read = 0;
    while (read < count && p < end) {
        values[read++] = parse(p, end);
        const void* s = memchr(p, sep, static_cast<size_t>(end - p));
        // Without a further separator on the line the values still to come
        // keep theirs: a list is never continued on the next line.
        if (!s) break;
        p = static_cast<const char*>(s) + 1;
    }
    return read;
}

int32_t parseTextInts(const char* from, const char* end, char sep, int32_t* values, int32_t count) {
    return parseList<int32_t, parseTextInt>(from, end, sep, values, count);
}

int32_t parseTextFloats(const char* from, const char* end, char sep, float* values, int32_t count) {
    return parseList<float, parseTextFloat>(from, end, sep, values, count);
}

void copyTextString(const char* from, const char* end, char* dest) { copyTextBounded(from, end, dest, TEXT_STRING_MAX); }

void copyTextBounded(const char* from, const char* end, char* dest, int32_t max) {
    ptrdiff_t available = from < end ? end - from : 0;
    if (available > max) available = max < 0 ? 0 : max;
    ptrdiff_t n = 0;
    while (n < available) {
        ptrdiff_t step = isSjisLeadByte(from[n]) ? 2 : 1;
        if (n + step > available) break;
        n += step;
    }
    memcpy(dest, from, static_cast<size_t>(n));
    dest[n] = 0;
}
