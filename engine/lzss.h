// engine/lzss.h: the LZSS streams that hold the archive index's entries.
// A stream is groups of eight items behind a flag byte (most significant bit
// first; 0 a literal byte, 1 a back reference). A reference is two bytes
// B0 B1: distance ((B0 >> 4) << 8) | B1 and length code B0 & 15 (0: a third
// byte B2 gives B2 + 17, 1: two bytes, 2..15: code + 1). Distance 0 ends the
// stream. The decoder runs on any thread; it keeps no state between calls.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int32_t LZSS_MAX_DISTANCE = 4095;
constexpr int32_t LZSS_MAX_LENGTH = 272;

// Unpacks src into dest and returns the bytes written. Stops at the end
// reference, at destCapacity bytes, at the end of src, or at a reference
// that points before the start of dest (a damaged stream).
int32_t decodeLzss(const uint8_t* src, int32_t srcLength, uint8_t* dest, int32_t destCapacity);

// Packs src and appends the stream, end reference included, to out.
void encodeLzss(const uint8_t* src, size_t length, std::vector<uint8_t>& out);
