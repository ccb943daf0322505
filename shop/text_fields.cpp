#include "shop/text_fields.h"
#include "platform/sjis.h"

#include <cstring>

void copyTextField(const char* from, const char* end, char* dest, int32_t destSize) {
    if (destSize < 1) return;
    int64_t available = from < end ? end - from : 0;
    if (available > destSize - 1) available = destSize - 1;
    int64_t n = 0;
    while (n < available) {
        int64_t step = isSjisLeadByte(from[n]) ? 2 : 1;
        if (n + step > available) break;
        n += step;
    }
    memcpy(dest, from, static_cast<size_t>(n));
    dest[n] = 0;
}

bool textFieldEquals(const char* field, const char* from, const char* end) {
    size_t n = strlen(field);
    return static_cast<size_t>(end - from) == n && memcmp(field, from, n) == 0;
}

bool textBeginsWith(const char* from, const char* end, const char* word) {
    size_t n = strlen(word);
    return from <= end && static_cast<size_t>(end - from) >= n && memcmp(from, word, n) == 0;
}
