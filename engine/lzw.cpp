#include "engine/lzw.h"

namespace {

struct LzwEntry {
    uint16_t prefix;   // the code of the string without its last byte
    uint8_t byte;      // the string's last byte
};

// One read's decoder: the input and its bit position, the dictionary and the
// stack a string is spelled into backwards.
struct LzwDecoder {
    const uint8_t* input;
    int32_t inputLength;
    int32_t inputPos;
    uint8_t currentByte;
    int32_t bitsLeft;      // unread bits at the low end of currentByte
    bool ended;            // a code needed bytes past the input
    LzwEntry dictionary[LZW_CODE_COUNT];
    uint8_t stack[LZW_CODE_COUNT];
};

int32_t readLzwBits(LzwDecoder& d, int32_t count) {
    int32_t value = 0;
    while (count > 0) {
        if (d.bitsLeft == 0) {
            if (d.inputPos >= d.inputLength) {
                d.ended = true;
                return 0;
            }
            d.currentByte = d.input[d.inputPos++];
            d.bitsLeft = 8;
        }
        int32_t take = count < d.bitsLeft ? count : d.bitsLeft;
        value = value << take | (d.currentByte >> (d.bitsLeft - take) & ((1 << take) - 1));
        d.bitsLeft -= take;
        count -= take;
    }
    return value;
}

// Spells code's string into the stack so that it ends just below top and
// returns where it starts. Every defined code's prefix is a smaller code, so
// a string is at most 4,096 - 256 bytes long and the walk ends.
int32_t expandLzwCode(LzwDecoder& d, int32_t top, int32_t code) {
    int32_t pos = top;
    while (code >= LZW_FIRST_FREE_CODE) {
        d.stack[--pos] = d.dictionary[code].byte;
        code = d.dictionary[code].prefix;
    }
    d.stack[--pos] = (uint8_t)code;
    return pos;
}

}  // namespace

int32_t decodeLzw(const uint8_t* src, int32_t srcLength, uint8_t* dest, int32_t destCapacity) {
    LzwDecoder d;
    d.input = src;
    d.inputLength = srcLength;
    d.inputPos = 0;
    d.currentByte = 0;
    d.bitsLeft = 0;
    d.ended = false;

    int32_t code = readLzwBits(d, LZW_CODE_BITS);
    // The empty mark, or a first code that names no single byte.
    if (d.ended || code >= LZW_EMPTY_CODE || destCapacity <= 0) return 0;
    int32_t out = 0;
    dest[out++] = (uint8_t)code;
    int32_t previous = code;
    int32_t nextFree = LZW_FIRST_FREE_CODE;
    while (out < destCapacity) {
        code = readLzwBits(d, LZW_CODE_BITS);
        if (d.ended) break;
        int32_t start;
        if (code < nextFree) {
            if (code == LZW_EMPTY_CODE) break;   // never defined
            start = expandLzwCode(d, LZW_CODE_COUNT, code);
        } else if (code == nextFree) {
            // The code being defined right now: the previous string and its
            // own first byte.
            start = expandLzwCode(d, LZW_CODE_COUNT - 1, previous);
            d.stack[LZW_CODE_COUNT - 1] = d.stack[start];
        } else {
            break;
        }
        // Once code 4,095 is defined the dictionary stays as it is.
        if (nextFree < LZW_CODE_COUNT) {
            d.dictionary[nextFree] = {(uint16_t)previous, d.stack[start]};
            ++nextFree;
        }
        for (int32_t i = start; i < LZW_CODE_COUNT && out < destCapacity; ++i) dest[out++] = d.stack[i];
        previous = code;
    }
    return out;
}

namespace {

constexpr int32_t LZW_HASH_SIZE = 8192;   // open addressing, at most 3,839 keys

struct LzwBitWriter {
    std::vector<uint8_t>* out;
    uint32_t pending;
    int32_t pendingBits;
};

void putCode(LzwBitWriter& w, int32_t code) {
    w.pending = w.pending << LZW_CODE_BITS | (uint32_t)code;
    w.pendingBits += LZW_CODE_BITS;
    while (w.pendingBits >= 8) {
        w.pendingBits -= 8;
        w.out->push_back((uint8_t)(w.pending >> w.pendingBits));
    }
    w.pending &= (1u << w.pendingBits) - 1;
}

// The last code's spare bits are zero; the decoder stops when the next code
// would need a byte past the end.
void flushBits(LzwBitWriter& w) {
    if (w.pendingBits > 0) w.out->push_back((uint8_t)(w.pending << (8 - w.pendingBits)));
}

}  // namespace

void encodeLzw(const uint8_t* src, size_t length, std::vector<uint8_t>& out) {
    LzwBitWriter w = {&out, 0, 0};
    if (length == 0) {
        putCode(w, LZW_EMPTY_CODE);
        flushBits(w);
        return;
    }
    // Keys are (prefix code << 8 | byte) + 1, so 0 marks a free slot.
    std::vector<uint32_t> keys(LZW_HASH_SIZE, 0);
    std::vector<uint16_t> codes(LZW_HASH_SIZE, 0);
    int32_t nextFree = LZW_FIRST_FREE_CODE;
    int32_t current = src[0];
    for (size_t i = 1; i < length; ++i) {
        uint32_t key = ((uint32_t)current << 8 | src[i]) + 1;
        uint32_t slot = (key * 2654435761u) >> 19;   // top 13 bits
        while (keys[slot] != 0 && keys[slot] != key) slot = (slot + 1) & (LZW_HASH_SIZE - 1);
        if (keys[slot] == key) {
            current = codes[slot];
            continue;
        }
        putCode(w, current);
        if (nextFree < LZW_CODE_COUNT) {
            keys[slot] = key;
            codes[slot] = (uint16_t)nextFree++;
        }
        current = src[i];
    }
    putCode(w, current);
    flushBits(w);
}
