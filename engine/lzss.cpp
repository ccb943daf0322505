#include "engine/lzss.h"

#include <cstring>
#include <memory>

int32_t decodeLzss(const uint8_t* src, int32_t srcLength, uint8_t* dest, int32_t destCapacity) {
    int32_t in = 0;
    int32_t out = 0;
    while (out < destCapacity && in < srcLength) {
        uint8_t flags = src[in++];
        for (int bit = 7; bit >= 0 && out < destCapacity; --bit) {
            if (!(flags >> bit & 1)) {
                if (in >= srcLength) return out;
                dest[out++] = src[in++];
                continue;
            }
            if (in + 2 > srcLength) return out;
            uint8_t b0 = src[in];
            uint8_t b1 = src[in + 1];
            in += 2;
            int32_t distance = (b0 >> 4) << 8 | b1;
            if (distance == 0) return out;
            int32_t code = b0 & 0x0F;
            int32_t length;
            if (code == 0) {
                if (in >= srcLength) return out;
                length = src[in++] + 17;
            } else {
                length = code == 1 ? 2 : code + 1;
            }
            if (distance > out) return out;
            // Byte by byte: a distance shorter than the length repeats what
            // this very copy has just written.
            for (int32_t i = 0; i < length && out < destCapacity; ++i, ++out) dest[out] = dest[out - distance];
        }
    }
    return out;
}

// The encoder finds matches through hash chains over three-byte prefixes
// inside the 4,096-byte window, and looks one byte ahead before taking a
// match (lazy matching), which gains a few percent on text.
namespace {

constexpr int32_t HASH_BITS = 13;   // twice the window: short chains, a small table to clear
constexpr int32_t HASH_SIZE = 1 << HASH_BITS;
constexpr int32_t WINDOW_SIZE = 4096;   // power of two above LZSS_MAX_DISTANCE
constexpr int32_t MAX_CHAIN = 48;
constexpr int32_t MIN_MATCH = 3;

struct LzssEncoder {
    const uint8_t* src;
    size_t length;
    int32_t head[HASH_SIZE];       // newest position with this hash, -1 none
    int32_t prev[WINDOW_SIZE];     // older position with the same hash, by position mod window
    std::vector<uint8_t>* out;
    size_t flagAt;                 // the flag byte being filled
    int32_t flagBit;               // next bit to fill (7..0), -1 when none is open
};

struct Match {
    int32_t length;
    int32_t distance;
};

uint32_t hashAt(const uint8_t* p) { return ((uint32_t)p[0] << 10 ^ (uint32_t)p[1] << 5 ^ p[2]) & (HASH_SIZE - 1); }

void insertPosition(LzssEncoder& e, size_t pos) {
    if (pos + MIN_MATCH > e.length) return;
    uint32_t h = hashAt(e.src + pos);
    e.prev[pos & (WINDOW_SIZE - 1)] = e.head[h];
    e.head[h] = (int32_t)pos;
}

Match findMatch(const LzssEncoder& e, size_t pos) {
    Match best = {0, 0};
    if (pos + MIN_MATCH > e.length) return best;
    size_t limit = e.length - pos < (size_t)LZSS_MAX_LENGTH ? e.length - pos : (size_t)LZSS_MAX_LENGTH;
    int32_t candidate = e.head[hashAt(e.src + pos)];
    for (int32_t chain = 0; chain < MAX_CHAIN && candidate >= 0; ++chain) {
        size_t distance = pos - (size_t)candidate;
        if (distance == 0 || distance > (size_t)LZSS_MAX_DISTANCE) break;
        const uint8_t* a = e.src + candidate;
        const uint8_t* b = e.src + pos;
        if (a[best.length] == b[best.length]) {
            size_t n = 0;
            while (n < limit && a[n] == b[n]) ++n;
            if ((int32_t)n > best.length) {
                best = {(int32_t)n, (int32_t)distance};
                if (n == limit) break;
            }
        }
        int32_t older = e.prev[candidate & (WINDOW_SIZE - 1)];
        if (older >= candidate) break;   // the slot was reused by a newer position
        candidate = older;
    }
    if (best.length < MIN_MATCH) best = {0, 0};
    return best;
}

void putFlag(LzssEncoder& e, int bit) {
    if (e.flagBit < 0) {
        e.flagAt = e.out->size();
        e.out->push_back(0);
        e.flagBit = 7;
    }
    if (bit) (*e.out)[e.flagAt] |= (uint8_t)(1 << e.flagBit);
    --e.flagBit;
}

void putLiteral(LzssEncoder& e, uint8_t byte) {
    putFlag(e, 0);
    e.out->push_back(byte);
}

void putReference(LzssEncoder& e, int32_t distance, int32_t length) {
    putFlag(e, 1);
    int32_t code = length >= 17 ? 0 : length == 2 ? 1 : length - 1;
    e.out->push_back((uint8_t)((distance >> 8) << 4 | code));
    e.out->push_back((uint8_t)(distance & 0xFF));
    if (code == 0) e.out->push_back((uint8_t)(length - 17));
}

}  // namespace

void encodeLzss(const uint8_t* src, size_t length, std::vector<uint8_t>& out) {
    std::unique_ptr<LzssEncoder> encoder(new LzssEncoder);
    LzssEncoder& e = *encoder;
    e.src = src;
    e.length = length;
    memset(e.head, 0xFF, sizeof e.head);
    memset(e.prev, 0xFF, sizeof e.prev);
    e.out = &out;
    e.flagAt = 0;
    e.flagBit = -1;

    size_t pos = 0;
    Match match = findMatch(e, pos);
    while (pos < length) {
        insertPosition(e, pos);
        if (match.length == 0) {
            putLiteral(e, src[pos]);
            ++pos;
            match = findMatch(e, pos);
            continue;
        }
        Match next = match.length < LZSS_MAX_LENGTH ? findMatch(e, pos + 1) : Match{0, 0};
        if (next.length > match.length) {
            putLiteral(e, src[pos]);
            ++pos;
            match = next;
            continue;
        }
        putReference(e, match.distance, match.length);
        for (size_t i = 1; i < (size_t)match.length; ++i) insertPosition(e, pos + i);
        pos += (size_t)match.length;
        match = findMatch(e, pos);
    }
    putFlag(e, 1);   // the end reference: distance 0
    out.push_back(0);
    out.push_back(0);
}
