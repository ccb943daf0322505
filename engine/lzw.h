// engine/lzw.h: the LZW streams that hold the picture pack's payloads.
// Codes are 12 bits, packed most significant bit first. Codes 0..255 are
// single bytes; 256 as the very first code marks an empty payload; new codes
// count up from 257 and the dictionary freezes once code 4,095 is defined
// (there is no reset code). The stream ends where the input runs out. The
// decoder keeps its whole state (about 20 KiB) on the caller's stack, so
// reads on several threads never share it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int32_t LZW_CODE_BITS = 12;
constexpr int32_t LZW_CODE_COUNT = 4096;
constexpr int32_t LZW_EMPTY_CODE = 256;
constexpr int32_t LZW_FIRST_FREE_CODE = 257;

// Unpacks src into dest and returns the bytes written. Stops at the end of
// src, at destCapacity bytes, or at a code the dictionary cannot hold yet
// (a damaged stream).
int32_t decodeLzw(const uint8_t* src, int32_t srcLength, uint8_t* dest, int32_t destCapacity);

// Packs src and appends the stream to out (an empty src gives the empty code).
void encodeLzw(const uint8_t* src, size_t length, std::vector<uint8_t>& out);
